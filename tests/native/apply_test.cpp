// Saving the user's choices on close, the restart offer and the restore, on in-memory platforms.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/settings.h"
#include "engine/restart_system.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

using Texts = std::vector<std::string>;

const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";
const char* const kCodePagePath = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";

Texts FixedEntries(const std::string& v) {
  return {"Helvetica," + v + "=Arial," + v,      "Helvetica,0=Arial," + v,
          "Times," + v + "=Times New Roman," + v, "Times,0=Times New Roman," + v,
          "Courier," + v + "=Courier New," + v,   "Courier,0=Courier New," + v};
}

Texts Concat(Texts a, const Texts& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// Arial offers 161, 204 and 238; Tahoma 162 and 238. The language section is "Test", whose
// lines each test may give.
class Apply : public MainWindowTest {
 protected:
  void SetUp() override {
    SetLanguageSection("");
    p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Test");
    AddFace("Arial", {{0, "Western"}, {238, "Central European"}, {204, "Cyrillic"}, {161, "Greek"}});
    AddFace("Tahoma", {{0, "Western"}, {238, "Central European"}, {162, "Turkish"}});
    p.registry.CreateKey(RegRoot::LocalMachine, kFontSubstitutesPath);
  }
  void SetLanguageSection(const std::string& lines) {
    p.files.Put(kLangRes, "[IniStrings]\r\n238=CE\r\n204=CYR\r\n161=Greek\r\n162=TUR\r\n"
                          "[NLSMaps]\r\nCentral=c_1250.nls\r\n[Test]\r\n" + lines);
  }
  void Table(const Texts& entries) {
    for (const auto& entry : entries) {
      const auto eq = entry.find('=');
      p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, entry.substr(0, eq), entry.substr(eq + 1));
    }
  }
  void DoubleClick(const std::string& text) {
    tree->Select(Node(text));
    DoubleClickTree(p.ui, *tree);
  }
  // The code-page list's "Central" (c_1250.nls), as the user picks it.
  void ChooseCentralCodePage() { ClickItem(p.ui, Item("puNLs").Item(0)); }
  // OK, then Yes to saving and the given answer to the restart question.
  void CloseAndSave(Answer restartAnswer = Answer::No) {
    p.dialogs.Script({Answer::Yes, restartAnswer});
    Click(p.ui, Btn("btOK"));
  }
  Texts Stored() {
    Texts stored = p.registry.DumpStrings(RegRoot::LocalMachine, kFontSubstitutesPath);
    std::sort(stored.begin(), stored.end());
    return stored;
  }
  static Texts Sorted(Texts texts) {
    std::sort(texts.begin(), texts.end());
    return texts;
  }
};

// Records become entries in record order; what belongs to no record keeps its place; the fixed
// six leave the middle and end the table in their order.
TEST_F(Apply, RecordsBecomeEntriesAndFixedEntriesEndTheTable) {
  Table({"Helv=MS Sans Serif", "Arial CE,238=Arial,238", "Times,238=Times New Roman,238", "Tahoma,0=Tahoma,238",
         "Gone Face,238=Other,238", "Tahoma TUR,162=Tahoma,162"});
  TForm1& f = Create();
  DoubleClick("Arial (Cyrillic)");                          // on
  DoubleClick("Arial (Central European)");                  // off
  DoubleClick("Tahoma (Turkish)");                          // off
  tree->Select(Node("Arial (Greek)"));
  Click(p.ui, Btn("btWesternMap"));                         // Western to 161

  CloseAndSave();
  const Texts expected = Concat({"Helv=MS Sans Serif", "Tahoma,0=Tahoma,238", "Gone Face,238=Other,238",
                                 "Arial,0=Arial,161", "Arial CYR,204=Arial,204"},
                                FixedEntries("238"));
  EXPECT_EQ(f.Edits().Table(), expected);
  EXPECT_EQ(Stored(), Sorted(expected));
  EXPECT_TRUE(f.Self().Closed());
  EXPECT_TRUE(p.ui.events.errorsShown.empty());
}

TEST_F(Apply, MovingTheWesternMarkReplacesTheFacesWesternEntry) {
  Table({"Tahoma,0=Tahoma,238"});
  TForm1& f = Create();
  tree->Select(Node("Tahoma (Turkish)"));
  Click(p.ui, Btn("btWesternMap"));
  CloseAndSave();
  EXPECT_EQ(f.Edits().Table(), Concat({"Tahoma,0=Tahoma,162"}, FixedEntries("238")));
}

// The table's own spelling is kept for a kept entry and an entry in other letter case is
// removed as the same entry.
TEST_F(Apply, EntriesMatchIgnoringLetterCase) {
  Table({"arial ce,238=ARIAL,238", "TAHOMA CE,238=tahoma,238", "helvetica,0=arial,238"});
  TForm1& f = Create();
  ASSERT_TRUE(Record("Arial", 238).Enabled);
  DoubleClick("Tahoma (Central European)");  // off
  CloseAndSave();
  Texts expected = FixedEntries("238");
  expected.insert(expected.begin(), "arial ce,238=ARIAL,238");
  EXPECT_EQ(f.Edits().Table(), expected);
}

TEST_F(Apply, AllOnWritesEveryScriptEntry) {
  Create();
  ClickItem(p.ui, Item("PopupMenu2", "muAllOn2"));
  CloseAndSave();
  EXPECT_EQ(Stored(), Sorted(Concat({"Arial Greek,161=Arial,161", "Arial CYR,204=Arial,204", "Arial CE,238=Arial,238",
                                     "Tahoma TUR,162=Tahoma,162", "Tahoma CE,238=Tahoma,238"},
                                    FixedEntries("238"))));
}

// A character set without a suffix gives the entry with a blank before the comma.
TEST_F(Apply, ScriptWithoutSuffixIsWrittenWithTheBlank) {
  AddFace("Thai Face", {{222, "Thai"}});
  TForm1& f = Create();
  DoubleClick("Thai Face (Thai)");
  CloseAndSave();
  EXPECT_EQ(f.Edits().Table().front(), "Thai Face ,222=Thai Face,222");
}

struct LanguageCase {
  const char* section;  // lines of the language section
  const char* value;    // the character set of the fixed entries
};
class FixedEntriesOfLanguage : public Apply, public testing::WithParamInterface<LanguageCase> {};

// Entries formed with another number by an earlier save stay where they are, unless they hold a
// name the language's fixed entries write: the fixed entry replaces them.
TEST_P(FixedEntriesOfLanguage, CarryTheLanguagesCharset) {
  SetLanguageSection(GetParam().section);
  const Texts earlier = {"Helvetica,238=Arial,238", "Courier,0=Courier New,238"};
  Table(earlier);
  TForm1& f = Create();
  SwitchCodePage();  // unsaved, yet no record changed
  CloseAndSave();
  const std::string v = GetParam().value;
  // With 0 the two entries of each face are one text, added once.
  Texts fixed = FixedEntries(v);
  if (v == "0") fixed = {fixed[0], fixed[2], fixed[4]};
  EXPECT_EQ(f.Edits().Table(), v == "238" ? fixed : Concat({earlier[0]}, fixed));
}

INSTANTIATE_TEST_SUITE_P(Languages, FixedEntriesOfLanguage,
                         testing::Values(LanguageCase{"DefLangVal=204\r\n", "204"},
                                         LanguageCase{"DefLangVal=0\r\n", "0"},
                                         LanguageCase{"", "238"},              // built-in default
                                         LanguageCase{"DefLangVal=\r\n", "238"}));  // empty: never ","

TEST_F(Apply, NoLanguageAtAllStillGivesFixedEntriesWith238) {
  p.files.Remove(kLangRes);
  TForm1& f = Create();
  ASSERT_TRUE(f.Texts().DefLangVal.empty());
  SwitchCodePage();
  CloseAndSave();
  EXPECT_EQ(Stored(), Sorted(FixedEntries("238")));
}

TEST_F(Apply, CodePageIsWrittenAfterTheTableAndBeforeTheQuestion) {
  p.registry.SetString(RegRoot::LocalMachine, kCodePagePath, "1252", "c_1252.nls");
  Create();
  ChooseCentralCodePage();
  p.registry.ClearLog();
  CloseAndSave();
  EXPECT_EQ(p.registry.GetString(RegRoot::LocalMachine, kCodePagePath, "1252"), "c_1250.nls");
  const auto& log = p.registry.Log();
  const auto table = std::find(log.begin(), log.end(), "write Helvetica,238");
  const auto codePage = std::find(log.begin(), log.end(), "write 1252");
  ASSERT_NE(table, log.end());
  EXPECT_LT(table, codePage);
  EXPECT_EQ(p.dialogs.Calls().size(), 2u);
}

struct FailureCase {
  const char* failingValue;
  bool tableWritten;
};
class FailedSave : public Apply, public testing::WithParamInterface<FailureCase> {};

// An error of the registry ends the save: it is shown, nothing is asked about restarting, the
// window stays open with the changes.
TEST_P(FailedSave, KeepsTheWindowAndAsksNoRestart) {
  p.registry.SetString(RegRoot::LocalMachine, kCodePagePath, "1252", "c_1252.nls");
  TForm1& f = Create();
  ChooseCentralCodePage();
  DoubleClick("Arial (Greek)");
  p.registry.FailWriteOf(GetParam().failingValue);
  CloseAndSave(Answer::Yes);
  ASSERT_EQ(p.ui.events.errorsShown.size(), 1u);
  EXPECT_EQ(p.ui.events.errorsShown[0], std::string("Failed to set data for '") + GetParam().failingValue + "'");
  EXPECT_FALSE(f.Self().Closed());
  EXPECT_TRUE(Modified());
  EXPECT_EQ(p.dialogs.Calls().size(), 1u);
  EXPECT_EQ(p.restart.requests, 0);
  EXPECT_EQ(p.registry.GetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Courier,0").has_value(),
            GetParam().tableWritten);
}

INSTANTIATE_TEST_SUITE_P(Steps, FailedSave,
                         testing::Values(FailureCase{"Arial Greek,161", false}, FailureCase{"1252", true}));

// A user who may read the machine's settings but not change them sees the table as it is, and a
// save ends as any failed save does instead of offering a restart for nothing.
TEST_F(Apply, TableTheUserMayNotChangeIsShownAndItsSaveFails) {
  p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial CE,238", "Arial,238");
  p.registry.DenyWriteAccess(RegRoot::LocalMachine, kFontSubstitutesPath);
  TForm1& f = Create();
  EXPECT_EQ(f.Edits().Table(), (SubstTable{"Arial CE,238=Arial,238"}));
  DoubleClick("Arial (Greek)");
  CloseAndSave(Answer::Yes);
  ASSERT_EQ(p.ui.events.errorsShown.size(), 1u);
  EXPECT_EQ(p.ui.events.errorsShown[0], FailedToSetDataMessage(kFontSubstitutesPath));
  EXPECT_FALSE(f.Self().Closed());
  EXPECT_TRUE(Modified());
  EXPECT_EQ(p.restart.requests, 0);
}

// A script switched on whose name the table maps elsewhere: the save makes the program's entry
// what the system holds for the name, on either family.
TEST_F(Apply, SwitchedOnEntryReplacesAnotherMappingOfItsName) {
  for (const Family family : {Family::Nt, Family::Win9x}) {
    SCOPED_TRACE(static_cast<int>(family));
    p.system.family = family;
    const char* const other = "Arial Greek,161=Tahoma,161";
    Table({other});
    p.files.Put("C:\\windows\\win.ini", std::string("[FontSubstitutes]\r\n") + other + "\r\n");
    TForm1& f = Create();
    ASSERT_FALSE(Record("Arial", 161).Enabled);
    DoubleClick("Arial (Greek)");
    CloseAndSave();
    EXPECT_EQ(f.Edits().Table(), Concat({"Arial Greek,161=Arial,161"}, FixedEntries("238")));
    const std::string stored = family == Family::Nt
                                   ? p.registry.GetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial Greek,161")
                                         .value_or("")
                                   : p.files.Get("C:\\windows\\win.ini").value_or("");
    EXPECT_NE(stored.find("Arial,161"), std::string::npos) << stored;
    EXPECT_EQ(stored.find("Tahoma,161"), std::string::npos) << stored;
  }
}

struct RestartCase {
  Family family;
  bool accepted;
  std::string refusal;  // the system's words when it refuses
  Texts errors;         // what the user is told after the question
};
class RestartQuestion : public Apply, public testing::WithParamInterface<RestartCase> {};

TEST_P(RestartQuestion, YesAsksTheSystemToRebootAndSaysWhenItRefuses) {
  const RestartCase c = GetParam();
  p.system.family = c.family;
  p.files.Put("C:\\windows\\win.ini", "[FontSubstitutes]\r\n");
  p.restart.accepted = c.accepted;
  p.restart.refusal = c.refusal;
  TForm1& f = Create();
  SwitchCodePage();
  CloseAndSave(Answer::Yes);
  ASSERT_EQ(p.dialogs.Calls().size(), 2u);
  EXPECT_EQ(p.dialogs.Calls()[1].text, "Czy uruchomi\xE6 ponownie komputer?");
  EXPECT_EQ(p.dialogs.Calls()[1].caption, "Restart komputera");
  EXPECT_EQ(p.dialogs.Calls()[1].buttons, Buttons::YesNo);
  EXPECT_EQ(p.dialogs.Calls()[1].icon, Icon::Question);
  EXPECT_EQ(p.restart.requests, 1);
  EXPECT_EQ(p.app.errorsShown, c.errors);
  EXPECT_TRUE(f.Self().Closed());  // the table is saved: a refused restart changes nothing about closing
  EXPECT_TRUE(p.ui.events.errorsShown.empty());
}

const char* const kPrivilegeRefused = "Not all privileges or groups referenced are assigned to the caller.";
const char* const kExitRefused = "A required privilege is not held by the client.";
INSTANTIATE_TEST_SUITE_P(Families, RestartQuestion,
                         testing::Values(RestartCase{Family::Nt, true, "", {}},
                                         RestartCase{Family::Nt, false, kPrivilegeRefused, {kPrivilegeRefused}},
                                         RestartCase{Family::Nt, false, kExitRefused, {kExitRefused}},
                                         RestartCase{Family::Win9x, true, "", {}},
                                         RestartCase{Family::Win9x, false, kExitRefused, {kExitRefused}}));

TEST_F(Apply, AnswerNoSavesWithoutRestart) {
  TForm1& f = Create();
  SwitchCodePage();
  CloseAndSave(Answer::No);
  EXPECT_TRUE(f.Self().Closed());
  EXPECT_EQ(p.restart.requests, 0);
  EXPECT_EQ(Stored(), Sorted(FixedEntries("238")));
}

TEST_F(Apply, RestartQuestionUsesTheLanguagesTexts) {
  SetLanguageSection("WSRestartText=Restart now?\r\nWSRestartTitle=Restarting\r\n");
  Create();
  SwitchCodePage();
  CloseAndSave();
  ASSERT_EQ(p.dialogs.Calls().size(), 2u);
  EXPECT_EQ(p.dialogs.Calls()[1].text, "Restart now?");
  EXPECT_EQ(p.dialogs.Calls()[1].caption, "Restarting");
}

TEST(RestartSystem, AsksOnceAndARefusalSaysWhy) {
  struct Case {
    bool accepted;
    std::string refusal;  // what the caller is told
  } cases[] = {
      {true, ""},
      {false, "refused"},
  };
  for (const Case& c : cases) {
    MemoryRestart restart;
    restart.accepted = c.accepted;
    restart.refusal = "refused";
    std::string refusal;
    EXPECT_EQ(RestartSystem(restart, refusal), c.accepted);
    EXPECT_EQ(restart.requests, 1) << c.accepted;
    EXPECT_EQ(refusal, c.refusal) << c.accepted;
  }
}

TEST_F(Apply, RestoreDiscardsEditsAndReadsTheTableAgain) {
  Table({"Arial CE,238=Arial,238", "Tahoma,0=Tahoma,238"});
  TForm1& f = Create();
  const Texts scriptNames = f.Edits().ScriptNames().Items();
  const int menuItems = Item("PopupMenu3", "puSelOn1").Count();
  DoubleClick("Arial");
  tree->Select(Node("Tahoma (Turkish)"));
  Click(p.ui, Btn("btWesternMap"));
  // Meanwhile another program adds an entry, and Tahoma no longer reports Turkish.
  Table({"Tahoma CE,238=Tahoma,238"});
  p.fonts.SetScripts("Tahoma", {{0, "Western"}, {238, "Central European"}});

  Click(p.ui, Btn("btRestore"));
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(Btn("btRestore").Enabled());
  EXPECT_EQ(f.Edits().Table(), (Texts{"Arial CE,238=Arial,238", "Tahoma,0=Tahoma,238", "Tahoma CE,238=Tahoma,238"}));
  EXPECT_TRUE(Record("Arial", 238).Enabled);
  EXPECT_FALSE(Record("Arial", 204).Enabled);
  EXPECT_TRUE(Record("Tahoma", 238).Enabled && Record("Tahoma", 238).WesternMapped);
  EXPECT_EQ(tree->StateIndex(Node("Arial")), 3);
  EXPECT_EQ(tree->StateIndex(Node("Tahoma")), 2);
  const TFontList& records = f.Edits().FontList();
  EXPECT_EQ(records.Count(), 4);  // one record per script node
  for (int i = 0; i < records.Count(); ++i) {
    EXPECT_EQ(f.Edits().RecordOf(records.Item(i)->Item), records.Item(i));
    EXPECT_NE(f.FontTree().NodeOf(records.Item(i)->Item), 0u);
  }

  EXPECT_EQ(tree->Selected(), tree->FirstChild(0));
  EXPECT_TRUE(Btn("btOnOff").Enabled());
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");  // Arial is mixed again

  // Script names only grow, and the menus are not rebuilt.
  EXPECT_EQ(f.Edits().ScriptNames().Items(), scriptNames);
  EXPECT_EQ(Item("PopupMenu3", "puSelOn1").Count(), menuItems);

  // The selection is followed again once the rebuild is over.
  tree->Select(Node("Tahoma"));
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");

  Click(p.ui, Btn("btOK"));
  EXPECT_TRUE(f.Self().Closed());
  EXPECT_TRUE(p.dialogs.Calls().empty());
}

// A restore whose read fails changes nothing: the table the records came from (with the entries
// that belong to no record), the edits, their mark and the restore button all stay, so a save
// keeps every entry and the restore can be tried again.
TEST_F(Apply, FailedRestoreKeepsTheTableTheEditsAndTheButton) {
  Table({"Arial CE,238=Arial,238", "Other,1=Other,1", "Tahoma,0=Tahoma,238"});
  TForm1& f = Create();
  DoubleClick("Arial (Cyrillic)");
  const Texts table = f.Edits().Table();
  p.registry.FailOnlyOperation(1);  // the second value of the table cannot be read

  Click(p.ui, Btn("btRestore"));
  ASSERT_EQ(p.ui.events.errorsShown.size(), 1u);
  EXPECT_EQ(f.Edits().Table(), table);
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(Btn("btRestore").Enabled());
  EXPECT_TRUE(Record("Arial", 204).Enabled);
  EXPECT_EQ(tree->StateIndex(Node("Arial (Cyrillic)")), 2);
  tree->Select(Node("Tahoma"));  // the selection is followed again after the failed rebuild
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");

  CloseAndSave();
  EXPECT_TRUE(f.Self().Closed());
  EXPECT_EQ(Stored(), Sorted(Concat({"Arial CE,238=Arial,238", "Other,1=Other,1", "Tahoma,0=Tahoma,238",
                                     "Arial CYR,204=Arial,204"},
                                    FixedEntries("238"))));
}

// The code-page choice is read again too: what a close would write is what the system holds.
TEST_F(Apply, RestoreReadsTheCodePageAgain) {
  p.registry.SetString(RegRoot::LocalMachine, kCodePagePath, "1252", "c_1252.nls");
  TForm1& f = Create();
  ChooseCentralCodePage();
  f.RestoreTable();
  EXPECT_EQ(f.CodePage().CurrentNlsFile(), "c_1252.nls");
}

// The first face is selected before and after: the button shows its state as read again.
TEST_F(Apply, RestoreShowsTheFirstFacesStateOnTheButton) {
  Table({"Arial CE,238=Arial,238"});
  TForm1& f = Create();
  tree->Select(tree->FirstChild(0));
  DoubleClickTree(p.ui, *tree);
  ASSERT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");
  f.RestoreTable();
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");
}

TEST_F(Apply, RestoreWithoutFacesLeavesTheButtonDisabled) {
  p.fonts.fonts.clear();
  TForm1& f = Create();
  SwitchCodePage();
  Click(p.ui, Btn("btRestore"));  // disabled: nothing
  EXPECT_TRUE(Modified());
  f.RestoreTable();
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(Btn("btOnOff").Enabled());
}

}  // namespace
}  // namespace sorel::test
