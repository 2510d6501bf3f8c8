// Unit tests of the font tree: script nodes and records, their state from the table, pruning and order.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/font_inventory.h"
#include "engine/font_tree.h"
#include "engine/subst_table.h"
#include "platform/errors.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_controls.h"
#include "tests/fakes/memory_fonts.h"

namespace sorel {
namespace {

using Texts = std::vector<std::string>;

// A tree that passes everything to an in-memory tree and notes what the build asked of it.
class RecordingTree : public TreeView {
 public:
  explicit RecordingTree(TreeView& inner) : TreeView("TVFonts"), inner_(inner) {}
  void SetBounds(const Rect& r) override { inner_.SetBounds(r); }
  Rect Bounds() override { return inner_.Bounds(); }
  Rect ScreenRect() override { return inner_.ScreenRect(); }
  void SetParent(Container& parent) override { inner_.SetParent(parent); }
  void SetVisible(bool visible) override { inner_.SetVisible(visible); }
  bool Visible() override { return inner_.Visible(); }
  void SetEnabled(bool enabled) override { inner_.SetEnabled(enabled); }
  bool Enabled() override { return inner_.Enabled(); }
  NodeId AddChild(NodeId parent, const std::string& text) override {
    NoteChange();
    return inner_.AddChild(parent, text);
  }
  void Delete(NodeId node) override {
    NoteChange();
    inner_.Delete(node);
  }
  void Clear() override {
    NoteChange();
    ++clears;
    inner_.Clear();
  }
  void SetText(NodeId node, const std::string& text) override { inner_.SetText(node, text); }
  std::string Text(NodeId node) override { return inner_.Text(node); }
  void SetStateIndex(NodeId node, int index) override { inner_.SetStateIndex(node, index); }
  int StateIndex(NodeId node) override { return inner_.StateIndex(node); }
  NodeId Parent(NodeId node) override { return inner_.Parent(node); }
  NodeId FirstChild(NodeId node) override { return inner_.FirstChild(node); }
  NodeId NextSibling(NodeId node) override { return inner_.NextSibling(node); }
  void SortChildren(NodeId node) override { inner_.SortChildren(node); }
  void Expand(NodeId node) override {
    expanded.insert(node);
    inner_.Expand(node);
  }
  NodeId Selected() override { return inner_.Selected(); }
  void Select(NodeId node) override { inner_.Select(node); }
  void BeginUpdate() override {
    ++updating;
    ++batches;
    inner_.BeginUpdate();
  }
  void EndUpdate() override {
    --updating;
    inner_.EndUpdate();
  }
  void SetStateImages(const std::string& resource) override { inner_.SetStateImages(resource); }
  NodeId NodeAt(int x, int y) override { return inner_.NodeAt(x, y); }

  int updating = 0, batches = 0, clears = 0, changesOutsideBatch = 0;
  std::set<NodeId> expanded;

 private:
  void NoteChange() {
    if (updating == 0) ++changesOutsideBatch;
  }
  TreeView& inner_;
};

// The main window's font state on in-memory platforms, with the suffixes of the language file.
struct FontTreeFixture {
  FontTreeFixture() { suffixes.lines = {"238=CE", "204=CYR", "161=Greek", "162=TUR", "186=Baltic"}; }

  void AddFace(const std::string& face, const std::vector<ReportedScript>& scripts) {
    fonts.fonts.push_back({face, false, 0});
    fonts.SetScripts(face, scripts);
  }
  FontTreeContext Context() {
    return {tree, fonts, compare, handleAllocated, FontNames, FaceScripts, ScriptNames, FontList, table, suffixes};
  }
  // The start-up steps: inventory, then the tree.
  void Build() {
    EnumerateFonts(fonts, handleAllocated, FontNames);
    Rebuild();
  }
  // A restore: records cleared, tree rebuilt from the same inventory.
  void Rebuild() {
    FontList.Clear();
    FontTreeContext context = Context();
    BuildFontTree(context);
  }

  // The tree as lines "text [state]", script nodes indented.
  Texts Dump() {
    Texts lines;
    for (NodeId font = tree.FirstChild(0); font; font = tree.NextSibling(font)) {
      lines.push_back(tree.Text(font) + " [" + std::to_string(tree.StateIndex(font)) + "]");
      for (NodeId script = tree.FirstChild(font); script; script = tree.NextSibling(script)) {
        lines.push_back("  " + tree.Text(script) + " [" + std::to_string(tree.StateIndex(script)) + "]");
      }
    }
    return lines;
  }
  // The record whose script node is node; nullptr when none.
  const TFontStruct* RecordOfNode(NodeId node) {
    for (int i = 0; i < FontList.Count(); ++i)
      if (FontList.Item(i)->NodeItemId == node) return FontList.Item(i);
    return nullptr;
  }
  std::vector<NodeId> ScriptNodes() {
    std::vector<NodeId> nodes;
    for (NodeId font = tree.FirstChild(0); font; font = tree.NextSibling(font)) {
      for (NodeId script = tree.FirstChild(font); script; script = tree.NextSibling(script)) nodes.push_back(script);
    }
    return nodes;
  }

  // The tree sorts with the comparison it was made with.
  std::unique_ptr<TreeView> MakeTree() {
    ui.treeCompare = &compare;
    return ui.CreateTreeView(*form, "TVFonts");
  }

  MemoryTextCompare compare;
  MemoryFonts fonts;
  MemoryUi ui;
  std::unique_ptr<Form> form = ui.CreateForm("TForm1", FormStyle::Dialog);
  std::unique_ptr<TreeView> memoryTree = MakeTree();
  RecordingTree tree{*memoryTree};
  bool handleAllocated = true;
  SortedTextList FontNames{compare}, FaceScripts{compare}, ScriptNames{compare};
  TFontList FontList;
  SubstTable table;
  KeyValueList suffixes;
};

const std::vector<ReportedScript> kArialScripts = {{0, "Western"}, {161, "Greek"}, {238, "Central European"}};

TEST(FontEntries, TextsOfTheEntriesAndNodes) {
  const struct {
    std::string text, expected;
  } cases[] = {
      {ScriptEntry("Arial", "CE", 238), "Arial CE,238=Arial,238"},
      {ScriptEntry("Courier New", "CYR", 204), "Courier New CYR,204=Courier New,204"},
      {ScriptEntry("Arial", "", 222), "Arial ,222=Arial,222"},  // no suffix: the blank stays
      {WesternEntry("Arial", 238), "Arial,0=Arial,238"},
      {ScriptNodeText("Arial", "Greek", 161, false), "Arial (Greek)"},
      {ScriptNodeText("Arial", "Greek", 161, true), "Arial (Greek) -> [Western]"},
      {ScriptNodeText("Tahoma", "", 222, false), "Tahoma (Script: 222)"},
      {ScriptNodeText("Tahoma", "", 222, true), "Tahoma (Script: 222) -> [Western]"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

// Whether a script shows as enabled is the whole-entry comparison of the table: letter case
// and the locale's equivalences ignored, everything else counts.
TEST(BuildFontTree, ScriptStateFollowsTheTableEntries) {
  const struct {
    const char* what;
    std::string face;
    std::vector<ReportedScript> scripts;
    SubstTable table;
    Texts tree;
  } cases[] = {
      {"no entry", "Arial", kArialScripts, {"Arial,0=Times New Roman"},
       {"Arial [1]", "  Arial (Central European) [1]", "  Arial (Greek) [1]"}},
      {"both entries", "Arial", kArialScripts, {"Arial Greek,161=Arial,161", "Arial CE,238=Arial,238"},
       {"Arial [2]", "  Arial (Central European) [2]", "  Arial (Greek) [2]"}},
      {"one of two", "Arial", kArialScripts, {"Arial CE,238=Arial,238"},
       {"Arial [3]", "  Arial (Central European) [2]", "  Arial (Greek) [1]"}},
      {"an entry in other letter case", "Arial", kArialScripts, {"ARIAL ce,238=arial,238", "arial greek,161=ARIAL,161"},
       {"Arial [2]", "  Arial (Central European) [2]", "  Arial (Greek) [2]"}},
      {"accented letters in other case", "\xC9l\xE9gant", {{238, "Central European"}},
       {"\xE9L\xC9GANT ce,238=\xC9l\xE9gant,238"}, {"\xC9l\xE9gant [2]", "  \xC9l\xE9gant (Central European) [2]"}},
      {"a ligature written as its letters", "\xC6sop", {{238, "Central European"}}, {"AEsop CE,238=aesop,238"},
       {"\xC6sop [2]", "  \xC6sop (Central European) [2]"}},
      {"a soft hyphen counts for nothing", "Arial", {{238, "Central European"}}, {"Ar\xADial CE,238=Arial,238"},
       {"Arial [2]", "  Arial (Central European) [2]"}},
      {"a hyphen is not a blank", "Arial", {{238, "Central European"}}, {"Arial-CE,238=Arial,238"},
       {"Arial [1]", "  Arial (Central European) [1]"}},
      {"same name, other character set in the value", "Arial", {{238, "Central European"}},
       {"Arial CE,238=Arial,0"}, {"Arial [1]", "  Arial (Central European) [1]"}},
      {"same name, other face in the value", "Arial", {{238, "Central European"}},
       {"Arial CE,238=Times New Roman,238"}, {"Arial [1]", "  Arial (Central European) [1]"}},
      {"a blank more", "Arial", {{238, "Central European"}}, {"Arial CE,238=Arial,238 "},
       {"Arial [1]", "  Arial (Central European) [1]"}},
      {"only the name", "Arial", {{238, "Central European"}}, {"Arial CE,238"},
       {"Arial [1]", "  Arial (Central European) [1]"}},
      {"no suffix for the character set: the entry keeps its blank", "Arial", {{222, "Thai"}},
       {"Arial,222=Arial,222", "Arial ,222=Arial,222"}, {"Arial [2]", "  Arial (Thai) [2]"}},
  };
  for (const auto& c : cases) {
    FontTreeFixture f;
    f.AddFace(c.face, c.scripts);
    f.table = c.table;
    f.Build();
    EXPECT_EQ(f.Dump(), c.tree) << c.what;
    for (NodeId node : f.ScriptNodes()) {
      const TFontStruct* record = f.RecordOfNode(node);
      ASSERT_NE(record, nullptr) << c.what;
      EXPECT_EQ(f.tree.StateIndex(node), record->Enabled + 1) << c.what;
    }
  }
}

TEST(BuildFontTree, WesternEntriesMarkTheirScripts) {
  FontTreeFixture f;
  f.AddFace("Arial", {{0, "Western"}, {161, "Greek"}, {204, "Cyrillic"}, {238, "Central European"}});
  f.AddFace("Tahoma", {{0, "Western"}, {238, "Central European"}});
  f.table = {"arial,0=ARIAL,238", "Arial,0=Arial,161", "Arial,0=Arial", "Tahoma,0=Arial,238", "Arial CE,238=Arial,238"};
  f.Build();
  EXPECT_EQ(f.Dump(), (Texts{
                          "Arial [3]",
                          "  Arial (Central European) -> [Western] [2]",
                          "  Arial (Cyrillic) [1]",
                          "  Arial (Greek) -> [Western] [1]",
                          "Tahoma [1]",
                          "  Tahoma (Central European) [1]",
                      }));
  ASSERT_EQ(f.FontList.Count(), 4);
  const struct {
    int charset;
    bool western;
  } expected[] = {{161, true}, {204, false}, {238, true}, {238, false}};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(f.FontList.Item(i)->Charset, expected[i].charset) << i;
    EXPECT_EQ(f.FontList.Item(i)->WesternMapped, expected[i].western) << i;
  }
}

TEST(BuildFontTree, ACharacterSetWithoutScriptNameIsNamedByItsNumber) {
  FontTreeFixture f;
  f.AddFace("Tahoma", {{0, "Western"}, {222, ""}, {238, "Central European"}});
  f.table = {"Tahoma ,222=Tahoma,222", "Tahoma,0=Tahoma,222"};
  f.Build();
  EXPECT_EQ(f.Dump(), (Texts{"Tahoma [3]", "  Tahoma (Central European) [1]",
                             "  Tahoma (Script: 222) -> [Western] [2]"}));
  EXPECT_EQ(f.ScriptNames.Items(), (Texts{"222=Script: 222", "238=Central European"}));
}

// Records follow FaceScripts (the order the save appends entries in); nodes are sorted by text.
TEST(BuildFontTree, EveryScriptNodeHasItsOwnRecord) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.AddFace("Courier New", {{204, "Cyrillic"}, {0, "Western"}});
  f.Build();
  std::vector<NodeId> nodes = f.ScriptNodes();
  ASSERT_EQ(f.FontList.Count(), 3);
  ASSERT_EQ(nodes.size(), 3u);
  const struct {
    const char* face;
    int charset;
  } records[] = {{"Arial", 161}, {"Arial", 238}, {"Courier New", 204}};
  for (int i = 0; i < 3; ++i) {
    TFontStruct* record = f.FontList.Item(i);
    EXPECT_EQ(record->FaceName, records[i].face);
    EXPECT_EQ(record->Charset, records[i].charset);
    EXPECT_EQ(f.RecordOfNode(record->NodeItemId), record);  // one record per node
    EXPECT_EQ(f.tree.Text(f.tree.Parent(record->NodeItemId)), records[i].face);
  }
  // The Greek record came first, but its node sorts after the Central European one.
  EXPECT_EQ(nodes[0], f.FontList.Item(1)->NodeItemId);
  EXPECT_EQ(nodes[1], f.FontList.Item(0)->NodeItemId);
  for (NodeId font = f.tree.FirstChild(0); font; font = f.tree.NextSibling(font)) {
    EXPECT_EQ(f.RecordOfNode(font), nullptr);
  }
}

TEST(BuildFontTree, FacesWithoutScriptsLeaveTheTree) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.AddFace("Western Only", {{0, "Western"}, {0, "Western"}});
  f.AddFace("Unknown To The System", {});
  f.AddFace("Zapf", {{0, "Western"}, {186, "Baltic"}});
  f.AddFace("Another Western", {{0, "Western"}});
  f.Build();
  EXPECT_EQ(f.FontNames.Count(), 5);
  EXPECT_EQ(f.Dump(), (Texts{"Arial [1]", "  Arial (Central European) [1]", "  Arial (Greek) [1]", "Zapf [1]",
                             "  Zapf (Baltic) [1]"}));
  EXPECT_EQ(f.FontList.Count(), 3);
  // One device context per classified face, each released.
  EXPECT_EQ(f.fonts.screenDCsGot, 1 + 5);
  EXPECT_EQ(f.fonts.screenDCsReleased, f.fonts.screenDCsGot);
}

// lstrcmpA: locale order, accents after letters, lower case before upper case.
TEST(BuildFontTree, ScriptNodesSortAsTheSystemSortsText) {
  FontTreeFixture f;
  f.AddFace("X", {{161, "greek"}, {162, "Greek"}, {163, "\xC9" "a"}, {164, "baltic"}, {165, "Central European"},
                  {166, "F"}, {167, "E"}, {168, "ea"}});
  f.Build();
  EXPECT_EQ(f.Dump(), (Texts{"X [1]", "  X (baltic) [1]", "  X (Central European) [1]", "  X (E) [1]",
                             "  X (ea) [1]", "  X (\xC9" "a) [1]", "  X (F) [1]", "  X (greek) [1]",
                             "  X (Greek) [1]"}));
}

TEST(BuildFontTree, TwoNamesForOneCharacterSetTakeTheFirst) {
  FontTreeFixture f;
  f.AddFace("Arial", {{238, "Eastern European"}, {238, "Central European"}});
  f.Build();
  EXPECT_EQ(f.Dump(), (Texts{"Arial [1]", "  Arial (Central European) [1]", "  Arial (Central European) [1]"}));
  EXPECT_EQ(f.FontList.Count(), 2);
  EXPECT_EQ(f.ScriptNames.Items(), (Texts{"238=Central European", "238=Eastern European"}));
}

TEST(BuildFontTree, WithoutTheWindowTheTreeStaysEmpty) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.handleAllocated = false;
  f.Build();
  EXPECT_TRUE(f.Dump().empty());
  EXPECT_EQ(f.FontList.Count(), 0);
  EXPECT_EQ(f.fonts.screenDCsGot, 0);
  EXPECT_EQ(f.ScriptNames.Count(), 0);

  // The faces listed earlier get no scripts either: their nodes have state 0 and are dropped.
  f.FontNames.Add("Arial");
  FontTreeContext context = f.Context();
  const IgnoreCaseIndex table(f.compare, f.table);
  NodeId node = f.tree.AddChild(0, "Arial");
  EXPECT_EQ(ClassifyFont(context, table, "Arial", node), -1);
  EXPECT_EQ(f.tree.FirstChild(node), 0u);
  f.Rebuild();
  EXPECT_TRUE(f.Dump().empty());
  EXPECT_EQ(f.fonts.screenDCsGot, 0);
}

TEST(BuildFontTree, BuildsInOneBatchWithEveryFaceExpanded) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.AddFace("Tahoma", {{0, "Western"}, {238, "Central European"}});
  f.Build();
  EXPECT_EQ(f.tree.batches, 1);
  EXPECT_EQ(f.tree.updating, 0);
  EXPECT_EQ(f.tree.changesOutsideBatch, 0);
  EXPECT_EQ(f.tree.clears, 1);
  for (NodeId font = f.tree.FirstChild(0); font; font = f.tree.NextSibling(font)) {
    EXPECT_TRUE(f.tree.expanded.count(font)) << f.tree.Text(font);
  }
}

TEST(BuildFontTree, ARebuildReplacesTheTreeAndKeepsTheScriptNames) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.Build();
  f.fonts.SetScripts("Arial", {{0, "Western"}, {204, "Cyrillic"}});
  f.table = {"Arial CYR,204=Arial,204"};
  f.Rebuild();
  EXPECT_EQ(f.Dump(), (Texts{"Arial [2]", "  Arial (Cyrillic) [2]"}));
  EXPECT_EQ(f.FontList.Count(), 1);
  EXPECT_EQ(f.ScriptNames.Items(), (Texts{"161=Greek", "204=Cyrillic", "238=Central European"}));
}

TEST(BuildFontTree, AFailingEnumerationEndsTheBatchAndReleasesTheDC) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  EnumerateFonts(f.fonts, true, f.FontNames);
  f.fonts.reportLimit = 1;
  f.fonts.throwAtLimit = true;
  FontTreeContext context = f.Context();
  EXPECT_THROW(BuildFontTree(context), PlatformError);
  EXPECT_EQ(f.tree.updating, 0);
  EXPECT_EQ(f.fonts.screenDCsReleased, f.fonts.screenDCsGot);
}

}  // namespace
}  // namespace sorel
