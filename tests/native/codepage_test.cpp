// The code-page file mapping through TForm1: loading, the toolbox action, the menu and the save step.
#include <gtest/gtest.h>

#include <algorithm>
#include <exception>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/settings.h"
#include "platform/errors.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";
const char* const kCodePage = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";

// Where the system looks for an NLS file (MemorySystemInfo's system folder).
std::string NlsPath(const std::string& file) { return "C:\\windows\\system32\\" + file; }

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
    p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "English");
    p.registry.SetString(RegRoot::LocalMachine, kCodePage, "1250", "c_1250.nls");
  }
  void PutNls(const std::string& file) { p.files.Put(NlsPath(file), "NLS"); }
  void RemoveNls(const std::string& file) { p.files.Remove(NlsPath(file)); }
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
    NlsMapping mapping(p.registry, p.profiles, p.files, p.system, kLangRes);
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
  ASSERT_EQ(mapping.Choose("Standard"), NlsMapping::Pick::Made);
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
  ASSERT_EQ(mapping.Choose("Polish"), NlsMapping::Pick::Made);
  mapping.Write();
  EXPECT_FALSE(p.registry.KeyExists(RegRoot::LocalMachine, kCodePage));
}

// The save of the close question writes the mapping; No leaves the system as it was.
TEST_F(CodePage, ClosingWritesTheChoiceOnlyOnYes) {
  UseLangRes(kMaps);
  for (Answer answer : {Answer::No, Answer::Yes}) {
    SetSystemValue("c_1252.nls");
    Create();
    ClickItem(p.ui, ItemNamed("Cyrillic"));
    if (answer == Answer::Yes) p.dialogs.Script({Answer::Yes, Answer::No});  // save, then restart
    else p.dialogs.Script({Answer::No});
    Click(p.ui, ButtonNamed("btOK"));
    EXPECT_TRUE(form->Self().Closed());
    EXPECT_EQ(SystemValue(), answer == Answer::Yes ? "c_1251.nls" : "c_1252.nls");
    EXPECT_EQ(p.restart.requests, 0) << "No to the restart question";
  }
}


// ---------------------------------------------------------------- files the system folder lacks

const char* const kBuiltInMissing = "Plik %s nie istnieje w folderze systemowym";

std::string BuiltInMissing(const std::string& file) {
  std::string text = kBuiltInMissing;
  return text.replace(text.find("%s"), 2, file);
}

class MissingNls : public CodePage {
 protected:
  std::vector<std::string> Disabled() {
    std::vector<std::string> out;
    for (int i = 0; i < Menu().Count(); ++i)
      if (!Menu().Item(i).Enabled()) out.push_back(Menu().Item(i).Caption());
    return out;
  }
  std::string StatusText() { return p.ui.Find<StatusBar>("StatusBar1")->SimpleText(); }
  // Arial with one script, so that a test can change the table as well.
  void AddArial() { AddFace("Arial", {{0, "Western"}, {238, "Central European"}}); }
  void SwitchArial() {
    tree->Select(Node("Arial (Central European)"));
    DoubleClickTree(p.ui, *tree);
  }
  // OK, then Yes to saving and No to restarting.
  void CloseAndSave() {
    p.dialogs.Script({Answer::Yes, Answer::No});
    Click(p.ui, ButtonNamed("btOK"));
  }
};

// A choice whose file is not in the system folder is shown, disabled, and its hint says why in
// the language's words; pointing at it shows the hint in the status bar.
TEST_F(MissingNls, MenuShowsAChoiceWithoutItsFileDisabledWithTheReason) {
  struct Case {
    const char* what;
    std::string languageLines;          // more lines of the language section
    std::vector<std::string> removed;   // files taken out of the system folder
    std::string systemFolder;
    std::vector<std::string> disabled;
    std::string hint;                   // of the first disabled item
  } cases[] = {
      {"every file there", "", {}, "C:\\windows\\system32", {}, ""},
      {"one file missing, the built-in text", "", {"c_1251.nls"}, "C:\\windows\\system32", {"Cyrillic"},
       BuiltInMissing("c_1251.nls")},
      {"the current file, named twice, with the language's text", "WSNLsMissing=Not there: %s\r\n",
       {"c_1250.nls"}, "C:\\windows\\system32", {"Central European", "Polish"}, "Not there: c_1250.nls"},
      {"a text that does not take one name gives the built-in one", "WSNLsMissing=%s or %s\r\n",
       {"c_1251.nls"}, "C:\\windows\\system32", {"Cyrillic"}, BuiltInMissing("c_1251.nls")},
      {"the standard file is no exception", "", {"c_1252.nls"}, "C:\\windows\\system32", {"Standard"},
       BuiltInMissing("c_1252.nls")},
      {"a system folder the system cannot tell vouches for nothing", "", {}, "",
       {"Standard", "Central European", "Polish", "Cyrillic"}, BuiltInMissing("c_1252.nls")},
  };
  for (const Case& c : cases) {
    p.files.Put(kLangRes, "[English]\r\nDefNLsSubst=c_1250.nls\r\n" + c.languageLines + kMaps + "Nothing=\r\n");
    PutNls("c_1250.nls");
    PutNls("c_1251.nls");
    PutNls("c_1252.nls");
    for (const auto& file : c.removed) RemoveNls(file);
    p.system.systemDir = c.systemFolder;
    SetSystemValue("c_1250.nls");
    Create();
    EXPECT_EQ(Disabled(), c.disabled) << c.what;
    EXPECT_EQ(Checked(), (std::vector<std::string>{"Central European", "Polish"})) << c.what << ": checks as before";
    EXPECT_TRUE(ItemNamed("Nothing").Enabled()) << c.what << ": a caption without a file names nothing missing";
    for (int i = 0; i < Menu().Count(); ++i) {
      MenuItem& item = Menu().Item(i);
      const bool firstDisabled = !c.disabled.empty() && item.Caption() == c.disabled.front();
      if (item.Enabled()) EXPECT_EQ(item.Hint(), "") << c.what << ": " << item.Caption();
      if (firstDisabled) EXPECT_EQ(item.Hint(), c.hint) << c.what;
      HoverItem(p.ui, item);
      EXPECT_EQ(StatusText(), item.Hint()) << c.what << ": " << item.Caption();
    }
  }
}

// The menu shows the files as they are when it opens, not as they were at start.
TEST_F(MissingNls, OpeningTheMenuLooksForTheFilesAgain) {
  UseLangRes(kMaps);
  SetSystemValue("c_1252.nls");
  Create();
  ASSERT_TRUE(Disabled().empty());
  Button& arrow = ButtonNamed("ToolbarButton971Arrow");
  RemoveNls("c_1251.nls");
  Click(p.ui, arrow);
  EXPECT_EQ(Disabled(), (std::vector<std::string>{"Cyrillic"}));
  EXPECT_EQ(ItemNamed("Cyrillic").Hint(), BuiltInMissing("c_1251.nls"));
  PutNls("c_1251.nls");
  Click(p.ui, arrow);
  EXPECT_TRUE(Disabled().empty());
  EXPECT_EQ(ItemNamed("Cyrillic").Hint(), "");
  EXPECT_FALSE(Modified());
}

// A disabled item cannot be picked. One whose file went away while the menu was open is refused
// with the reason, changes nothing, and shows disabled from then on.
TEST_F(MissingNls, PickOfAChoiceWithoutItsFileChangesNothing) {
  UseLangRes(kMaps);
  SetSystemValue("c_1252.nls");
  TForm1& f = Create();
  RemoveNls("c_1251.nls");
  Click(p.ui, ButtonNamed("ToolbarButton971Arrow"));
  ASSERT_FALSE(ItemNamed("Cyrillic").Enabled());
  ClickItem(p.ui, ItemNamed("Cyrillic"));
  EXPECT_TRUE(p.dialogs.Calls().empty()) << "a disabled item is not chosen at all";

  RemoveNls("c_1250.nls");  // after the menu showed Central European enabled
  ASSERT_TRUE(ItemNamed("Central European").Enabled());
  p.dialogs.Script({Answer::Ok});
  ClickItem(p.ui, ItemNamed("Central European"));
  ASSERT_EQ(p.dialogs.Calls().size(), 1u);
  EXPECT_EQ(p.dialogs.Calls()[0].text, BuiltInMissing("c_1250.nls"));
  EXPECT_EQ(p.dialogs.Calls()[0].buttons, Buttons::Ok);
  EXPECT_EQ(p.dialogs.Calls()[0].icon, Icon::Warning);
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
  EXPECT_EQ(Checked(), (std::vector<std::string>{"Standard"}));
  EXPECT_FALSE(Indicator());
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(ButtonNamed("btRestore").Enabled());
  EXPECT_EQ(Disabled(), (std::vector<std::string>{"Central European", "Polish", "Cyrillic"}));
}

// The switch does not go to a file the system folder lacks, in either direction: the click
// changes nothing and says why. Once the file is there, it switches.
TEST_F(MissingNls, SwitchDoesNotGoToAMissingFile) {
  struct Case {
    const char* what;
    const char* systemValue;
    const char* missing;
    bool indicator;
  } cases[] = {
      {"to the language's file", "c_1252.nls", "c_1251.nls", false},
      {"back to the standard file", "c_1250.nls", "c_1252.nls", true},
  };
  for (const Case& c : cases) {
    UseLangRes(kMaps, "c_1251.nls");
    PutNls("c_1251.nls");
    PutNls("c_1252.nls");
    SetSystemValue(c.systemValue);
    p.dialogs = MemoryDialogs();
    TForm1& f = Create();
    RemoveNls(c.missing);
    p.dialogs.Script({Answer::Ok});
    Click(p.ui, ButtonNamed("ToolbarButton971"));
    ASSERT_EQ(p.dialogs.Calls().size(), 1u) << c.what;
    EXPECT_EQ(p.dialogs.Calls()[0].text, BuiltInMissing(c.missing)) << c.what;
    EXPECT_EQ(p.dialogs.Calls()[0].buttons, Buttons::Ok) << c.what;
    EXPECT_EQ(p.dialogs.Calls()[0].icon, Icon::Warning) << c.what;
    EXPECT_EQ(f.CodePage().CurrentNlsFile(), c.systemValue) << c.what;
    EXPECT_EQ(Indicator(), c.indicator) << c.what;
    EXPECT_FALSE(Modified()) << c.what;

    PutNls(c.missing);
    Click(p.ui, ButtonNamed("ToolbarButton971"));
    EXPECT_EQ(f.CodePage().CurrentNlsFile(), c.missing) << c.what;
    EXPECT_EQ(Indicator(), !c.indicator) << c.what;
    EXPECT_TRUE(Modified()) << c.what;
    EXPECT_EQ(p.dialogs.Calls().size(), 1u) << c.what;
  }
}

// A save whose current file is not in the system folder fails before anything is written, the
// table included, and offers no restart; the window stays with its changes. With the file back,
// the next close saves.
TEST_F(MissingNls, SaveRefusesAMissingFileBeforeWritingAnything) {
  struct Case {
    const char* what;
    const char* systemValue;
    const char* pick;  // a caption to pick, or nothing
    const char* removed;
    std::string folder;
    std::string path;  // the error names it
  } cases[] = {
      {"picked, then removed", "c_1252.nls", "Cyrillic", "c_1251.nls", "C:\\windows\\system32",
       "C:\\windows\\system32\\c_1251.nls"},
      {"read at start, already missing", "c_20127.nls", nullptr, nullptr, "C:\\windows\\system32",
       "C:\\windows\\system32\\c_20127.nls"},
      {"the standard file, removed", "c_1252.nls", nullptr, "c_1252.nls", "C:\\windows\\system32",
       "C:\\windows\\system32\\c_1252.nls"},
      {"no system folder to look in", "c_1252.nls", nullptr, nullptr, "", "c_1252.nls"},
  };
  UseLangRes(kMaps);
  AddArial();
  for (const Case& c : cases) {
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Helv", "MS Sans Serif");
    SetSystemValue(c.systemValue);
    PutNls("c_1251.nls");
    PutNls("c_1252.nls");
    p.system.systemDir = "C:\\windows\\system32";
    p.dialogs = MemoryDialogs();
    p.ui.events.errorsShown.clear();
    TForm1& f = Create();
    if (c.pick) ClickItem(p.ui, ItemNamed(c.pick));
    SwitchArial();
    if (c.removed) RemoveNls(c.removed);
    p.system.systemDir = c.folder;
    const auto table = p.registry.DumpStrings(RegRoot::LocalMachine, kFontSubstitutesPath);
    const auto codePages = p.registry.DumpStrings(RegRoot::LocalMachine, kCodePage);
    p.dialogs.Script({Answer::Yes});
    Click(p.ui, ButtonNamed("btOK"));
    EXPECT_EQ(p.ui.events.errorsShown, std::vector<std::string>{NlsMapping::MissingFileMessage(c.path)}) << c.what;
    EXPECT_EQ(p.registry.DumpStrings(RegRoot::LocalMachine, kFontSubstitutesPath), table) << c.what;
    EXPECT_EQ(p.registry.DumpStrings(RegRoot::LocalMachine, kCodePage), codePages) << c.what;
    EXPECT_EQ(p.dialogs.Calls().size(), 1u) << c.what << ": no restart offered";
    EXPECT_FALSE(f.Self().Closed()) << c.what;
    EXPECT_TRUE(Modified()) << c.what;

    // The file is back: the close asks again and saves.
    p.system.systemDir = "C:\\windows\\system32";
    PutNls(f.CodePage().CurrentNlsFile());
    CloseAndSave();
    EXPECT_TRUE(f.Self().Closed()) << c.what;
    EXPECT_EQ(SystemValue(), f.CodePage().CurrentNlsFile()) << c.what;
    EXPECT_EQ(p.registry.GetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial ,238"), "Arial,238") << c.what;
    p.registry.DeleteKey(RegRoot::LocalMachine, kFontSubstitutesPath);
  }
}

// A user who may read the machine's settings but not change them sees the mapping as it is, and a
// save fails with the registry's error before anything is written, on both families, instead of
// offering a restart for a choice it did not store.
TEST_F(MissingNls, KeyTheUserMayOnlyReadIsShownAndItsSaveFails) {
  UseLangRes(kMaps);
  AddArial();
  for (Family systemFamily : {Family::Nt, Family::Win9x}) {
    const std::string family = systemFamily == Family::Nt ? "NT family" : "95/98 family";
    p.system.family = systemFamily;
    const std::string winIni = "[FontSubstitutes]\r\nHelv=MS Sans Serif\r\n";
    p.files.Put("C:\\windows\\win.ini", winIni);
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Helv", "MS Sans Serif");
    SetSystemValue("c_1252.nls");
    p.registry.DenyWriteAccess(RegRoot::LocalMachine, kCodePage);
    p.dialogs = MemoryDialogs();
    p.ui.events.errorsShown.clear();
    TForm1& f = Create();
    EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls") << family;
    EXPECT_FALSE(Indicator()) << family << ": read access is enough to show the mapping";
    EXPECT_EQ(Checked(), (std::vector<std::string>{"Standard"})) << family;

    ClickItem(p.ui, ItemNamed("Cyrillic"));
    SwitchArial();
    const auto table = p.registry.DumpStrings(RegRoot::LocalMachine, kFontSubstitutesPath);
    const auto codePages = p.registry.DumpStrings(RegRoot::LocalMachine, kCodePage);
    p.dialogs.Script({Answer::Yes});
    Click(p.ui, ButtonNamed("btOK"));
    EXPECT_EQ(p.ui.events.errorsShown,
              std::vector<std::string>{FailedToSetDataMessage(std::string(kCodePage) + "\\1252")}) << family;
    EXPECT_EQ(p.registry.DumpStrings(RegRoot::LocalMachine, kFontSubstitutesPath), table)
        << family << ": the table is not written either";
    EXPECT_EQ(p.files.Get("C:\\windows\\win.ini"), winIni) << family;
    EXPECT_EQ(p.registry.DumpStrings(RegRoot::LocalMachine, kCodePage), codePages) << family;
    EXPECT_EQ(p.dialogs.Calls().size(), 1u) << family << ": no restart offered";
    EXPECT_FALSE(f.Self().Closed()) << family;
    EXPECT_TRUE(Modified()) << family;
    p.registry.ClearFaults();
  }
}

// Each read, write and delete of a save fails in turn, one at a time. A save that reports the
// failure offers no restart, keeps the window and leaves the system's code-page file either as it
// was or as chosen, never blank, with every stored entry of the table kept; a save that does not
// report one stored both.
TEST(CodePageSave, NoSingleFailingOperationLeavesTheMappingBlankOrTheSaveHalfReported) {
  bool failedSomething = true, failedTheMapping = false;
  for (std::size_t operation = 0; failedSomething; ++operation) {
    SCOPED_TRACE("failing operation " + std::to_string(operation));
    MemoryPlatforms p;
    p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "English");
    p.files.Put(kLangRes, std::string("[English]\r\nDefNLsSubst=c_1250.nls\r\n") + kMaps);
    p.registry.SetString(RegRoot::LocalMachine, kCodePage, "1252", "c_1252.nls");
    p.registry.SetString(RegRoot::LocalMachine, kCodePage, "1250", "c_1250.nls");
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Helv", "MS Sans Serif");
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial CE,238", "Arial,238");
    p.fonts.fonts.push_back({"Arial", false, 0});
    p.fonts.SetScripts("Arial", {{0, "Western"}, {238, "Central European"}, {204, "Cyrillic"}});
    TForm1 form(p.platform);
    ClickItem(p.ui, *[&] {
      MenuItem& items = p.ui.FindMenu("puNLs")->Items();
      for (int i = 0; i < items.Count(); ++i)
        if (items.Item(i).Caption() == "Cyrillic") return &items.Item(i);
      throw std::logic_error("no Cyrillic");
    }());
    TreeView& tree = *p.ui.Find<TreeView>("TVFonts");
    tree.Select(NodeByText(tree, "Arial (Cyrillic)"));
    DoubleClickTree(p.ui, tree);
    ASSERT_EQ(form.CodePage().CurrentNlsFile(), "c_1251.nls");

    // The save alone, as the close question's Yes runs it: what the close does around it (the
    // window's placement) is not part of the save.
    p.registry.ClearLog();
    p.registry.FailOnlyOperation(operation);
    p.dialogs.Script({Answer::No});
    bool reported = false;
    try {
      form.ApplyChanges();
    } catch (const PlatformError&) {
      reported = true;
    }
    const auto& log = p.registry.Log();
    failedSomething = std::any_of(log.begin(), log.end(), [](const std::string& line) {
      return line.find("(failed)") != std::string::npos;
    });

    if (std::find(log.begin(), log.end(), "write 1252 (failed)") != log.end()) {
      failedTheMapping = true;
      EXPECT_TRUE(reported) << "the mapping's write failed unreported";
    }
    const auto value = p.registry.GetString(RegRoot::LocalMachine, kCodePage, "1252");
    for (const char* name : {"Helv", "Arial CE,238"})
      EXPECT_TRUE(p.registry.GetString(RegRoot::LocalMachine, kFontSubstitutesPath, name)) << name;
    if (reported) {
      EXPECT_TRUE(value == "c_1252.nls" || value == "c_1251.nls") << value.value_or("(none)");
      EXPECT_TRUE(p.dialogs.Calls().empty()) << "no restart offered";
      EXPECT_TRUE(form.Edits().Modified());
    } else {
      // Only a refused delete goes unreported; the table's entries are all stored.
      EXPECT_EQ(value, "c_1251.nls");
      EXPECT_EQ(p.registry.GetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial ,204"), "Arial,204");
      EXPECT_EQ(p.dialogs.Calls().size(), 1u) << "the restart offered";
    }
    if (operation > 200) FAIL() << "the save never stopped failing";
  }
  EXPECT_TRUE(failedTheMapping) << "the sweep reached the mapping's write";
}

}  // namespace
}  // namespace sorel::test
