// The code-page file mapping through TForm1: loading, the toolbox action, the menu and the save step.
#include <gtest/gtest.h>

#include <exception>
#include <vector>

#include "app/settings.h"
#include "platform/errors.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";
const char* const kCodePage = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";

// Two captions share one file, so that both are checked together.
const char* const kMaps =
    "[NLSMaps]\r\n"
    "Standard=c_1252.nls\r\n"
    "Central European=c_1250.nls\r\n"
    "Polish=c_1250.nls\r\n"
    "Cyrillic=c_1251.nls\r\n";

class CodePage : public MainWindowTest {
 protected:
  void SetUp() override {
    p.registry.SetString(RegRoot::CurrentUser, ProgramKey, "Language", "English");
    p.registry.SetString(RegRoot::LocalMachine, kCodePage, "1250", "c_1250.nls");
  }
  void UseLangRes(const std::string& maps, const std::string& defNls = "c_1250.nls") {
    p.files.Put(kLangRes, "[English]\r\nDefNLsSubst=" + defNls + "\r\n" + maps);
  }
  void SetSystemValue(const std::string& file) {
    p.registry.SetString(RegRoot::LocalMachine, kCodePage, "1252", file);
  }
  std::optional<std::string> SystemValue() { return p.registry.GetString(RegRoot::LocalMachine, kCodePage, "1252"); }
  MenuItem& Menu() { return Item("puNLs"); }
  // The mapping on its own, loaded as the window loads it.
  NlsMapping LoadedMapping() {
    NlsMapping mapping(p.registry, p.profiles, p.files, kLangRes);
    std::exception_ptr unreadable;
    mapping.Load(unreadable);
    return mapping;
  }
  std::vector<std::string> Captions() {
    std::vector<std::string> out;
    for (int i = 0; i < Menu().Count(); ++i) out.push_back(Menu().Item(i).Caption());
    return out;
  }
  std::vector<std::string> Checked() {
    std::vector<std::string> out;
    for (int i = 0; i < Menu().Count(); ++i)
      if (Menu().Item(i).Checked()) out.push_back(Menu().Item(i).Caption());
    return out;
  }
  MenuItem& ItemNamed(const std::string& caption) {
    for (int i = 0; i < Menu().Count(); ++i)
      if (Menu().Item(i).Caption() == caption) return Menu().Item(i);
    throw std::logic_error("no item " + caption);
  }
  Button& ButtonNamed(const char* name) { return Btn(name); }
  // The indicator and the button that shows it must always agree.
  bool Indicator() {
    EXPECT_EQ(ButtonNamed("ToolbarButton971").Down(), form->CodePage().Remapped());
    return form->CodePage().Remapped();
  }
};

TEST_F(CodePage, StartReadsTheSystemValueAndBuildsTheMenuInFileOrder) {
  struct Case {
    const char* what;
    std::optional<std::string> value;  // nothing: no value "1252"
    std::string current;
    bool indicator;
    std::vector<std::string> checked;
  } cases[] = {
      {"standard", "c_1252.nls", "c_1252.nls", false, {"Standard"}},
      {"remapped, two captions share the file", "c_1250.nls", "c_1250.nls", true, {"Central European", "Polish"}},
      {"other letter case is not the standard file", "C_1252.NLS", "C_1252.NLS", true, {}},
      {"a file no caption names", "c_1257.nls", "c_1257.nls", true, {}},
      {"no value", std::nullopt, "", true, {}},
  };
  UseLangRes(kMaps);
  for (const Case& c : cases) {
    p.registry.DeleteKey(RegRoot::LocalMachine, kCodePage);
    p.registry.CreateKey(RegRoot::LocalMachine, kCodePage);
    if (c.value) SetSystemValue(*c.value);
    TForm1& f = Create();
    EXPECT_EQ(f.CodePage().CurrentNlsFile(), c.current) << c.what;
    EXPECT_EQ(Indicator(), c.indicator) << c.what;
    EXPECT_EQ(Captions(), (std::vector<std::string>{"Standard", "Central European", "Polish", "Cyrillic"})) << c.what;
    EXPECT_EQ(Checked(), c.checked) << c.what;
    EXPECT_FALSE(Modified()) << c.what;
    EXPECT_EQ(SystemValue(), c.value) << c.what << ": loading writes nothing";
  }
}

// Restore calls LoadNlsMaps again: the menu is rebuilt, not appended to, and an unsaved choice goes.
TEST_F(CodePage, LoadingAgainRebuildsTheMenuAndDiscardsTheChoice) {
  UseLangRes(kMaps);
  SetSystemValue("c_1252.nls");
  TForm1& f = Create();
  ClickItem(p.ui, ItemNamed("Cyrillic"));
  ASSERT_EQ(f.CodePage().CurrentNlsFile(), "c_1251.nls");
  f.LoadNlsMaps();
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
  EXPECT_FALSE(Indicator());
  EXPECT_EQ(Captions().size(), 4u);
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Standard"}));

  // A key without the value now gives the empty text, not the file read before.
  p.registry.DeleteKey(RegRoot::LocalMachine, kCodePage);
  p.registry.CreateKey(RegRoot::LocalMachine, kCodePage);
  f.LoadNlsMaps();
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "");
  EXPECT_TRUE(Indicator());
  EXPECT_TRUE(Checked().empty());
}

TEST_F(CodePage, WithoutTheLanguageFileLoadingChangesNothing) {
  SetSystemValue("c_1250.nls");
  TForm1& f = Create();
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "");
  EXPECT_FALSE(Indicator()) << "off at start, before any load";
  EXPECT_EQ(Menu().Count(), 0);

  // The file disappears after a successful load: the earlier state stays, menu included.
  UseLangRes(kMaps);
  f.LoadNlsMaps();
  p.files.Remove(kLangRes);
  SetSystemValue("c_1252.nls");
  f.LoadNlsMaps();
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1250.nls");
  EXPECT_TRUE(Indicator());
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Central European", "Polish"}));
}

TEST_F(CodePage, UnopenableKeyKeepsThePreviousFileAndIsNotWritten) {
  UseLangRes(kMaps);
  SetSystemValue("c_1250.nls");
  TForm1& f = Create();
  p.registry.DenyOpen(RegRoot::LocalMachine, kCodePage);
  ClickItem(p.ui, ItemNamed("Cyrillic"));
  f.LoadNlsMaps();
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1251.nls");
  EXPECT_TRUE(Indicator());
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Cyrillic"}));
  p.dialogs.Script({Answer::No});
  EXPECT_NO_THROW(f.ApplyChanges());
  p.registry.ClearFaults();
  EXPECT_EQ(SystemValue(), "c_1250.nls");
}

// At start the registry's error is shown and the window opens; the value counts as none, and the
// menu is there to choose a file from.
TEST_F(CodePage, ValueOfAnotherTypeIsShownAndCountsAsNone) {
  UseLangRes(kMaps);
  p.registry.SetDWord(RegRoot::LocalMachine, kCodePage, "1252", 1252);
  TForm1& f = Create();
  EXPECT_EQ(p.app.errorsShown, std::vector<std::string>{"Invalid data type for '1252'"});
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "");
  EXPECT_TRUE(Indicator());
  EXPECT_EQ(Captions(), (std::vector<std::string>{"Standard", "Central European", "Polish", "Cyrillic"}));
  EXPECT_TRUE(Checked().empty());
}

// The action switches between the standard file and the language's DefNLsSubst, by the indicator
// as it stood before the click; it marks the window changed but leaves btRestore alone.
TEST_F(CodePage, ActionSwitchesBetweenStandardAndTheLanguageChoice) {
  UseLangRes(kMaps, "c_1251.nls");
  SetSystemValue("c_1252.nls");
  TForm1& f = Create();
  ASSERT_EQ(f.Texts().DefNLsSubst, "c_1251.nls");
  Button& action = ButtonNamed("ToolbarButton971");
  Click(p.ui, action);
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1251.nls");
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(Indicator());
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Cyrillic"}));
  EXPECT_FALSE(ButtonNamed("btRestore").Enabled());

  Click(p.ui, action);
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
  EXPECT_FALSE(Indicator());
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Standard"}));

  // From a remapped system the first click goes back to the standard file.
  SetSystemValue("c_1250.nls");
  f.RestoreTable();  // reads the mapping again and clears the mark
  ASSERT_FALSE(Modified());
  Click(p.ui, action);
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
  EXPECT_FALSE(Indicator());
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(p.ui.events.errorsShown.empty());
}

TEST_F(CodePage, ActionWithTheStandardFileAsLanguageChoiceStaysStandardButMarksChanged) {
  UseLangRes(kMaps, "c_1252.nls");
  SetSystemValue("c_1252.nls");
  TForm1& f = Create();
  Click(p.ui, ButtonNamed("ToolbarButton971"));
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
  EXPECT_FALSE(Indicator());
  EXPECT_TRUE(Modified());
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Standard"}));
}

TEST_F(CodePage, EmptyMapSectionGivesAnEmptyMenuAndTheActionStillWorks) {
  UseLangRes("[NLSMaps]\r\n");
  SetSystemValue("c_1252.nls");
  TForm1& f = Create();
  EXPECT_EQ(Menu().Count(), 0);
  Click(p.ui, ButtonNamed("ToolbarButton971"));
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1250.nls");
  EXPECT_TRUE(Indicator());
  EXPECT_EQ(Menu().Count(), 0);
}

// Without the language file no language gave a DefNLsSubst: the action toggles between the
// empty text and the standard file, and the empty text is never written.
TEST_F(CodePage, ActionWithoutTheLanguageFile) {
  SetSystemValue("c_1250.nls");
  TForm1& f = Create();
  Button& action = ButtonNamed("ToolbarButton971");
  Click(p.ui, action);
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "");
  EXPECT_TRUE(Indicator());
  EXPECT_TRUE(Modified());
  p.dialogs.Script({Answer::No});
  f.ApplyChanges();
  EXPECT_EQ(SystemValue(), "c_1250.nls");
  Click(p.ui, action);
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
  EXPECT_FALSE(Indicator());
}

TEST_F(CodePage, MenuPickChoosesTheFileAndEnablesRestore) {
  UseLangRes(kMaps);
  SetSystemValue("c_1250.nls");
  TForm1& f = Create();
  ClickItem(p.ui, ItemNamed("Cyrillic"));
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1251.nls");
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Cyrillic"})) << "both earlier checks go";
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(ButtonNamed("btRestore").Enabled());
  EXPECT_TRUE(Indicator());

  ClickItem(p.ui, ItemNamed("Standard"));
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Standard"}));
  EXPECT_FALSE(Indicator());
}

TEST_F(CodePage, PickingTheCheckedItemOrPickingWithoutTheFileChangesNothing) {
  UseLangRes(kMaps);
  SetSystemValue("c_1250.nls");
  TForm1& f = Create();
  ClickItem(p.ui, ItemNamed("Polish"));
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(ButtonNamed("btRestore").Enabled());
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Central European", "Polish"}));

  p.files.Remove(kLangRes);
  ClickItem(p.ui, ItemNamed("Cyrillic"));
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1250.nls");
  EXPECT_FALSE(Modified());
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Central European", "Polish"}));
}

TEST_F(CodePage, ArrowOpensTheMenuBelowTheButton) {
  UseLangRes(kMaps);
  Create();
  Click(p.ui, ButtonNamed("ToolbarButton971Arrow"));
  EXPECT_EQ(LastPopupAnchor(*p.ui.FindMenu("puNLs")),
            "ToolbarButton971@0," + std::to_string(ButtonNamed("ToolbarButton971").Bounds().height));
  EXPECT_FALSE(Modified());
}

TEST_F(CodePage, WriteStepStoresTheChosenFileEvenWhenUnchanged) {
  UseLangRes(kMaps);
  SetSystemValue("c_1250.nls");
  NlsMapping mapping = LoadedMapping();
  const std::size_t writes = p.registry.WriteCount();
  mapping.Write();
  EXPECT_EQ(p.registry.WriteCount(), writes + 1);
  EXPECT_EQ(SystemValue(), "c_1250.nls");
  ASSERT_TRUE(mapping.Choose("Standard"));
  mapping.Write();
  auto raw = p.registry.GetRaw(RegRoot::LocalMachine, kCodePage, "1252");
  ASSERT_TRUE(raw.has_value());
  EXPECT_EQ(raw->type, RegType::String);
  EXPECT_EQ(raw->data, "c_1252.nls");
  EXPECT_EQ(p.registry.GetString(RegRoot::LocalMachine, kCodePage, "1250"), "c_1250.nls") << "others untouched";
}

// No value "1252" was read: the system's entry is neither blanked nor created.
TEST_F(CodePage, WriteStepSkipsAnEmptyFileAndNeverCreatesTheKey) {
  UseLangRes(kMaps);
  NlsMapping mapping = LoadedMapping();
  ASSERT_EQ(mapping.CurrentNlsFile(), "");
  mapping.Write();
  EXPECT_EQ(SystemValue(), std::nullopt);

  p.registry.DeleteKey(RegRoot::LocalMachine, kCodePage);
  ASSERT_TRUE(mapping.Choose("Polish"));
  mapping.Write();
  EXPECT_FALSE(p.registry.KeyExists(RegRoot::LocalMachine, kCodePage));
}

// The save of the close question writes the mapping; No leaves the system as it was.
TEST_F(CodePage, ClosingWritesTheChoiceOnlyOnYes) {
  UseLangRes(kMaps);
  for (int answer : {Answer::No, Answer::Yes}) {
    SetSystemValue("c_1252.nls");
    Create();
    ClickItem(p.ui, ItemNamed("Cyrillic"));
    if (answer == Answer::Yes) p.dialogs.Script({Answer::Yes, Answer::No});  // save, then restart
    else p.dialogs.Script({Answer::No});
    Click(p.ui, ButtonNamed("btOK"));
    EXPECT_TRUE(form->Self().Closed());
    EXPECT_EQ(SystemValue(), answer == Answer::Yes ? "c_1251.nls" : "c_1252.nls");
    EXPECT_TRUE(p.restart.calls.empty()) << "No to the restart question";
  }
}

}  // namespace
}  // namespace sorel::test
