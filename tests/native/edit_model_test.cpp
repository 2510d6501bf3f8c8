// The editing model on its own: the tree it builds, what each command reports for it, and the
// table it composes.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/edit_model.h"
#include "tests/fakes/memory_fonts.h"
#include "tests/support/font_tree_text.h"
#include "tests/support/store_platforms.h"

namespace sorel::test {
namespace {

const char* const kFontSubstitutes = "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\FontSubstitutes";

// Arial: 161, 204, 238 with 238 on; Tahoma: 162, 238 with its Western requests mapped onto 238.
class EditModelTest : public testing::Test {
 public:
  // The face or script whose text is exactly text; fails the test when there is none.
  ItemId Item(const std::string& text) {
    for (const FaceItem& face : edits->Faces()) {
      if (face.face == text) return face.id;
      for (const ScriptItem& script : face.scripts)
        if (script.text == text) return script.id;
    }
    ADD_FAILURE() << "no item " << text;
    return 0;
  }

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
    edits = std::make_unique<EditModel>(s.compare);
    edits->EnumerateFonts(fonts, true);
    edits->ReadTable(store);
    edits->BuildTree(fonts, true);
  }
  // The report as text: "item=check" and "item:text", items by their text before the command.
  std::vector<std::string> Describe(const TreeChanges& changes, const std::vector<std::pair<ItemId, std::string>>& names) {
    auto name = [&](ItemId item) {
      for (const auto& [n, text] : names)
        if (n == item) return text;
      return std::string("?");
    };
    std::vector<std::string> out;
    for (const auto& c : changes.checks) out.push_back(name(c.item) + "=" + CheckName(c.check));
    for (const auto& t : changes.texts) out.push_back(name(t.item) + ":" + t.text);
    if (changes.resortScriptsOf) out.push_back("sort " + name(changes.resortScriptsOf));
    std::sort(out.begin(), out.end());
    return out;
  }
  std::vector<std::pair<ItemId, std::string>> Names() {
    std::vector<std::pair<ItemId, std::string>> names;
    for (const FaceItem& face : edits->Faces()) {
      names.emplace_back(face.id, face.face);
      for (const ScriptItem& script : face.scripts) names.emplace_back(script.id, script.text);
    }
    return names;
  }

  Check CheckOf(ItemId item) {
    for (const FaceItem& face : edits->Faces()) {
      if (face.id == item) return face.check;
      for (const ScriptItem& script : face.scripts)
        if (script.id == item) return script.check;
    }
    ADD_FAILURE() << "no item " << item;
    return Check::None;
  }
  std::string TextOf(ItemId item) {
    for (const FaceItem& face : edits->Faces())
      for (const ScriptItem& script : face.scripts)
        if (script.id == item) return script.text;
    ADD_FAILURE() << "no script " << item;
    return "";
  }

  StorePlatforms s;
  TableStore store = s.Store(true);
  MemoryFonts fonts;
  std::unique_ptr<EditModel> edits;
};

TEST_F(EditModelTest, CommandsReportTheItemsTheyChange) {
  using Texts = std::vector<std::string>;
  struct Case {
    const char* what;
    std::function<TreeChanges(EditModel&, EditModelTest&)> command;
    Texts expected;
    bool modifies;
  } cases[] = {
      {"a script", [](EditModel& m, EditModelTest& t) { return m.Toggle(t.Item("Arial (Greek)")); },
       {"Arial (Greek)=on", "Arial=mixed"}, true},
      {"the last script off of a face", [](EditModel& m, EditModelTest& t) { return m.Toggle(t.Item("Arial (Central European)")); },
       {"Arial (Central European)=off", "Arial=off"}, true},
      {"a mixed face goes all on",
       [](EditModel& m, EditModelTest& t) { return m.Toggle(t.Item("Arial")); },
       {"Arial (Central European)=on", "Arial (Cyrillic)=on", "Arial (Greek)=on", "Arial=on"}, true},
      {"no item", [](EditModel& m, EditModelTest&) { return m.Toggle(0); }, {}, false},
      {"a Western mark moves",
       [](EditModel& m, EditModelTest& t) { return m.ToggleWestern(t.Item("Tahoma (Turkish)")); },
       {"Tahoma (Central European) -> [Western]:Tahoma (Central European)",
        "Tahoma (Turkish):Tahoma (Turkish) -> [Western]", "sort Tahoma"},
       true},
      {"Western on a face", [](EditModel& m, EditModelTest& t) { return m.ToggleWestern(t.Item("Tahoma")); }, {}, false},
      {"one script in every face", [](EditModel& m, EditModelTest&) { return m.SetScriptForAll(238, false); },
       {"Arial (Central European)=off", "Arial=off", "Tahoma (Central European) -> [Western]=off", "Tahoma=off"}, true},
      {"a script no face has", [](EditModel& m, EditModelTest&) { return m.SetScriptForAll(222, true); }, {}, false},
  };
  for (const Case& c : cases) {
    SetUp();  // a fresh model and tree for every case
    const auto names = Names();
    const TreeChanges changes = c.command(*edits, *this);
    EXPECT_EQ(Describe(changes, names), c.expected) << c.what;
    EXPECT_EQ(changes.changed, c.modifies) << c.what;
    EXPECT_EQ(edits->Modified(), c.modifies) << c.what;
    // The model's tree shows what it reported.
    for (const auto& check : changes.checks) EXPECT_EQ(CheckOf(check.item), check.check) << c.what;
    for (const auto& text : changes.texts) EXPECT_EQ(TextOf(text.item), text.text) << c.what;
  }
}

// Faces as the font names give them, each with its scripts in text order, boxes from the table.
TEST_F(EditModelTest, BuildsFacesWithTheirScriptsAndBoxes) {
  EXPECT_EQ(TreeLines(edits->Faces()), (std::vector<std::string>{"Arial [mixed]", "  Arial (Central European) [on]", "  Arial (Cyrillic) [off]",
                                             "  Arial (Greek) [off]", "Tahoma [off]",
                                             "  Tahoma (Central European) -> [Western] [off]", "  Tahoma (Turkish) [off]"}));
  // Every item has its own id, and each script's is its record's.
  std::set<ItemId> ids;
  for (const auto& [id, text] : Names()) {
    EXPECT_NE(id, 0u) << text;
    EXPECT_TRUE(ids.insert(id).second) << text;
  }
  for (const FaceItem& face : edits->Faces()) {
    EXPECT_EQ(edits->RecordOf(face.id), nullptr) << face.face;
    for (const ScriptItem& script : face.scripts) EXPECT_EQ(edits->RecordOf(script.id)->FaceName, face.face);
  }
}

// Without unsaved edits the records are not turned into entries; the fixed six still end the table.
TEST_F(EditModelTest, RecordsAreAppliedOnlyWhenModified) {
  edits->Toggle(Item("Arial (Central European)"));
  edits->Toggle(Item("Arial (Cyrillic)"));
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
  // A rebuild links the new items; the old ones lead nowhere.
  const ItemId old = Item("Arial (Greek)");
  edits->RebuildTree(fonts, true);
  EXPECT_EQ(edits->RecordOf(old), nullptr);
  EXPECT_EQ(edits->RecordOf(Item("Arial (Greek)"))->Charset, 161);
  EXPECT_EQ(edits->FontList().Count(), 5);
}

}  // namespace
}  // namespace sorel::test
