// The language file: section reading, ApplyLanguage's rules and the language dialog.
#include <gtest/gtest.h>

#include <map>

#include "app/settings.h"
#include "lang/LangChoose.h"
#include "lang/langres.h"
#include "platform/errors.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";

// Records what ApplyLanguage does to the windows; knows a few controls of each kind.
class RecordingTarget : public LanguageTarget {
 public:
  std::map<std::string, std::string> captions{{"btOK", "&OK"}, {"OsVer", "OsVer"}, {"LabelContact", "Kontakt"},
                                              {"LabelHTTP", "WWW"}, {"TabSheet1", "&Program"}};
  std::map<std::string, std::string> hints{{"btLangResEdit", "Edycja LangRes.ini"}};
  std::vector<std::string> previewCaptions;

  Kind ControlKind(const std::string& name, std::string& exact) override {
    for (auto& [n, c] : captions) {
      if (n.size() == name.size() && std::equal(n.begin(), n.end(), name.begin(), [](char a, char b) {
            return std::tolower((unsigned char)a) == std::tolower((unsigned char)b);
          })) {
        exact = n;
        if (n == "TabSheet1") return Kind::TabSheet;
        if (n.rfind("bt", 0) == 0) return Kind::Button;
        return Kind::Label;
      }
    }
    return Kind::None;
  }
  void SetCaption(const std::string& name, const std::string& text) override { captions[name] = text; }
  std::string Caption(const std::string& name) override { return captions[name]; }
  void SetHint(const std::string& name, const std::string& text) override { hints[name] = text; }
  std::string Hint(const std::string& name) override { return hints[name]; }
  void SetPreviewCaption(const std::string& text) override { previewCaptions.push_back(text); }
};

class Language : public testing::Test {
 protected:
  void Apply(const std::string& section, bool isNT = true) {
    ApplyLanguage(p.platform, section, isNT, target, state);
  }
  MemoryPlatforms p;
  RecordingTarget target;
  LanguageState state{BuiltInUiTexts(), kBuiltInHelpPagePath, "", ""};
};

TEST_F(Language, SectionReadReplacesAppendsAndRemoves) {
  p.files.Put(kLangRes, "[S]\r\nA=1\r\nb=2\r\nC=\r\nA=second\r\nD = \"q\" \r\n");
  KeyValueList list;
  list.lines = {"c=old", "B=old", "X=kept"};
  ReadSection(p.profiles, kLangRes, "s", list);
  // B replaced in place, C removed by its empty value, A's duplicate gives the first value.
  EXPECT_EQ(list.lines, (std::vector<std::string>{"b=2", "X=kept", "A=1", "D=q"}));
  KeyValueList none;
  ReadSection(p.profiles, "C:\\missing.ini", "S", none);
  EXPECT_TRUE(none.Empty());
}

TEST_F(Language, ExpandLineBreaksAndOneTextFormats) {
  EXPECT_EQ(ExpandLineBreaks("a*b**c"), "a\r\nb\r\n\r\nc");
  EXPECT_EQ(ExpandLineBreaks("none"), "none");
  struct Case {
    const char* format;
    bool ok;
    const char* result;
  } cases[] = {{"Edit %s", true, "Edit LangRes.ini"},   {"no placeholder", true, "no placeholder"},
               {"100%% %s", true, "100% LangRes.ini"}, {"%s and %s", false, ""},
               {"%d files", false, ""},                {"50%", false, ""}};
  for (const auto& c : cases) {
    std::string out = "unchanged";
    EXPECT_EQ(FormatOneText(c.format, "LangRes.ini", out), c.ok) << c.format;
    if (c.ok) {
      EXPECT_EQ(out, c.result) << c.format;
    }
  }
}

TEST_F(Language, MissingFileChangesNothing) {
  Apply("English");
  EXPECT_EQ(target.captions["OsVer"], "OsVer");
  EXPECT_EQ(state.UiTexts.lines, BuiltInUiTexts().lines);
  EXPECT_EQ(state.DefLangVal, "");
  EXPECT_EQ(state.DefNLsSubst, "");
}

TEST_F(Language, FixedKeysTakeBuiltInTextsOnlyWhenAbsent) {
  p.files.Put(kLangRes,
              "[English]\r\nWSSaveTitle=Closing\r\nWSRestartTitle=\r\nWSSaveText=One*Two\r\nDefLangVal=204\r\n"
              "btOK=&Fine\r\nbtok=ignored\r\nUnknown=x\r\nbtOnOffHint=Switch\r\n");
  Apply("english");
  EXPECT_EQ(state.UiTexts.Value("WSSaveTitle"), "Closing");
  EXPECT_EQ(state.UiTexts.Value("WSRestartTitle"), "");  // present but empty
  EXPECT_EQ(state.UiTexts.Value("WSSaveText"), "One\r\nTwo");
  EXPECT_EQ(state.UiTexts.Value("WSRegistry"), "Zapis w rejestrze.");
  EXPECT_EQ(state.DefLangVal, "204");
  EXPECT_EQ(state.DefNLsSubst, "c_1252.nls");
  EXPECT_EQ(target.captions["btOK"], "&Fine");
  EXPECT_EQ(target.hints["btOnOff"], "Switch");
  EXPECT_EQ(target.captions["muOnOff"], "Switch");  // copied from the button's hint
  EXPECT_EQ(target.captions["OsVer"], "Windows NT\rZapis w rejestrze.");
}

TEST_F(Language, OneLineSectionResetsEveryFixedText) {
  p.files.Put(kLangRes, "[English]\r\nWSSaveTitle=Closing\r\nbtOnOffHint=Switch\r\n[Tiny]\r\nbtOK=Go\r\n");
  Apply("English");
  Apply("Tiny", false);
  EXPECT_EQ(target.captions["btOK"], "Go");
  EXPECT_EQ(state.UiTexts.Value("WSSaveTitle"), "Zako\xF1" "czenie pracy");
  EXPECT_EQ(target.hints["btOnOff"], "W\xB3\xB9" "cz/wy\xB3\xB9" "cz czcionk\xEA");
  EXPECT_EQ(target.captions["OsVer"], "Windows 95/98\rZapis w win.ini.");
  EXPECT_EQ(state.DefLangVal, "238");
}

// The profile functions read the empty section name from the lines before the first header; a
// language of that name, like one the file lacks, gives the built-in texts and no captions.
TEST_F(Language, EmptyOrMissingSectionGivesTheBuiltInTexts) {
  p.files.Put(kLangRes, "btOK=&Early\r\nWSSaveTitle=Early\r\nDefLangVal=204\r\nbtOnOffHint=Early\r\n"
                        "[English]\r\nWSSaveTitle=Closing\r\n");
  for (const char* section : {"", "Klingon"}) {
    Apply("English");
    Apply(section);
    EXPECT_EQ(target.captions["btOK"], "&OK") << section;
    EXPECT_EQ(state.UiTexts.Value("WSSaveTitle"), "Zako\xF1" "czenie pracy") << section;
    EXPECT_EQ(target.hints["btOnOff"], "W\xB3\xB9" "cz/wy\xB3\xB9" "cz czcionk\xEA") << section;
    EXPECT_EQ(state.DefLangVal, "238") << section;
    EXPECT_EQ(target.captions["OsVer"], "Windows NT\rZapis w rejestrze.") << section;
  }
  KeyValueList lines;
  ReadSection(p.profiles, kLangRes, "", lines);
  EXPECT_TRUE(lines.Empty());
}

// Only the named labels, buttons and tab sheets take captions; the toolbox buttons, panels and the
// tree keep theirs, however the key is spelt. Checked through the main window's own lookup.
TEST(LanguageCaptions, OnlyTheNamedControlsOfTheWindowTakeCaptions) {
  MemoryPlatforms p;
  p.files.Put(kLangRes,
              "[Test]\r\nbtOnOff=&Q\r\nBTWESTERNMAP=&W\r\nbtLangChoose=&L\r\nToolbarButton971=&C\r\n"
              "btMaskedOnOff=&M\r\nbtrestore=&Undo\r\nbtOK=&Fine\r\nbtCancel=&Stop\r\nLBDescription=Fonts:\r\n"
              "tabsheet2=&About\r\nTabSheet1=&Fonts\r\nStatusBar1=s\r\nPanel1=p\r\nLabelSample=x\r\n");
  p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Test");
  TForm1 form(p.platform);
  const struct {
    const char* control;
    const char* caption;
  } buttons[] = {{"btOnOff", ""},       {"btWesternMap", ""},     {"btLangChoose", ""},
                 {"ToolbarButton971", ""}, {"btMaskedOnOff", ""}, {"btRestore", "&Undo"},
                 {"btOK", "&Fine"},     {"btCancel", "&Stop"}};
  for (const auto& b : buttons) EXPECT_EQ(p.ui.Find<Button>(b.control)->Caption(), b.caption) << b.control;
  EXPECT_EQ(p.ui.Find<Label>("LBDescription")->Caption(), "Fonts:");
  EXPECT_EQ(p.ui.Find<TabSheet>("Form1.TabSheet1")->Caption(), "&Fonts");
  EXPECT_EQ(p.ui.Find<TabSheet>("Form1.TabSheet2")->Caption(), "&About");
  EXPECT_EQ(p.ui.Find<StatusBar>("StatusBar1")->SimpleText(), "");
}

TEST_F(Language, LangResEditHintNeedsExactlyOneText) {
  struct Case {
    const char* value;
    const char* hint;
  } cases[] = {{"Edit %s", "Edit LangRes.ini"},
               {"Edit the language file", "Edit the language file"},
               {"Edit %s %s", "Edycja LangRes.ini"},
               {"Edit %d", "Edycja LangRes.ini"}};
  for (const auto& c : cases) {
    target.hints["btLangResEdit"] = "Edycja LangRes.ini";
    p.files.Put(kLangRes, std::string("[L]\r\nbtLangResEditHint=") + c.value + "\r\n");
    Apply("L");
    EXPECT_EQ(target.hints["btLangResEdit"], c.hint) << c.value;
  }
}

TEST_F(Language, InformationPageOnlyWhenTheFileExists) {
  p.files.Put(kLangRes, "[A]\r\nReadme=help/en.htm\r\n[B]\r\nReadme=help/missing.htm\r\n");
  p.files.Put("C:\\Program Files\\Sorel\\help\\en.htm", "<html>");
  Apply("B");
  EXPECT_EQ(state.HelpPagePath, "help/enindex.htm");
  Apply("A");
  EXPECT_EQ(state.HelpPagePath, "C:\\Program Files\\Sorel\\help/en.htm");
  Apply("B");
  EXPECT_EQ(state.HelpPagePath, "C:\\Program Files\\Sorel\\help/en.htm");
}

TEST_F(Language, ContactHintsFollowTheCaptionsAndPreviewCaptionIsSet) {
  p.files.Put(kLangRes, "[E]\r\nLabelContact=Contact\r\nfrmPreviewCaption=Preview\r\n");
  Apply("E");
  EXPECT_EQ(target.hints["MailTo"], "Contact");
  EXPECT_EQ(target.hints["URLLink"], "WWW");
  EXPECT_EQ(target.previewCaptions, std::vector<std::string>{"Preview"});
}

// The dialog, played by a scripted user.
class LanguageDialog : public testing::Test {
 protected:
  void SetUp() override {
    p.files.Put(kLangRes,
                "[Polski]\r\ndLangChoose=Wyb\xF3r\r\n[English]\r\ndLangChoose=Choose\r\n[SamplezXSet]\r\n0=x\r\n"
                "[samplez lower]\r\n[INISTRINGS]\r\n238=CE\r\n[NLSMaps]\r\n");
  }
  std::vector<std::string> Offered(ComboBox& combo) {
    std::vector<std::string> items;
    for (int i = 0; i < combo.Count(); ++i) items.push_back(combo.Item(i));
    return items;
  }
  MemoryPlatforms p;
};

TEST_F(LanguageDialog, OffersLanguagesAndPreselectsPolski) {
  std::vector<std::string> offered, captions;
  std::string preselected;
  p.ui.modalHandler = [&](Form& form) {
    auto& combo = *p.ui.Find<ComboBox>("ComboBox1");
    offered = Offered(combo);
    preselected = combo.ItemIndex() >= 0 ? combo.Item(combo.ItemIndex()) : "";
    captions.push_back(form.Caption());
    Pick(p.ui, combo, combo.FindExact("english"));
    captions.push_back(form.Caption());
    Click(p.ui, *p.ui.Find<Button>("Button1"));
  };
  EXPECT_EQ(TfrmLangChoose(p.platform, std::nullopt).ShowModal(), "English");
  EXPECT_EQ(offered, (std::vector<std::string>{"English", "NLSMaps", "Polski", "samplez lower"}));
  EXPECT_EQ(preselected, "Polski");
  EXPECT_EQ(captions, (std::vector<std::string>{"Wyb\xF3r", "Choose"}));
}

TEST_F(LanguageDialog, StoredLanguagePreselectedIgnoringCaseAndClosingCountsAsChoice) {
  EXPECT_EQ(TfrmLangChoose(p.platform, "ENGLISH").ShowModal(), "English");  // no handler: the user closed the dialog
  EXPECT_EQ(TfrmLangChoose(p.platform, "Klingon").ShowModal(), "");
}

TEST_F(LanguageDialog, WithoutLanguageFileNothingIsOfferedAndTheCaptionIsBuiltIn) {
  p.files.Remove(kLangRes);
  std::string caption;
  p.ui.modalHandler = [&](Form& form) { caption = form.Caption(); };
  EXPECT_EQ(TfrmLangChoose(p.platform, std::nullopt).ShowModal(), "");
  EXPECT_EQ(caption, "Wyb\xF3r j\xEAzyka");
}

// With nothing selected the section name is empty: the caption is the built-in one, not a key
// from the lines before the file's first header.
TEST_F(LanguageDialog, NothingSelectedGivesTheBuiltInCaption) {
  p.files.Put(kLangRes, "dLangChoose=Early\r\n[English]\r\ndLangChoose=Choose\r\n");
  std::string caption;
  p.ui.modalHandler = [&](Form& form) { caption = form.Caption(); };
  EXPECT_EQ(TfrmLangChoose(p.platform, "Klingon").ShowModal(), "");
  EXPECT_EQ(caption, "Wyb\xF3r j\xEAzyka");
}

TEST_F(LanguageDialog, FirstStartAsksBeforeTheWindowAndOpensInTheChosenLanguage) {
  p.files.Put(kLangRes, "[Polski]\r\n[English]\r\nbtOK=&OK\r\nbtCancel=&Cancel\r\nWSRegistry=Stored in the registry.\r\n"
                        "[IniStrings]\r\n238=CE\r\n204=CYR\r\n");
  int dialogs = 0;
  p.ui.modalHandler = [&](Form&) {
    ++dialogs;
    auto& combo = *p.ui.Find<ComboBox>("ComboBox1");
    Pick(p.ui, combo, combo.FindExact("English"));
    Click(p.ui, *p.ui.Find<Button>("Button1"));
  };
  TForm1 form(p.platform);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(p.registry.GetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language"), "English");
  EXPECT_EQ(p.ui.Find<Button>("btCancel")->Caption(), "&Cancel");
  EXPECT_EQ(p.ui.Find<Label>("OsVer")->Caption(), "Windows NT\rStored in the registry.");
  EXPECT_EQ(form.Edits().ScriptSuffixes().lines, (std::vector<std::string>{"238=CE", "204=CYR"}));

  // The next start applies the stored language without asking.
  TForm1 again(p.platform);
  EXPECT_EQ(dialogs, 1);
  EXPECT_EQ(p.ui.Find<Button>("btCancel")->Caption(), "&Cancel");
}

TEST_F(LanguageDialog, ToolboxButtonChangesTheLanguageAtOnce) {
  p.files.Put(kLangRes, "[Polski]\r\nbtCancel=&Anuluj\r\n[English]\r\nbtCancel=&Cancel\r\nbtLangChooseHint=Language\r\n");
  p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Polski");
  TForm1 form(p.platform);
  EXPECT_EQ(p.ui.Find<Button>("btCancel")->Caption(), "&Anuluj");
  std::string preselected;
  p.ui.modalHandler = [&](Form&) {
    auto& combo = *p.ui.Find<ComboBox>("ComboBox1");
    preselected = combo.Item(combo.ItemIndex());
    Pick(p.ui, combo, combo.FindExact("English"));
  };  // and the user closes the dialog with its close box
  Click(p.ui, *p.ui.Find<Button>("btLangChoose"));
  EXPECT_EQ(preselected, "Polski");
  EXPECT_EQ(p.ui.Find<Button>("btCancel")->Caption(), "&Cancel");
  EXPECT_EQ(p.ui.Find<Button>("btLangChoose")->Hint(), "Language");
  EXPECT_EQ(p.registry.GetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language"), "English");
}

// "Language" of another type counts as missing: the toolbox button shows the dialog with "Polski"
// preselected, and the choice replaces the value with text.
TEST_F(LanguageDialog, ValueOfAnotherTypeIsReplacedByTheChoice) {
  p.files.Put(kLangRes, "[Polski]\r\nbtCancel=&Anuluj\r\n[English]\r\nbtCancel=&Cancel\r\n");
  p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "English");
  TForm1 form(p.platform);
  for (std::uint32_t type : {RegType::DWord, RegType::Binary, RegType::MultiString}) {
    p.registry.SetRaw(RegRoot::CurrentUser, Settings::kProgramKey, "Language", type, std::string("\1\0\0\0", 4));
    std::string preselected = "(no dialog)";
    p.ui.modalHandler = [&](Form&) {
      auto& combo = *p.ui.Find<ComboBox>("ComboBox1");
      preselected = combo.Item(combo.ItemIndex());
    };
    Click(p.ui, *p.ui.Find<Button>("btLangChoose"));
    EXPECT_EQ(preselected, "Polski") << type;
    EXPECT_TRUE(p.ui.events.errorsShown.empty()) << type;
    EXPECT_EQ(p.registry.GetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language"), "Polski") << type;
    EXPECT_EQ(p.ui.Find<Button>("btCancel")->Caption(), "&Anuluj") << type;
  }
}

// A choice that cannot be stored is still applied; the registry's error is shown once, after the
// windows have taken the chosen language.
TEST_F(LanguageDialog, ChoiceThatCannotBeStoredIsAppliedAndTheErrorShownAfter) {
  const struct Case {
    const char* what;
    bool firstStart;
  } cases[] = {{"first start", true}, {"toolbox button", false}};
  for (const Case& c : cases) {
    MemoryPlatforms q;
    q.files.Put(kLangRes, "[Polski]\r\nbtCancel=&Anuluj\r\n[English]\r\nbtCancel=&Cancel\r\n");
    if (!c.firstStart) q.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Polski");
    std::vector<std::string> shown;  // each error with the caption btCancel had when it was shown
    q.app.OnException = [&](const std::exception& e) {
      shown.push_back(std::string(e.what()) + " / " + q.ui.Find<Button>("btCancel")->Caption());
    };
    q.ui.modalHandler = [&](Form&) {
      auto& combo = *q.ui.Find<ComboBox>("ComboBox1");
      Pick(q.ui, combo, combo.FindExact("English"));
    };
    q.registry.FailWriteOf("Language");
    TForm1 form(q.platform);
    if (!c.firstStart) Click(q.ui, *q.ui.Find<Button>("btLangChoose"));
    EXPECT_EQ(shown, std::vector<std::string>{FailedToSetDataMessage("Language") + " / &Cancel"}) << c.what;
    EXPECT_EQ(q.ui.Find<Button>("btCancel")->Caption(), "&Cancel") << c.what;
    EXPECT_FALSE(q.app.Terminated()) << c.what;
  }
}

}  // namespace
}  // namespace sorel::test
