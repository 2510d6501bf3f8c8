// Saves a large substitution table through the program's own store under Wine or Windows, for
// scripts/bench-save, which times it against the system's `reg import` of the same values.
//   save_bench write N   the stored table plus N bench entries, written in one save
//   save_bench change    the stored table with one bench entry changed (run after write N)
//   save_bench reset     the stored table without the bench entries
// Prints the seconds the save took inside the process.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/subst_table.h"
#include "platform/win32/compare_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_win32.h"

namespace {

bool IsBenchEntry(const std::string& entry) { return entry.rfind("Bench Face ", 0) == 0; }

}  // namespace

int main(int argc, char** argv) {
  using namespace sorel;
  if (argc < 2) {
    std::fprintf(stderr, "usage: save_bench write N | change | reset\n");
    return 2;
  }
  Win32Registry registry;
  Win32ProfileFiles profiles;
  Win32FileSystem files;
  Win32SystemInfo system;
  Win32TextCompare compare;
  TableStore store(registry, profiles, files, system, compare, true);

  SubstTable table;
  store.ReadTable(table);
  SubstTable kept;
  const bool change = std::strcmp(argv[1], "change") == 0;
  for (const auto& entry : table) {
    if (change || !IsBenchEntry(entry)) kept.push_back(entry);
  }
  // One entry the user changed, as a save after switching one script finds it.
  if (change) AddEntry(compare, kept, "Bench Face 0 CE,238=Bench Face 0,204");
  if (std::strcmp(argv[1], "write") == 0 && argc > 2) {
    const int n = std::atoi(argv[2]);
    for (int i = 0; i < n; ++i) {
      const std::string face = "Bench Face " + std::to_string(i);
      kept.push_back(face + " CE,238=" + face + ",238");
    }
  }
  LARGE_INTEGER frequency, start, end;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&start);
  store.WriteTable(kept);
  QueryPerformanceCounter(&end);
  std::printf("%.3f\n", static_cast<double>(end.QuadPart - start.QuadPart) / static_cast<double>(frequency.QuadPart));
  return 0;
}
