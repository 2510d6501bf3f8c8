// The font tree on the tree control: nodes for the model's items, and its reports applied to them.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "app/font_tree_view.h"
#include "engine/edit_model.h"
#include "tests/fakes/memory_controls.h"
#include "tests/fakes/memory_fonts.h"
#include "tests/support/font_tree_text.h"
#include "tests/support/store_platforms.h"

namespace sorel::test {
namespace {

using Texts = std::vector<std::string>;

// A tree that passes everything to an in-memory tree and notes what it was asked.
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
  void SetText(NodeId node, const std::string& text) override {
    NoteChange();
    inner_.SetText(node, text);
  }
  std::string Text(NodeId node) override { return inner_.Text(node); }
  void SetStateIndex(NodeId node, int index) override {
    NoteChange();
    inner_.SetStateIndex(node, index);
  }
  int StateIndex(NodeId node) override { return inner_.StateIndex(node); }
  NodeId Parent(NodeId node) override { return inner_.Parent(node); }
  NodeId FirstChild(NodeId node) override { return inner_.FirstChild(node); }
  NodeId NextSibling(NodeId node) override { return inner_.NextSibling(node); }
  void SortChildren(NodeId node) override {
    NoteChange();
    sorted.push_back(node);
    inner_.SortChildren(node);
  }
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
  std::vector<NodeId> sorted;

 private:
  void NoteChange() {
    if (updating == 0) ++changesOutsideBatch;
  }
  TreeView& inner_;
};

// A view over a recording in-memory tree that sorts as the model does.
struct ViewFixture {
  explicit ViewFixture(TextCompare& compare) : compare(compare) {}
  // The tree as lines "text [state index]", script nodes indented.
  Texts Dump() {
    Texts lines;
    for (NodeId face = tree.FirstChild(0); face; face = tree.NextSibling(face)) {
      lines.push_back(tree.Text(face) + " [" + std::to_string(tree.StateIndex(face)) + "]");
      for (NodeId script = tree.FirstChild(face); script; script = tree.NextSibling(script))
        lines.push_back("  " + tree.Text(script) + " [" + std::to_string(tree.StateIndex(script)) + "]");
    }
    return lines;
  }
  // The model's faces as Dump writes the tree.
  static Texts Lines(const std::vector<FaceItem>& faces) {
    Texts lines;
    for (const FaceItem& face : faces) {
      lines.push_back(face.face + " [" + std::to_string(FontTreeView::StateIndex(face.check)) + "]");
      for (const ScriptItem& script : face.scripts)
        lines.push_back("  " + script.text + " [" + std::to_string(FontTreeView::StateIndex(script.check)) + "]");
    }
    return lines;
  }

  // The tree sorts with the comparison the model sorts with.
  std::unique_ptr<TreeView> MakeTree() {
    ui.treeCompare = &compare;
    return ui.CreateTreeView(*form, "TVFonts");
  }

  TextCompare& compare;
  MemoryUi ui;
  std::unique_ptr<Form> form = ui.CreateForm("TForm1", FormStyle::Dialog);
  std::unique_ptr<TreeView> memoryTree = MakeTree();
  RecordingTree tree{*memoryTree};
  FontTreeView view{tree};
};

const std::vector<FaceItem> kFaces = {
    {7, "Zapf", Check::Mixed, {{8, "Zapf (Baltic)", Check::On}, {9, "Zapf (Greek) -> [Western]", Check::Off}}},
    {3, "Arial", Check::Off, {{4, "Arial (Central European)", Check::Off}}},
    {5, "Lone", Check::None, {}},
};

TEST(FontTreeView, BoxesAreTheControlsStateImages) {
  const struct {
    Check check;
    int index;
  } cases[] = {{Check::None, 0}, {Check::Off, 1}, {Check::On, 2}, {Check::Mixed, 3}};
  for (const auto& c : cases) EXPECT_EQ(FontTreeView::StateIndex(c.check), c.index) << CheckName(c.check);
}

// Faces and scripts in the value's order, not sorted again; each item's node and back.
TEST(FontTreeView, ShowsEveryFaceWithItsScriptsAsTheValueOrdersThem) {
  MemoryTextCompare compare;
  ViewFixture f(compare);
  f.view.Show(kFaces);
  EXPECT_EQ(f.Dump(), (Texts{"Zapf [3]", "  Zapf (Baltic) [2]", "  Zapf (Greek) -> [Western] [1]", "Arial [1]",
                             "  Arial (Central European) [1]", "Lone [0]"}));
  std::set<NodeId> nodes;
  for (ItemId item : {7u, 8u, 9u, 3u, 4u, 5u}) {
    const NodeId node = f.view.NodeOf(item);
    EXPECT_NE(node, 0u) << item;
    EXPECT_EQ(f.view.ItemOf(node), item);
    EXPECT_TRUE(nodes.insert(node).second) << "one node per item";
  }
  EXPECT_EQ(f.tree.Parent(f.view.NodeOf(9)), f.view.NodeOf(7));
  EXPECT_EQ(f.view.NodeOf(0), 0u);
  EXPECT_EQ(f.view.NodeOf(6), 0u);
  EXPECT_EQ(f.view.ItemOf(0), 0u);
  EXPECT_TRUE(f.tree.sorted.empty());
}

TEST(FontTreeView, ShowsInOneBatchWithEveryFaceExpanded) {
  MemoryTextCompare compare;
  ViewFixture f(compare);
  f.view.Show(kFaces);
  EXPECT_EQ(f.tree.batches, 1);
  EXPECT_EQ(f.tree.updating, 0);
  EXPECT_EQ(f.tree.changesOutsideBatch, 0);
  EXPECT_EQ(f.tree.clears, 1);
  for (NodeId face = f.tree.FirstChild(0); face; face = f.tree.NextSibling(face))
    EXPECT_TRUE(f.tree.expanded.count(face)) << f.tree.Text(face);
}

TEST(FontTreeView, ShowingAgainLeavesTheOldNodesNowhere) {
  MemoryTextCompare compare;
  ViewFixture f(compare);
  f.view.Show(kFaces);
  const NodeId old = f.view.NodeOf(8);
  f.view.Show({{10, "Arial", Check::On, {{11, "Arial (Greek)", Check::On}}}});
  EXPECT_EQ(f.Dump(), (Texts{"Arial [2]", "  Arial (Greek) [2]"}));
  EXPECT_EQ(f.view.ItemOf(old), 0u);
  EXPECT_EQ(f.view.NodeOf(8), 0u);
  EXPECT_EQ(f.view.ItemOf(f.view.NodeOf(11)), 11u);
}

// An item the tree does not show changes nothing; above all, no re-sort of the faces themselves.
TEST(FontTreeView, ChangesOfItemsWithoutNodesArePassedOver) {
  MemoryTextCompare compare;
  ViewFixture f(compare);
  f.view.Show(kFaces);
  const Texts before = f.Dump();
  TreeChanges changes;
  changes.checks = {{42, Check::On}};
  changes.texts = {{43, "Gone"}};
  changes.resortScriptsOf = 44;
  f.view.Apply(changes);
  EXPECT_EQ(f.Dump(), before);
  EXPECT_TRUE(f.tree.sorted.empty());
}

// Arial: 161, 204, 238 with 238 on; Tahoma: 162, 238 with its Western requests on 238; X: two
// scripts whose order turns when the Western mark moves between them.
class FontTreeViewOfModel : public testing::Test {
 public:  // the steps' table reaches the model and the items
  void SetUp() override {
    for (const auto& [face, scripts] : std::vector<std::pair<std::string, std::vector<ReportedScript>>>{
             {"Arial", {{0, "Western"}, {238, "Central European"}, {204, "Cyrillic"}, {161, "Greek"}}},
             {"Tahoma", {{0, "Western"}, {238, "Central European"}, {162, "Turkish"}}},
             {"X", {{0, "Western"}, {161, "A"}, {162, "A) !"}}}}) {
      fonts.fonts.push_back({face, false, 0});
      fonts.SetScripts(face, scripts);
    }
    const char* key = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";
    s.registry.SetString(RegRoot::LocalMachine, key, "Arial ,238", "Arial,238");
    s.registry.SetString(RegRoot::LocalMachine, key, "Tahoma,0", "Tahoma,238");
    edits.EnumerateFonts(fonts, true);
    edits.ReadTable(store);
    edits.BuildTree(fonts, true);
    f.view.Show(edits.Faces());
  }
  ItemId Item(const std::string& text) { return f.view.ItemOf(NodeByText(text)); }
  NodeId NodeByText(const std::string& text) {
    for (NodeId face = f.tree.FirstChild(0); face; face = f.tree.NextSibling(face)) {
      if (f.tree.Text(face) == text) return face;
      for (NodeId script = f.tree.FirstChild(face); script; script = f.tree.NextSibling(script))
        if (f.tree.Text(script) == text) return script;
    }
    ADD_FAILURE() << "no node " << text;
    return 0;
  }

  StorePlatforms s;
  TableStore store = s.Store(true);
  MemoryFonts fonts;
  EditModel edits{s.compare};
  ViewFixture f{s.compare};
};

// After every command the tree shows what the model's value shows: texts, boxes and order.
TEST_F(FontTreeViewOfModel, AppliedReportsKeepTheTreeAsTheModelShowsIt) {
  using Step = std::function<TreeChanges(FontTreeViewOfModel&)>;
  const struct {
    const char* what;
    Step command;
    Texts scriptsOfX;  // the last face's scripts afterwards
  } steps[] = {
      {"a script on", [](FontTreeViewOfModel& t) { return t.edits.Toggle(t.Item("Arial (Greek)")); },
       {"X (A)", "X (A) !)"}},
      {"a mixed face all on", [](FontTreeViewOfModel& t) { return t.edits.Toggle(t.Item("Arial")); },
       {"X (A)", "X (A) !)"}},
      {"the Western mark moves",
       [](FontTreeViewOfModel& t) { return t.edits.ToggleWestern(t.Item("Tahoma (Turkish)")); }, {"X (A)", "X (A) !)"}},
      {"a mark that reorders", [](FontTreeViewOfModel& t) { return t.edits.ToggleWestern(t.Item("X (A)")); },
       {"X (A) !)", "X (A) -> [Western]"}},
      {"and back", [](FontTreeViewOfModel& t) { return t.edits.ToggleWestern(t.Item("X (A) -> [Western]")); },
       {"X (A)", "X (A) !)"}},
      {"one script everywhere", [](FontTreeViewOfModel& t) { return t.edits.SetScriptForAll(238, false); },
       {"X (A)", "X (A) !)"}},
      {"everything on", [](FontTreeViewOfModel& t) { return t.edits.SetAllScripts(true); }, {"X (A)", "X (A) !)"}},
  };
  for (const auto& step : steps) {
    const int batches = f.tree.batches;
    f.view.Apply(step.command(*this));
    EXPECT_EQ(f.Dump(), ViewFixture::Lines(edits.Faces())) << step.what;
    EXPECT_EQ(f.tree.batches, batches + 1) << step.what;
    EXPECT_EQ(f.tree.changesOutsideBatch, 0) << step.what;
    Texts scriptsOfX;
    for (const ScriptItem& script : edits.Faces().back().scripts) scriptsOfX.push_back(script.text);
    EXPECT_EQ(scriptsOfX, step.scriptsOfX) << step.what;
  }
}

}  // namespace
}  // namespace sorel::test
