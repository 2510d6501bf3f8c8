// Building the font tree for a large font collection against a large substitution table.
#include <benchmark/benchmark.h>

#include <random>
#include <string>
#include <vector>

#include "engine/edit_model.h"
#include "engine/font_inventory.h"
#include "engine/font_tree.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_fonts.h"
#include "tests/support/store_platforms.h"

namespace sorel {
namespace {

struct Script {
  int charset;
  const char* name;
  const char* suffix;
};

const Script kScripts[] = {
    {238, "Central European", "CE"}, {204, "Cyrillic", "CYR"}, {161, "Greek", "Greek"},
    {162, "Turkish", "TUR"},         {186, "Baltic", "Baltic"}, {177, "Hebrew", "Hebrew"},
    {178, "Arabic", "Arabic"},       {163, "Vietnamese", "Vietnamese"},
};

// A machine with many fonts: every face offers Western and eight scripts, each in `styles`
// styles; the table holds 10,000 entries, a third of them the script entries of the faces (some
// in other letter case), Western entries, and unrelated entries.
struct Machine {
  static constexpr int kFaces = 2000, kTableSize = 10000;

  explicit Machine(int styles) {
    std::mt19937 rng(2000);
    for (int i = 0; i < kFaces; ++i) {
      std::string face = "Face " + std::to_string(i) + (i % 3 ? " Sans" : " Serif \xC9l\xE9gant");
      fonts.fonts.push_back({face, false, 0});
      fonts.fonts.push_back({face, false, 238});
      std::vector<ReportedScript> reported;
      for (int s = 0; s < styles; ++s) {
        reported.push_back({0, "Western"});
        for (const Script& script : kScripts) reported.push_back({script.charset, script.name});
      }
      fonts.SetScripts(face, reported);
      for (const Script& script : kScripts) {
        if (rng() % 6 == 0 && table.size() < kTableSize / 3) {
          std::string entry = ScriptEntry(face, script.suffix, script.charset);
          if (rng() % 2) entry[0] = static_cast<char>(entry[0] ^ 0x20);
          table.push_back(entry);
        }
      }
      if (i % 10 == 0) table.push_back(WesternEntry(face, kScripts[i % 8].charset));
    }
    while (table.size() < kTableSize) {
      table.push_back("Legacy Face " + std::to_string(table.size()) + ",0=Face " + std::to_string(rng() % kFaces));
    }
    for (const Script& script : kScripts) {
      suffixes.lines.push_back(std::to_string(script.charset) + "=" + script.suffix);
    }
    EnumerateFonts(fonts, true, fontNames);
  }

  FontTreeContext Context() {
    return {fonts, compare, true, fontNames, faceScripts, scriptNames, fontList, table, suffixes, lastId};
  }

  MemoryTextCompare compare;
  MemoryFonts fonts;
  SortedTextList fontNames{compare}, faceScripts{compare}, scriptNames{compare};
  TFontList fontList;
  SubstTable table;
  KeyValueList suffixes;
  ItemId lastId = 0;
};

// The whole rebuild as a restore does it: records cleared, table index made, tree rebuilt.
void BM_BuildFontTree(benchmark::State& state) {
  Machine machine(static_cast<int>(state.range(0)));
  FontTreeContext context = machine.Context();
  std::vector<FaceItem> faces;
  for (auto _ : state) {
    machine.fontList.Clear();
    BuildFontTree(context, faces);
  }
  if (machine.fontList.Count() != Machine::kFaces * 8) state.SkipWithError("wrong number of records");
  state.counters["records"] = machine.fontList.Count();
}
BENCHMARK(BM_BuildFontTree)->Arg(1)->Arg(4)->ArgName("styles")->Unit(benchmark::kMillisecond);

// The commands over every record, as "all on" and "all off" from the tree's menu, each followed
// by composing the table a save would write: every face's state is worked out once per command.
void BM_SwitchAllAndCompose(benchmark::State& state) {
  Machine machine(1);
  StorePlatforms store;
  for (const std::string& entry : machine.table) {
    const auto eq = entry.find('=');
    store.registry.SetString(RegRoot::LocalMachine, kFontSubstitutesKey, entry.substr(0, eq), entry.substr(eq + 1));
  }
  TableStore tableStore = store.Store(true);
  EditModel model(machine.compare);
  model.EnumerateFonts(machine.fonts, true);
  model.ReadTable(tableStore);
  model.BuildTree(machine.fonts, true);
  bool on = true;
  for (auto _ : state) {
    benchmark::DoNotOptimize(model.SetAllScripts(on).checks.size());
    benchmark::DoNotOptimize(model.ComposeTable("238").size());
    on = !on;
  }
  state.counters["records"] = model.FontList().Count();
}
BENCHMARK(BM_SwitchAllAndCompose)->Unit(benchmark::kMillisecond);

void BM_EnumerateFonts(benchmark::State& state) {
  Machine machine(1);
  for (auto _ : state) EnumerateFonts(machine.fonts, true, machine.fontNames);
  state.counters["faces"] = machine.fontNames.Count();
}
BENCHMARK(BM_EnumerateFonts)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorel
