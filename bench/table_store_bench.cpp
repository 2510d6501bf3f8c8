// Reading, editing and saving large substitution tables on the in-memory platform.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "engine/subst_table.h"
#include "tests/fakes/memory_compare.h"
#include "tests/support/store_platforms.h"

namespace sorel {
namespace {

// n entries of the program's form, every tenth stored in other letter case.
SubstTable BenchTable(int n) {
  SubstTable table;
  for (int i = 0; i < n; ++i) {
    const std::string face = "Bench Face " + std::to_string(i);
    table.push_back((i % 10 ? face : "BENCH FACE " + std::to_string(i)) + " CE,238=" + face + ",238");
  }
  return table;
}


// A save of n entries over a stored table of the same names in other spelling, as after a
// restore in another letter case: every value is rewritten.
void BM_SaveRegistry(benchmark::State& state) {
  const SubstTable table = BenchTable(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    state.PauseTiming();
    StorePlatforms p;
    p.registry.CreateKey(RegRoot::LocalMachine, kFontSubstitutesKey);
    state.ResumeTiming();
    p.Store(true).WriteTable(table);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_SaveRegistry)->Arg(500)->Arg(2000)->Arg(10000)->Complexity()->Unit(benchmark::kMillisecond);

void BM_ReadAndSaveWinIni(benchmark::State& state) {
  const SubstTable table = BenchTable(static_cast<int>(state.range(0)));
  StorePlatforms p;
  p.system.family = Family::Win9x;
  p.Store(false).WriteTable(table);
  for (auto _ : state) {
    SubstTable read;
    TableStore store = p.Store(false);
    store.ReadTable(read);
    store.WriteTable(read);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_ReadAndSaveWinIni)->Arg(500)->Arg(2000)->Arg(10000)->Complexity()->Unit(benchmark::kMillisecond);

// Switching every entry off and on again: a remove and an add per entry.
void BM_EditWholeTable(benchmark::State& state) {
  const SubstTable table = BenchTable(static_cast<int>(state.range(0)));
  MemoryTextCompare compare;
  for (auto _ : state) {
    SubstTable edited = table;
    TableEditor editor(compare, edited);
    for (const auto& entry : table) editor.Remove(entry);
    for (const auto& entry : table) editor.Add(entry);
    editor.Commit();
    benchmark::DoNotOptimize(edited);
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_EditWholeTable)->Arg(500)->Arg(2000)->Arg(10000)->Complexity()->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace sorel
