// The main window's editing commands driven through the tree, the toolbox and the menus, on in-memory platforms.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/settings.h"
#include "tests/support/form_fixture.h"

namespace sorel::test {
namespace {

const char* const kLangRes = "C:\\Program Files\\Sorel\\LangRes.ini";

// Two faces, the table holding Arial's CE entry and Tahoma's Western entry for 238:
//   Arial                                    state 3 (one of three on)
//     Arial (Central European)               2
//     Arial (Cyrillic)                       1
//     Arial (Greek)                          1
//   Tahoma                                   state 1
//     Tahoma (Central European) -> [Western] 1
//     Tahoma (Turkish)                       1
class Commands : public MainWindowTest {
 protected:
  void SetUp() override {
    p.files.Put(kLangRes, "[IniStrings]\r\n238=CE\r\n204=CYR\r\n161=Greek\r\n162=TUR\r\n[Test]\r\n");
    p.registry.SetString(RegRoot::CurrentUser, Settings::kProgramKey, "Language", "Test");
    AddFace("Arial", {{0, "Western"}, {238, "Central European"}, {204, "Cyrillic"}, {161, "Greek"}});
    AddFace("Tahoma", {{0, "Western"}, {238, "Central European"}, {162, "Turkish"}});
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Arial CE,238", "Arial,238");
    p.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesPath, "Tahoma,0", "Tahoma,238");
  }
  // Every text and state of the tree, in display order, to show that a command changed nothing.
  std::vector<std::string> Snapshot() {
    std::vector<std::string> rows;
    for (NodeId face = tree->FirstChild(0); face; face = tree->NextSibling(face)) {
      rows.push_back(tree->Text(face) + "|" + std::to_string(tree->StateIndex(face)));
      for (NodeId script = tree->FirstChild(face); script; script = tree->NextSibling(script)) {
        const TFontStruct* r = form->Edits().RecordOf(form->FontTree().ItemOf(script));
        rows.push_back(tree->Text(script) + "|" + std::to_string(tree->StateIndex(script)) + "|" +
                       std::to_string(r->Enabled) + std::to_string(r->WesternMapped));
      }
    }
    return rows;
  }
  void PressAt(const std::string& text, bool right = false) {
    int x = 0, y = 0;
    PointOfNode(*tree, Node(text), x, y);
    PressTree(p.ui, *tree, x, y, right);
  }
  // A press below the last row: no node there.
  void PressOnEmptySpace() { PressTree(p.ui, *tree, 10, 100 * kTreeRowHeight, false); }
  MenuItem& SubItem(MenuItem* parent, const std::string& caption) {
    for (int i = 0; i < parent->Count(); ++i)
      if (parent->Item(i).Caption() == caption) return parent->Item(i);
    throw std::logic_error("no item " + caption);
  }
};

TEST_F(Commands, TreeStartsAsTheTableSays) {
  Create();
  EXPECT_EQ(Snapshot(), (std::vector<std::string>{
                            "Arial|3", "Arial (Central European)|2|10", "Arial (Cyrillic)|1|00", "Arial (Greek)|1|00",
                            "Tahoma|1", "Tahoma (Central European) -> [Western]|1|01", "Tahoma (Turkish)|1|00"}));
  EXPECT_FALSE(Btn("btOnOff").Enabled());
  EXPECT_FALSE(Btn("btRestore").Enabled());
}

// The face's state follows its scripts: none 1, mixed 3, all 2; the toolbox button offers the
// opposite of what the selected node shows.
TEST_F(Commands, DoubleClickOnScriptsMovesTheFaceThroughItsStates) {
  Create();
  tree->Select(Node("Tahoma (Turkish)"));
  EXPECT_TRUE(Btn("btOnOff").Enabled());
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");

  DoubleClickTree(p.ui, *tree);
  EXPECT_TRUE(Record("Tahoma", 162).Enabled);
  EXPECT_EQ(State("Tahoma (Turkish)"), 2);
  EXPECT_EQ(State("Tahoma"), 3);
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(Btn("btRestore").Enabled());
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");

  tree->Select(Node("Tahoma (Central European) -> [Western]"));
  DoubleClickTree(p.ui, *tree);
  EXPECT_EQ(State("Tahoma"), 2);
  DoubleClickTree(p.ui, *tree);
  EXPECT_FALSE(Record("Tahoma", 238).Enabled);
  EXPECT_TRUE(Record("Tahoma", 238).WesternMapped);  // the Western mapping is another matter
  EXPECT_EQ(State("Tahoma"), 3);
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");
  EXPECT_EQ(State("Arial"), 3);  // the other face is untouched
}

TEST_F(Commands, DoubleClickOnAMixedFaceSwitchesAllOnThenAllOff) {
  Create();
  tree->Select(Node("Arial"));
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");

  DoubleClickTree(p.ui, *tree);
  EXPECT_TRUE(Modified());
  EXPECT_EQ(Snapshot(), (std::vector<std::string>{
                            "Arial|2", "Arial (Central European)|2|10", "Arial (Cyrillic)|2|10", "Arial (Greek)|2|10",
                            "Tahoma|1", "Tahoma (Central European) -> [Western]|1|01", "Tahoma (Turkish)|1|00"}));
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");

  DoubleClickTree(p.ui, *tree);
  EXPECT_EQ(State("Arial"), 1);
  for (int charset : {238, 204, 161}) EXPECT_FALSE(Record("Arial", charset).Enabled) << charset;
  EXPECT_EQ(State("Arial (Central European)"), 1);
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");
}

// A double click acts on the selection; the mouse press that came with it does not move it.
TEST_F(Commands, DoubleClickActsOnTheSelectionNotThePointer) {
  Create();
  tree->Select(Node("Arial (Greek)"));
  PressOnEmptySpace();
  DoubleClickTree(p.ui, *tree);
  EXPECT_TRUE(Record("Arial", 161).Enabled);

  PressAt("Tahoma (Turkish)");
  DoubleClickTree(p.ui, *tree);
  EXPECT_FALSE(Record("Arial", 161).Enabled);
  EXPECT_FALSE(Record("Tahoma", 162).Enabled);
}

TEST_F(Commands, NothingSelectedDoubleClickAndKeysChangeNothing) {
  Create();
  const auto before = Snapshot();
  DoubleClickTree(p.ui, *tree);
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(Btn("btRestore").Enabled());

  TypeInTree(p.ui, *tree, 'a');
  EXPECT_FALSE(Btn("btRestore").Enabled());

  // Enter enables the restore button even so, without marking anything.
  TypeInTree(p.ui, *tree, 13);
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(Btn("btRestore").Enabled());
  EXPECT_EQ(Snapshot(), before);
}

TEST_F(Commands, EnterTogglesLikeADoubleClickOtherKeysDoNot) {
  Create();
  tree->Select(Node("Tahoma"));
  TypeInTree(p.ui, *tree, ' ');
  EXPECT_FALSE(Modified());
  EXPECT_EQ(State("Tahoma"), 1);

  TypeInTree(p.ui, *tree, 13);
  EXPECT_TRUE(Modified());
  EXPECT_EQ(State("Tahoma"), 2);
  EXPECT_TRUE(Record("Tahoma", 162).Enabled && Record("Tahoma", 238).Enabled);
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");

  tree->Select(Node("Tahoma (Turkish)"));
  TypeInTree(p.ui, *tree, 13);
  EXPECT_FALSE(Record("Tahoma", 162).Enabled);
  EXPECT_EQ(State("Tahoma"), 3);
}

TEST_F(Commands, OnOffButtonTogglesTheSelectionAndFollowsIt) {
  Create();
  Click(p.ui, Btn("btOnOff"));  // disabled: nothing happens
  EXPECT_FALSE(Modified());

  tree->Select(Node("Arial"));
  Click(p.ui, Btn("btOnOff"));
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(Btn("btRestore").Enabled());
  EXPECT_EQ(State("Arial"), 2);
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");

  tree->Select(Node("Arial (Cyrillic)"));
  Click(p.ui, Btn("btOnOff"));
  EXPECT_FALSE(Record("Arial", 204).Enabled);
  EXPECT_EQ(State("Arial (Cyrillic)"), 1);
  EXPECT_EQ(State("Arial"), 3);
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");

  tree->Select(0);
  EXPECT_FALSE(Btn("btOnOff").Enabled());
}

// The rebuild of a restore ignores the selection changes it causes, and only those.
TEST_F(Commands, SelectionIsFollowedAgainAfterARestore) {
  Create();
  tree->Select(Node("Tahoma (Turkish)"));
  DoubleClickTree(p.ui, *tree);
  Click(p.ui, Btn("btRestore"));
  tree->Select(0);
  EXPECT_FALSE(Btn("btOnOff").Enabled());
  tree->Select(Node("Arial (Central European)"));
  EXPECT_TRUE(Btn("btOnOff").Enabled());
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");
}

// Context-menu commands act on the node where the mouse was pressed, whatever the selection.
TEST_F(Commands, OnOffItemActsOnTheNodeAtThePress) {
  Create();
  tree->Select(Node("Arial (Greek)"));
  PressAt("Tahoma (Turkish)");  // a left press does not select
  ClickItem(p.ui, Item("PopupMenu3", "muOnOff"));
  EXPECT_TRUE(Record("Tahoma", 162).Enabled);
  EXPECT_FALSE(Record("Arial", 161).Enabled);
  EXPECT_EQ(tree->Selected(), Node("Tahoma (Turkish)"));
  EXPECT_EQ(State("Tahoma"), 3);

  PressAt("Arial");
  ClickItem(p.ui, Item("PopupMenu3", "muOnOff"));
  EXPECT_EQ(State("Arial"), 2);
  EXPECT_EQ(tree->Selected(), Node("Tahoma (Turkish)"));  // a face is toggled where it stands
}

TEST_F(Commands, RightClickSelectsAndOpensTheTreeMenuThere) {
  Create();
  int x = 0, y = 0;
  PointOfNode(*tree, Node("Arial (Cyrillic)"), x, y);
  ContextMenuOfTree(p.ui, *tree, x, y);
  EXPECT_EQ(tree->Selected(), Node("Arial (Cyrillic)"));
  EXPECT_EQ(LastPopupAnchor(*p.ui.FindMenu("PopupMenu3")), "TVFonts@" + std::to_string(x) + "," + std::to_string(y));
  ClickItem(p.ui, Item("PopupMenu3", "muOnOff"));
  EXPECT_TRUE(Record("Arial", 204).Enabled);
}

TEST_F(Commands, OnOffItemOverEmptySpaceOnlyEnablesRestore) {
  Create();
  tree->Select(Node("Arial (Greek)"));
  const auto before = Snapshot();
  PressOnEmptySpace();
  ClickItem(p.ui, Item("PopupMenu3", "muOnOff"));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(Modified());
  EXPECT_TRUE(Btn("btRestore").Enabled());
}

TEST_F(Commands, WesternMarkMovesBetweenScriptsOfOneFace) {
  Create();
  tree->Select(Node("Tahoma (Turkish)"));
  Click(p.ui, Btn("btWesternMap"));
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(Record("Tahoma", 162).WesternMapped);
  EXPECT_FALSE(Record("Tahoma", 238).WesternMapped);
  EXPECT_EQ(Snapshot(), (std::vector<std::string>{
                            "Arial|3", "Arial (Central European)|2|10", "Arial (Cyrillic)|1|00", "Arial (Greek)|1|00",
                            "Tahoma|1", "Tahoma (Central European)|1|00", "Tahoma (Turkish) -> [Western]|1|01"}));

  // Choosing the mapped script again unmaps it and touches nothing else.
  Click(p.ui, Btn("btWesternMap"));
  EXPECT_FALSE(Record("Tahoma", 162).WesternMapped);
  EXPECT_EQ(tree->Text(Node("Tahoma (Turkish)")), "Tahoma (Turkish)");
  EXPECT_FALSE(Record("Tahoma", 238).WesternMapped);
}

// Siblings are kept in lstrcmpA order of their texts, and the mark changes a text: "Verdana
// (greek)" sorts before "Verdana (Greek)", but with the mark after it.
TEST_F(Commands, WesternMarkSortsTheFacesScriptsAgain) {
  AddFace("Verdana", {{0, "Western"}, {161, "greek"}, {162, "Greek"}});
  Create();
  auto scripts = [&] {
    std::vector<std::string> texts;
    for (NodeId n = tree->FirstChild(Node("Verdana")); n; n = tree->NextSibling(n)) texts.push_back(tree->Text(n));
    return texts;
  };
  ASSERT_EQ(scripts(), (std::vector<std::string>{"Verdana (greek)", "Verdana (Greek)"}));
  tree->Select(Node("Verdana (greek)"));
  Click(p.ui, Btn("btWesternMap"));
  EXPECT_EQ(scripts(), (std::vector<std::string>{"Verdana (Greek)", "Verdana (greek) -> [Western]"}));
  Click(p.ui, Btn("btWesternMap"));  // unmapped: back in front
  EXPECT_EQ(scripts(), (std::vector<std::string>{"Verdana (greek)", "Verdana (Greek)"}));
  EXPECT_EQ(tree->Selected(), Node("Verdana (greek)"));
}

// Marking a script clears the other mark of its face and leaves other faces' marks alone.
TEST_F(Commands, WesternMarkClearsEveryOtherMarkOfTheFaceOnly) {
  Create();
  tree->Select(Node("Arial (Cyrillic)"));
  Click(p.ui, Btn("btWesternMap"));
  tree->Select(Node("Arial (Central European)"));
  Click(p.ui, Btn("btWesternMap"));
  EXPECT_EQ(Snapshot(), (std::vector<std::string>{
                            "Arial|3", "Arial (Central European) -> [Western]|2|11", "Arial (Cyrillic)|1|00",
                            "Arial (Greek)|1|00", "Tahoma|1", "Tahoma (Central European) -> [Western]|1|01",
                            "Tahoma (Turkish)|1|00"}));
}

TEST_F(Commands, WesternCommandIgnoresFaceNodesAndEmptySelection) {
  Create();
  const auto before = Snapshot();
  Click(p.ui, Btn("btWesternMap"));
  tree->Select(Node("Tahoma"));
  Click(p.ui, Btn("btWesternMap"));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(Modified());

  // The menu item: a face under the press or no node there does nothing, the selection stays.
  PressAt("Arial");
  ClickItem(p.ui, Item("PopupMenu3", "muWestern"));
  PressOnEmptySpace();
  ClickItem(p.ui, Item("PopupMenu3", "muWestern"));
  EXPECT_EQ(Snapshot(), before);
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(Btn("btRestore").Enabled());
  EXPECT_EQ(tree->Selected(), Node("Tahoma"));
}

TEST_F(Commands, WesternItemSelectsTheScriptAtThePressAndMapsIt) {
  Create();
  tree->Select(Node("Tahoma (Turkish)"));
  PressAt("Arial (Greek)");
  ClickItem(p.ui, Item("PopupMenu3", "muWestern"));
  EXPECT_EQ(tree->Selected(), Node("Arial (Greek) -> [Western]"));
  EXPECT_TRUE(Record("Arial", 161).WesternMapped);
  EXPECT_TRUE(Record("Tahoma", 238).WesternMapped);  // another face keeps its mapping
  EXPECT_FALSE(Record("Tahoma", 162).WesternMapped);
  EXPECT_TRUE(Modified());
}

TEST_F(Commands, AllOnAndAllOffReachEveryRecord) {
  Create();
  tree->Select(Node("Tahoma"));
  ClickItem(p.ui, Item("PopupMenu3", "muAllOn1"));
  EXPECT_TRUE(Modified());
  EXPECT_TRUE(Btn("btRestore").Enabled());
  EXPECT_EQ(Snapshot(), (std::vector<std::string>{
                            "Arial|2", "Arial (Central European)|2|10", "Arial (Cyrillic)|2|10", "Arial (Greek)|2|10",
                            "Tahoma|2", "Tahoma (Central European) -> [Western]|2|11", "Tahoma (Turkish)|2|10"}));
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE4");

  ClickItem(p.ui, Item("PopupMenu2", "muAllD2"));
  EXPECT_EQ(Snapshot(), (std::vector<std::string>{
                            "Arial|1", "Arial (Central European)|1|00", "Arial (Cyrillic)|1|00", "Arial (Greek)|1|00",
                            "Tahoma|1", "Tahoma (Central European) -> [Western]|1|01", "Tahoma (Turkish)|1|00"}));
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");

  ClickItem(p.ui, Item("PopupMenu2", "muAllOn2"));
  ClickItem(p.ui, Item("PopupMenu3", "muAllD1"));
  EXPECT_EQ(State("Arial"), 1);
  EXPECT_EQ(State("Tahoma"), 1);
}

TEST_F(Commands, MaskedButtonOpensItsMenuUnderItself) {
  Create();
  Click(p.ui, Btn("btMaskedOnOff"));
  EXPECT_EQ(LastPopupAnchor(*p.ui.FindMenu("PopupMenu2")),
            "btMaskedOnOff@0," + std::to_string(Btn("btMaskedOnOff").Bounds().height));
  EXPECT_FALSE(Modified());
}

// Without any font the commands over all records find nothing to mark.
TEST_F(Commands, CommandsOverNoRecordsMarkNothing) {
  p.fonts.fonts.clear();
  Create();
  ClickItem(p.ui, Item("PopupMenu2", "muAllOn2"));
  EXPECT_FALSE(Modified());
  EXPECT_FALSE(Btn("btOnOff").Enabled());
}

TEST_F(Commands, ScriptMenusListScriptsByNameWithTheirNumber) {
  AddFace("Thai Face", {{222, ""}, {0, "Western"}});
  Create();
  const std::vector<std::pair<std::string, int>> expected = {
      {"Central European", 238}, {"Cyrillic", 204}, {"Greek", 161}, {"Script: 222", 222}, {"Turkish", 162}};
  // A restore rebuilds the tree but not the menus: their items are not added twice.
  TypeInTree(p.ui, *tree, 13);  // enables the restore
  Click(p.ui, Btn("btRestore"));
  for (MenuItem* parent : {&Item("PopupMenu3", "puSelOn1"), &Item("PopupMenu3", "puSelOff1"),
                           &Item("PopupMenu2", "puSelOn2"), &Item("PopupMenu2", "puSelOff2")}) {
    ASSERT_EQ(parent->Count(), static_cast<int>(expected.size())) << parent->Name();
    for (int i = 0; i < parent->Count(); ++i) {
      EXPECT_EQ(parent->Item(i).Caption(), expected[i].first) << parent->Name();
      EXPECT_EQ(parent->Item(i).Tag, expected[i].second) << parent->Name();
    }
  }
}

// Two character sets that share a script name act for the first one's number.
TEST_F(Commands, ScriptMenusOfOneNameUseTheFirstNumber) {
  AddFace("Odd", {{186, "Shared"}, {177, "Shared"}});
  Create();
  std::vector<int> tags;
  for (int i = 0; i < Item("PopupMenu3", "puSelOn1").Count(); ++i)
    if (Item("PopupMenu3", "puSelOn1").Item(i).Caption() == "Shared") tags.push_back(Item("PopupMenu3", "puSelOn1").Item(i).Tag);
  EXPECT_EQ(tags, (std::vector<int>{177, 177}));
}

TEST_F(Commands, ScriptItemsSwitchOnlyTheirCharset) {
  Create();
  tree->Select(Node("Arial (Central European)"));
  ClickItem(p.ui, SubItem(&Item("PopupMenu2", "puSelOn2"), "Central European"));
  EXPECT_TRUE(Modified());
  EXPECT_EQ(Snapshot(), (std::vector<std::string>{
                            "Arial|3", "Arial (Central European)|2|10", "Arial (Cyrillic)|1|00", "Arial (Greek)|1|00",
                            "Tahoma|3", "Tahoma (Central European) -> [Western]|2|11", "Tahoma (Turkish)|1|00"}));

  ClickItem(p.ui, SubItem(&Item("PopupMenu3", "puSelOff1"), "Central European"));
  EXPECT_FALSE(Record("Arial", 238).Enabled);
  EXPECT_FALSE(Record("Tahoma", 238).Enabled);
  EXPECT_EQ(State("Arial"), 1);
  EXPECT_EQ(Btn("btOnOff").Glyph(), "IMAGE5");  // follows the selected script, now off

  ClickItem(p.ui, SubItem(&Item("PopupMenu3", "puSelOn1"), "Turkish"));
  EXPECT_EQ(State("Tahoma"), 3);
  EXPECT_EQ(State("Arial"), 1);
  ClickItem(p.ui, SubItem(&Item("PopupMenu2", "puSelOff2"), "Turkish"));
  EXPECT_EQ(State("Tahoma"), 1);
}

}  // namespace
}  // namespace sorel::test
