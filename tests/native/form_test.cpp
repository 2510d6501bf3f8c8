// The main window's creation order, close question and buttons, on in-memory platforms.
#include <gtest/gtest.h>

#include "app/Splash_Form.h"
#include "app/settings.h"
#include "app/version.h"
#include "platform/errors.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

class FormTest : public MainWindowTest {
 protected:
  void SetUp() override {
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial CE,238", "Arial,238");
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Helv", "MS Sans Serif");
  }
  Button& ButtonNamed(const char* name) { return Btn(name); }
};

TEST_F(FormTest, DesignMatchesTheMainWindow) {
  TForm1& f = Create();
  EXPECT_EQ(f.Self().Caption(), SOREL_CAPTION);
  EXPECT_EQ(f.Self().ClientRect().width, 400);
  EXPECT_EQ(f.Self().ClientRect().height, 392);
  EXPECT_EQ(p.ui.Find<TabSheet>("Form1.TabSheet1")->Caption(), "&Program");
  EXPECT_EQ(p.ui.Find<TabSheet>("Form1.TabSheet2")->Caption(), "&Informacje");
  EXPECT_EQ(p.ui.Find<TabSheet>("Form1.TabSheet1")->HelpContext, 1030);
  EXPECT_EQ(ButtonNamed("btRestore").Caption(), "P&rzywr\xF3\xE6");  // Windows-1250
  EXPECT_FALSE(ButtonNamed("btRestore").Enabled());
  EXPECT_EQ(ButtonNamed("btCancel").Caption(), "&Zaniechaj");
  EXPECT_EQ(p.ui.Find<Label>("OsVer")->Caption(), "OsVer");
  EXPECT_EQ(p.ui.Find<Label>("LBDescription")->Caption(), "Dost\xEApne czcionki TrueType:");
  EXPECT_EQ(p.ui.Find<Label>("Label2")->Hint(), "Wersja programu.");
  ASSERT_NE(p.ui.Find<TreeView>("TVFonts"), nullptr);
}

TEST_F(FormTest, CreationReadsTheTableAndShowsTheVersion) {
  TForm1& f = Create();
  EXPECT_TRUE(f.IsNT());
  EXPECT_FALSE(Modified());
  EXPECT_EQ(f.Edits().Table(), (sorel::SubstTable{"Arial CE,238=Arial,238", "Helv=MS Sans Serif"}));
  EXPECT_EQ(p.ui.Find<Label>("Label2")->Caption(), "1.1.3.6");
  EXPECT_EQ(p.ui.Find<Image>("Image2")->Picture(), "MAINICON");
  EXPECT_FALSE(p.app.Terminated());
}

TEST_F(FormTest, PlatformOtherThanNtReadsWinIni) {
  p.files.Put("C:\\windows\\win.ini", "[FontSubstitutes]\r\nTimes=Times New Roman\r\n");
  for (Family family : {Family::Other, Family::Win9x}) {
    p.system.family = family;
    TForm1& f = Create();
    EXPECT_FALSE(f.IsNT()) << static_cast<int>(family);
    EXPECT_EQ(f.Edits().Table(), (sorel::SubstTable{"Times=Times New Roman"})) << static_cast<int>(family);
  }
}

TEST_F(FormTest, ProgramKeyKeepsAppPathExact) {
  const std::string key = Settings::kProgramKey;
  Create();
  EXPECT_EQ(p.registry.GetString(RegRoot::CurrentUser, key, "AppPath"), p.system.exePath);

  // A path that differs only in letter case is rewritten; an equal one is not written again.
  p.registry.SetString(RegRoot::CurrentUser, key, "AppPath", "c:\\program files\\sorel\\sorelassistant.exe");
  Create();
  EXPECT_EQ(p.registry.GetString(RegRoot::CurrentUser, key, "AppPath"), p.system.exePath);
  p.registry.ClearLog();
  std::size_t writes = p.registry.WriteCount();
  Create();
  EXPECT_EQ(p.registry.WriteCount(), writes);
}

// A text value of the program key stored with another type. "AppPath" and "Language" count as
// missing: nothing is shown, and they are written again as text ("Language" through the dialog,
// where the user picks "Test"). "SampleSet1" shows the registry's error; creation goes on.
TEST_F(FormTest, ProgramKeyValueOfWrongType) {
  const struct Case {
    const char* value;
    std::uint32_t type;
    bool errorShown;
    int dialogs;
    const char* storedText;  // the value read as text after the start; nullptr: left as it was
    const char* sampleSet;
  } cases[] = {
      {"AppPath", RegType::DWord, false, 0, "C:\\Program Files\\Sorel\\SorelAssistant.exe", "Set"},
      {"AppPath", RegType::Binary, false, 0, "C:\\Program Files\\Sorel\\SorelAssistant.exe", "Set"},
      {"Language", RegType::DWord, false, 1, "Test", "Set"},
      {"Language", RegType::MultiString, false, 1, "Test", "Set"},
      {"SampleSet1", RegType::DWord, true, 0, nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::string what = std::string(c.value) + " of type " + std::to_string(c.type);
    MemoryPlatforms q;
    q.files.Put("C:\\Program Files\\Sorel\\LangRes.ini", "[Test]\r\nbtOK=&Fine\r\nWSRegistry=Stored.\r\n");
    q.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial CE,238", "Arial,238");
    q.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Test");
    q.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "SampleSet1", "Set");
    q.registry.SetRaw(RegRoot::CurrentUser, Settings::kProgramKey, c.value, c.type, std::string("\5\0\0\0", 4));
    int dialogs = 0;
    q.ui.modalHandler = [&](Form&) {
      ++dialogs;
      auto& combo = *q.ui.Find<ComboBox>("ComboBox1");
      Pick(q.ui, combo, combo.FindExact("Test"));
    };

    std::unique_ptr<TForm1> f;
    ASSERT_NO_THROW(f = std::make_unique<TForm1>(q.platform)) << what;
    EXPECT_EQ(q.app.errorsShown, c.errorShown ? std::vector<std::string>{InvalidDataTypeMessage(c.value)}
                                              : std::vector<std::string>{})
        << what;
    EXPECT_EQ(dialogs, c.dialogs) << what;
    if (c.storedText) {
      EXPECT_EQ(q.registry.GetString(RegRoot::CurrentUser, Settings::kProgramKey, c.value), c.storedText) << what;
    }
    EXPECT_EQ(q.ui.Find<Button>("btOK")->Caption(), "&Fine") << what;
    EXPECT_EQ(q.ui.Find<Label>("OsVer")->Caption(), "Windows NT\rStored.") << what;
    EXPECT_EQ(f->SampleSet(), c.sampleSet) << what;
    // The steps after the program key still ran.
    EXPECT_EQ(f->Edits().Table(), (sorel::SubstTable{"Arial CE,238=Arial,238"})) << what;
    EXPECT_EQ(q.ui.Find<Label>("Label2")->Caption(), "1.1.3.6") << what;
    EXPECT_FALSE(q.app.Terminated()) << what;
  }
}

TEST_F(FormTest, UnopenableProgramKeyEndsTheProgramButCreationCompletes) {
  p.registry.DenyOpen(RegRoot::CurrentUser, Settings::kProgramKey);
  TForm1& f = Create();
  EXPECT_TRUE(p.app.Terminated());
  EXPECT_EQ(f.Edits().Table().size(), 2u);  // the later steps still ran
  EXPECT_EQ(p.ui.Find<Label>("Label2")->Caption(), "1.1.3.6");
}

TEST_F(FormTest, CloseWithoutChangesAsksNothing) {
  TForm1& f = Create();
  Click(p.ui, ButtonNamed("btOK"));
  EXPECT_TRUE(f.Self().Closed());
  EXPECT_TRUE(p.dialogs.Calls().empty());
}

struct CloseCase {
  Answer answer;
  bool closed;
  bool written;
};
class CloseQuestion : public FormTest, public testing::WithParamInterface<CloseCase> {};

TEST_P(CloseQuestion, AnswerDecidesClosingAndSaving) {
  const CloseCase c = GetParam();
  TForm1& f = Create();
  SwitchCodePage();  // unsaved changes; a save writes the fixed entries
  p.dialogs.Script({c.answer});
  p.dialogs.SetDefaultAnswer(Answer::No);  // a save goes on to the restart question
  Click(p.ui, ButtonNamed("btOK"));
  ASSERT_EQ(p.dialogs.Calls().size(), c.written ? 2u : 1u);
  EXPECT_EQ(p.dialogs.Calls()[0].caption, "Zako\xF1" "czenie pracy");
  EXPECT_NE(p.dialogs.Calls()[0].text.find("[FontSubstitutes]?\n\r\n\rUwaga!"), std::string::npos);
  EXPECT_EQ(p.dialogs.Calls()[0].buttons, Buttons::YesNoCancel);
  EXPECT_EQ(p.dialogs.Calls()[0].icon, Icon::Question);
  EXPECT_EQ(f.Self().Closed(), c.closed);
  EXPECT_EQ(p.registry.GetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Helvetica,238").has_value(),
            c.written);
}

// No answer at all (the box could not be shown) closes as if no question had been asked.
INSTANTIATE_TEST_SUITE_P(Answers, CloseQuestion,
                         testing::Values(CloseCase{Answer::Cancel, false, false},
                                         CloseCase{Answer::No, true, false},
                                         CloseCase{Answer::Yes, true, true},
                                         CloseCase{Answer::None, true, false}));

TEST_F(FormTest, FailedSaveKeepsTheWindowAndTheChanges) {
  TForm1& f = Create();
  SwitchCodePage();
  p.registry.FailWriteOf("Helvetica,238");
  p.dialogs.Script({Answer::Yes});
  Click(p.ui, ButtonNamed("btOK"));
  EXPECT_FALSE(f.Self().Closed());
  EXPECT_TRUE(Modified());
  ASSERT_EQ(p.ui.events.errorsShown.size(), 1u);
  EXPECT_EQ(p.ui.events.errorsShown[0], "Failed to set data for 'Helvetica,238'");
  // The stored table is still whole.
  EXPECT_EQ(p.registry.GetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Helv"), "MS Sans Serif");
}

TEST_F(FormTest, CancelButtonClosesWithoutQuestion) {
  TForm1& f = Create();
  SwitchCodePage();
  Click(p.ui, ButtonNamed("btCancel"));
  EXPECT_TRUE(f.Self().Closed());
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(p.dialogs.Calls().empty());
}

// Escape presses btCancel: the window closes without the question, whatever was edited.
TEST_F(FormTest, EscapeClosesAsTheCancelButtonDoes) {
  TForm1& f = Create();
  SwitchCodePage();
  PressEscape(p.ui, f.Self());
  EXPECT_TRUE(f.Self().Closed());
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(p.dialogs.Calls().empty());
  EXPECT_TRUE(p.ui.events.errorsShown.empty());
}

TEST_F(FormTest, HintGoesToTheStatusBar) {
  Create();
  p.app.SetCurrentHint("Wersja programu.");
  EXPECT_EQ(p.ui.Find<StatusBar>("StatusBar1")->SimpleText(), "Wersja programu.");
}

// The program shows its window as start-up's last step; showing runs the show step, which brings
// the window forward and selects the first face.
TEST_F(FormTest, ShowingTheWindowRunsItsShowStep) {
  AddFace("Arial", {{0, "Western"}, {238, "Central European"}});
  TForm1& f = Create();
  ASSERT_EQ(tree->Selected(), NodeId{0});
  f.Self().SetVisible(true);
  ASSERT_NE(tree->Selected(), NodeId{0});
  EXPECT_EQ(tree->Text(tree->Selected()), "Arial");
  EXPECT_TRUE(ButtonNamed("btOnOff").Enabled());
  EXPECT_EQ(p.app.foregroundCalls, 1);
}

TEST_F(FormTest, ShowingBringsForwardOnlyAnEnabledWindow) {
  TForm1& f = Create();
  f.FormShow();
  EXPECT_EQ(p.app.foregroundCalls, 1);
  p.app.windowEnabled = false;
  f.FormShow();
  EXPECT_EQ(p.app.foregroundCalls, 1);
}

TEST(Splash, BlocksFourSecondsWithoutTaskbarButton) {
  MemoryPlatforms p;
  // What the splash is while the thread blocks.
  bool shown = false;
  FormStyle style = FormStyle::Dialog;
  p.system.onSleep = [&] {
    auto* splash = p.ui.Find<Form>("frmSplash");
    ASSERT_NE(splash, nullptr);
    shown = splash->Visible();
    style = splash->Style();
  };
  ShowSplash(p.platform);
  EXPECT_EQ(p.system.sleeps, std::vector<unsigned>{4000});
  EXPECT_TRUE(shown);
  EXPECT_EQ(style, FormStyle::Splash) << "no frame, no taskbar button";
  auto* form = p.ui.Find<Form>("frmSplash");
  ASSERT_EQ(form, nullptr) << "the splash is destroyed after its time";
  TfrmSplash splash(p.ui);
  EXPECT_EQ(splash.Self().ClientRect().width, 288);
  EXPECT_EQ(splash.Self().ClientRect().height, 360);
}

TEST(Platform, DetectPlatformTellsTheFamilies) {
  MemorySystemInfo system;
  for (auto [family, expected] : {std::pair{Family::Nt, 1}, {Family::Win9x, 2}, {Family::Other, 0}}) {
    system.family = family;
    EXPECT_EQ(DetectPlatform(system), expected) << static_cast<int>(family);
  }
}

TEST(Platform, ExeVersionIsFourNumbersJoinedByDots) {
  MemorySystemInfo system;
  EXPECT_EQ(GetExeVersion(system), "");
  system.SetExeVersion(FileVersion{1, 1, 3, 6});
  EXPECT_EQ(GetExeVersion(system), "1.1.3.6");
  system.SetExeVersion(FileVersion{65535, 0, 0, 65535});
  EXPECT_EQ(GetExeVersion(system), "65535.0.0.65535");
}

}  // namespace
}  // namespace sorel::test
