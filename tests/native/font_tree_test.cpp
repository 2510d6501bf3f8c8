// Unit tests of the font tree: faces, scripts and records, their boxes from the table, pruning and order.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "engine/font_inventory.h"
#include "engine/font_tree.h"
#include "engine/subst_table.h"
#include "platform/errors.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_fonts.h"
#include "tests/support/font_tree_text.h"

namespace sorel::test {
namespace {

using Texts = std::vector<std::string>;

// The main window's font state on in-memory platforms, with the suffixes of the language file.
struct FontTreeFixture {
  FontTreeFixture() { suffixes.lines = {"238=CE", "204=CYR", "161=Greek", "162=TUR", "186=Baltic"}; }

  void AddFace(const std::string& face, const std::vector<ReportedScript>& scripts) {
    fonts.fonts.push_back({face, false, 0});
    fonts.SetScripts(face, scripts);
  }
  FontTreeContext Context() {
    return {fonts, compare, canEnumerate, FontNames, FaceScripts, ScriptNames, FontList, table, suffixes, lastId};
  }
  // The start-up steps: inventory, then the tree.
  void Build() {
    EnumerateFonts(fonts, canEnumerate, FontNames);
    Rebuild();
  }
  // A restore: records cleared, tree rebuilt from the same inventory.
  void Rebuild() {
    FontList.Clear();
    FontTreeContext context = Context();
    BuildFontTree(context, faces);
  }

  Texts Dump() { return TreeLines(faces); }
  // The record of a script; nullptr when none.
  const TFontStruct* RecordOf(ItemId item) {
    for (int i = 0; i < FontList.Count(); ++i)
      if (FontList.Item(i)->Item == item) return FontList.Item(i);
    return nullptr;
  }
  // Every script with its face, in display order.
  std::vector<std::pair<const FaceItem*, const ScriptItem*>> Scripts() {
    std::vector<std::pair<const FaceItem*, const ScriptItem*>> scripts;
    for (const FaceItem& face : faces)
      for (const ScriptItem& script : face.scripts) scripts.emplace_back(&face, &script);
    return scripts;
  }

  MemoryTextCompare compare;
  MemoryFonts fonts;
  bool canEnumerate = true;
  SortedTextList FontNames{compare}, FaceScripts{compare}, ScriptNames{compare};
  TFontList FontList;
  SubstTable table;
  KeyValueList suffixes;
  ItemId lastId = 0;
  std::vector<FaceItem> faces;
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
       {"Arial [off]", "  Arial (Central European) [off]", "  Arial (Greek) [off]"}},
      {"both entries", "Arial", kArialScripts, {"Arial Greek,161=Arial,161", "Arial CE,238=Arial,238"},
       {"Arial [on]", "  Arial (Central European) [on]", "  Arial (Greek) [on]"}},
      {"one of two", "Arial", kArialScripts, {"Arial CE,238=Arial,238"},
       {"Arial [mixed]", "  Arial (Central European) [on]", "  Arial (Greek) [off]"}},
      {"an entry in other letter case", "Arial", kArialScripts, {"ARIAL ce,238=arial,238", "arial greek,161=ARIAL,161"},
       {"Arial [on]", "  Arial (Central European) [on]", "  Arial (Greek) [on]"}},
      {"accented letters in other case", "\xC9l\xE9gant", {{238, "Central European"}},
       {"\xE9L\xC9GANT ce,238=\xC9l\xE9gant,238"}, {"\xC9l\xE9gant [on]", "  \xC9l\xE9gant (Central European) [on]"}},
      {"a ligature written as its letters", "\xC6sop", {{238, "Central European"}}, {"AEsop CE,238=aesop,238"},
       {"\xC6sop [on]", "  \xC6sop (Central European) [on]"}},
      {"a soft hyphen counts for nothing", "Arial", {{238, "Central European"}}, {"Ar\xADial CE,238=Arial,238"},
       {"Arial [on]", "  Arial (Central European) [on]"}},
      {"a hyphen is not a blank", "Arial", {{238, "Central European"}}, {"Arial-CE,238=Arial,238"},
       {"Arial [off]", "  Arial (Central European) [off]"}},
      {"same name, other character set in the value", "Arial", {{238, "Central European"}},
       {"Arial CE,238=Arial,0"}, {"Arial [off]", "  Arial (Central European) [off]"}},
      {"same name, other face in the value", "Arial", {{238, "Central European"}},
       {"Arial CE,238=Times New Roman,238"}, {"Arial [off]", "  Arial (Central European) [off]"}},
      {"a blank more", "Arial", {{238, "Central European"}}, {"Arial CE,238=Arial,238 "},
       {"Arial [off]", "  Arial (Central European) [off]"}},
      {"only the name", "Arial", {{238, "Central European"}}, {"Arial CE,238"},
       {"Arial [off]", "  Arial (Central European) [off]"}},
      {"no suffix for the character set: the entry keeps its blank", "Arial", {{222, "Thai"}},
       {"Arial,222=Arial,222", "Arial ,222=Arial,222"}, {"Arial [on]", "  Arial (Thai) [on]"}},
  };
  for (const auto& c : cases) {
    FontTreeFixture f;
    f.AddFace(c.face, c.scripts);
    f.table = c.table;
    f.Build();
    EXPECT_EQ(f.Dump(), c.tree) << c.what;
    for (const auto& [face, script] : f.Scripts()) {
      const TFontStruct* record = f.RecordOf(script->id);
      ASSERT_NE(record, nullptr) << c.what;
      EXPECT_EQ(script->check, record->Enabled ? Check::On : Check::Off) << c.what;
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
                          "Arial [mixed]",
                          "  Arial (Central European) -> [Western] [on]",
                          "  Arial (Cyrillic) [off]",
                          "  Arial (Greek) -> [Western] [off]",
                          "Tahoma [off]",
                          "  Tahoma (Central European) [off]",
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
  EXPECT_EQ(f.Dump(), (Texts{"Tahoma [mixed]", "  Tahoma (Central European) [off]",
                             "  Tahoma (Script: 222) -> [Western] [on]"}));
  EXPECT_EQ(f.ScriptNames.Items(), (Texts{"222=Script: 222", "238=Central European"}));
}

// Records follow FaceScripts (the order the save appends entries in); scripts are sorted by text.
TEST(BuildFontTree, EveryScriptHasItsOwnRecord) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.AddFace("Courier New", {{204, "Cyrillic"}, {0, "Western"}});
  f.Build();
  const auto scripts = f.Scripts();
  ASSERT_EQ(f.FontList.Count(), 3);
  ASSERT_EQ(scripts.size(), 3u);
  const struct {
    const char* face;
    int charset;
  } records[] = {{"Arial", 161}, {"Arial", 238}, {"Courier New", 204}};
  for (int i = 0; i < 3; ++i) {
    TFontStruct* record = f.FontList.Item(i);
    EXPECT_EQ(record->FaceName, records[i].face);
    EXPECT_EQ(record->Charset, records[i].charset);
    EXPECT_EQ(f.RecordOf(record->Item), record);  // one record per script
    const auto shown = std::find_if(scripts.begin(), scripts.end(), [&](const auto& s) { return s.second->id == record->Item; });
    ASSERT_NE(shown, scripts.end());
    EXPECT_EQ(shown->first->face, records[i].face);
  }
  // The Greek record came first, but its script sorts after the Central European one.
  EXPECT_EQ(scripts[0].second->id, f.FontList.Item(1)->Item);
  EXPECT_EQ(scripts[1].second->id, f.FontList.Item(0)->Item);
  for (const FaceItem& face : f.faces) {
    EXPECT_EQ(f.RecordOf(face.id), nullptr);
    EXPECT_NE(face.id, 0u);
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
  EXPECT_EQ(f.Dump(), (Texts{"Arial [off]", "  Arial (Central European) [off]", "  Arial (Greek) [off]", "Zapf [off]",
                             "  Zapf (Baltic) [off]"}));
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
  EXPECT_EQ(f.Dump(), (Texts{"X [off]", "  X (baltic) [off]", "  X (Central European) [off]", "  X (E) [off]",
                             "  X (ea) [off]", "  X (\xC9" "a) [off]", "  X (F) [off]", "  X (greek) [off]",
                             "  X (Greek) [off]"}));
}

TEST(BuildFontTree, TwoNamesForOneCharacterSetTakeTheFirst) {
  FontTreeFixture f;
  f.AddFace("Arial", {{238, "Eastern European"}, {238, "Central European"}});
  f.Build();
  EXPECT_EQ(f.Dump(), (Texts{"Arial [off]", "  Arial (Central European) [off]", "  Arial (Central European) [off]"}));
  EXPECT_EQ(f.FontList.Count(), 2);
  EXPECT_EQ(f.ScriptNames.Items(), (Texts{"238=Central European", "238=Eastern European"}));
}

TEST(BuildFontTree, WithoutEnumeratingTheTreeStaysEmpty) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.canEnumerate = false;
  f.Build();
  EXPECT_TRUE(f.Dump().empty());
  EXPECT_EQ(f.FontList.Count(), 0);
  EXPECT_EQ(f.fonts.screenDCsGot, 0);
  EXPECT_EQ(f.ScriptNames.Count(), 0);

  // The faces listed earlier get no scripts either: they have no box and are dropped.
  f.FontNames.Add("Arial");
  FontTreeContext context = f.Context();
  const IgnoreCaseIndex table(f.compare, f.table);
  FaceItem face{1, "Arial", Check::Off, {}};
  EXPECT_EQ(ClassifyFont(context, table, face), Check::None);
  EXPECT_TRUE(face.scripts.empty());
  f.Rebuild();
  EXPECT_TRUE(f.Dump().empty());
  EXPECT_EQ(f.fonts.screenDCsGot, 0);
}

// A rebuild numbers its items anew: none of the old tree's ids names an item of the new one.
TEST(BuildFontTree, ARebuildGivesNewIds) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.AddFace("Tahoma", {{0, "Western"}, {238, "Central European"}});
  f.Build();
  std::vector<ItemId> before;
  for (const auto& [face, script] : f.Scripts()) before.push_back(script->id);
  for (const FaceItem& face : f.faces) before.push_back(face.id);
  f.Rebuild();
  ASSERT_EQ(f.Dump().size(), 5u);
  for (const auto& [face, script] : f.Scripts()) {
    EXPECT_EQ(std::count(before.begin(), before.end(), script->id), 0) << script->text;
    EXPECT_EQ(std::count(before.begin(), before.end(), face->id), 0) << face->face;
  }
}

TEST(BuildFontTree, ARebuildReplacesTheTreeAndKeepsTheScriptNames) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  f.Build();
  f.fonts.SetScripts("Arial", {{0, "Western"}, {204, "Cyrillic"}});
  f.table = {"Arial CYR,204=Arial,204"};
  f.Rebuild();
  EXPECT_EQ(f.Dump(), (Texts{"Arial [on]", "  Arial (Cyrillic) [on]"}));
  EXPECT_EQ(f.FontList.Count(), 1);
  EXPECT_EQ(f.ScriptNames.Items(), (Texts{"161=Greek", "204=Cyrillic", "238=Central European"}));
}

TEST(BuildFontTree, AFailingEnumerationKeepsTheFaceItFailedOnAndReleasesTheDC) {
  FontTreeFixture f;
  f.AddFace("Arial", kArialScripts);
  EnumerateFonts(f.fonts, true, f.FontNames);
  f.fonts.reportLimit = 1;
  f.fonts.throwAtLimit = true;
  FontTreeContext context = f.Context();
  EXPECT_THROW(BuildFontTree(context, f.faces), PlatformError);
  ASSERT_EQ(f.faces.size(), 1u);
  EXPECT_EQ(f.faces[0].face, "Arial");
  EXPECT_EQ(f.fonts.screenDCsReleased, f.fonts.screenDCsGot);
}

}  // namespace
}  // namespace sorel::test
