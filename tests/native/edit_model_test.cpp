// The editing model on its own: what each command reports for the tree, and the table it composes.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/edit_model.h"
#include "tests/support/form_fixture.h"
#include "tests/support/store_platforms.h"

namespace sorel::test {
namespace {

const char* const kFontSubstitutes = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

// Arial: 161, 204, 238 with 238 on; Tahoma: 162, 238 with its Western requests mapped onto 238.
class EditModelTest : public testing::Test {
 public:
  NodeId Node(const std::string& text) { return NodeByText(*tree, text); }

 protected:
  void SetUp() override {
    fonts.fonts.clear();
    for (const auto& [face, scripts] : std::vector<std::pair<std::string, std::vector<ReportedScript>>>{
             {"Arial", {{0, "Western"}, {238, "Central European"}, {204, "Cyrillic"}, {161, "Greek"}}},
             {"Tahoma", {{0, "Western"}, {238, "Central European"}, {162, "Turkish"}}}}) {
      fonts.fonts.push_back({face, false, 0});
      fonts.SetScripts(face, scripts);
    }
    s.registry.SetString(RegRoot::LocalMachine, kFontSubstitutes, "Arial ,238", "Arial,238");
    s.registry.SetString(RegRoot::LocalMachine, kFontSubstitutes, "Tahoma,0", "Tahoma,238");
    s.registry.SetString(RegRoot::LocalMachine, kFontSubstitutes, "Helv", "MS Sans Serif");
    tree.reset();
    form = ui.CreateForm("Form1", FormStyle::Dialog);
    tree = ui.CreateTreeView(*form, "TVFonts");
    edits = std::make_unique<EditModel>(s.compare);
    edits->EnumerateFonts(fonts, true);
    edits->ReadTable(store);
    edits->BuildTree(*tree, fonts, true);
  }
  // The report as text: "node=state" and "node:text", nodes by their text before the command.
  std::vector<std::string> Describe(const TreeChanges& changes, const std::vector<std::pair<NodeId, std::string>>& names) {
    auto name = [&](NodeId node) {
      for (const auto& [n, text] : names)
        if (n == node) return text;
      return std::string("?");
    };
    std::vector<std::string> out;
    for (const auto& st : changes.states) out.push_back(name(st.node) + "=" + std::to_string(st.index));
    for (const auto& t : changes.texts) out.push_back(name(t.node) + ":" + t.text);
    if (changes.sortChildrenOf) out.push_back("sort " + name(changes.sortChildrenOf));
    std::sort(out.begin(), out.end());
    return out;
  }
  std::vector<std::pair<NodeId, std::string>> Names() {
    std::vector<std::pair<NodeId, std::string>> names;
    for (NodeId face = tree->FirstChild(0); face; face = tree->NextSibling(face)) {
      names.emplace_back(face, tree->Text(face));
      for (NodeId n = tree->FirstChild(face); n; n = tree->NextSibling(n)) names.emplace_back(n, tree->Text(n));
    }
    return names;
  }

  StorePlatforms s;
  TableStore store = s.Store(true);
  MemoryFonts fonts;
  MemoryUi ui;
  std::unique_ptr<Form> form;
  std::unique_ptr<TreeView> tree;
  std::unique_ptr<EditModel> edits;
};

TEST_F(EditModelTest, CommandsReportTheNodesTheyChange) {
  using Texts = std::vector<std::string>;
  struct Case {
    const char* what;
    std::function<TreeChanges(EditModel&, EditModelTest&)> command;
    Texts expected;
    bool modifies;
  } cases[] = {
      {"a script", [](EditModel& m, EditModelTest& t) { return m.Toggle(t.Node("Arial (Greek)")); },
       {"Arial (Greek)=2", "Arial=3"}, true},
      {"the last script off of a face", [](EditModel& m, EditModelTest& t) { return m.Toggle(t.Node("Arial (Central European)")); },
       {"Arial (Central European)=1", "Arial=1"}, true},
      {"a mixed face goes all on",
       [](EditModel& m, EditModelTest& t) { return m.Toggle(t.Node("Arial")); },
       {"Arial (Central European)=2", "Arial (Cyrillic)=2", "Arial (Greek)=2", "Arial=2"}, true},
      {"no node", [](EditModel& m, EditModelTest&) { return m.Toggle(0); }, {}, false},
      {"a Western mark moves",
       [](EditModel& m, EditModelTest& t) { return m.ToggleWestern(t.Node("Tahoma (Turkish)")); },
       {"Tahoma (Central European) -> [Western]:Tahoma (Central European)",
        "Tahoma (Turkish):Tahoma (Turkish) -> [Western]", "sort Tahoma"},
       true},
      {"Western on a face", [](EditModel& m, EditModelTest& t) { return m.ToggleWestern(t.Node("Tahoma")); }, {}, false},
      {"one script in every face", [](EditModel& m, EditModelTest&) { return m.SetScriptForAll(238, false); },
       {"Arial (Central European)=1", "Arial=1", "Tahoma (Central European) -> [Western]=1", "Tahoma=1"}, true},
      {"a script no face has", [](EditModel& m, EditModelTest&) { return m.SetScriptForAll(222, true); }, {}, false},
  };
  for (const Case& c : cases) {
    SetUp();  // a fresh model and tree for every case
    const auto names = Names();
    const TreeChanges changes = c.command(*edits, *this);
    EXPECT_EQ(Describe(changes, names), c.expected) << c.what;
    EXPECT_EQ(changes.changed, c.modifies) << c.what;
    EXPECT_EQ(edits->Modified(), c.modifies) << c.what;
  }
}

// Without unsaved edits the records are not turned into entries; the fixed six still end the table.
TEST_F(EditModelTest, RecordsAreAppliedOnlyWhenModified) {
  edits->Toggle(Node("Arial (Central European)"));
  edits->Toggle(Node("Arial (Cyrillic)"));
  edits->ClearModified();
  SubstTable expected = {"Arial ,238=Arial,238", "Tahoma,0=Tahoma,238", "Helv=MS Sans Serif"};
  for (const auto& entry : EditModel::FixedEntries("238")) expected.push_back(entry);
  EXPECT_EQ(edits->ComposeTable(""), expected);

  edits->MarkModified();
  expected.erase(expected.begin());
  expected.insert(expected.begin() + 2, "Arial ,204=Arial,204");
  EXPECT_EQ(edits->ComposeTable("238"), expected);
}

// A restore that cannot read keeps the table the records came from; one that can replaces it.
TEST_F(EditModelTest, RereadReplacesTheTableOrKeepsItWhole) {
  const SubstTable before = edits->Table();
  s.registry.FailOnlyOperation(1);
  EXPECT_ANY_THROW(edits->RereadTable(store));
  EXPECT_EQ(edits->Table(), before);
  s.registry.Open(RegRoot::LocalMachine, kFontSubstitutes, true)->DeleteValue("Helv");
  edits->RereadTable(store);
  EXPECT_EQ(edits->Table(), (SubstTable{"Arial ,238=Arial,238", "Tahoma,0=Tahoma,238"}));
  // A rebuild links the new nodes; the old ones lead nowhere.
  const NodeId old = Node("Arial (Greek)");
  edits->RebuildTree(*tree, fonts, true);
  EXPECT_EQ(edits->RecordOf(old), nullptr);
  EXPECT_EQ(edits->RecordOf(Node("Arial (Greek)"))->Charset, 161);
  EXPECT_EQ(edits->FontList().Count(), 5);
}

}  // namespace
}  // namespace sorel::test
