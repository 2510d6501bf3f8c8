// The services a TableStore needs, in memory, with win.ini in C:\\windows: for the store's tests,
// its benchmark and its fuzz target.
#pragma once
#include "engine/subst_table.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_files.h"
#include "tests/fakes/memory_profile.h"
#include "tests/fakes/memory_registry.h"
#include "tests/fakes/memory_system.h"

namespace sorel {

struct StorePlatforms {
  MemoryRegistry registry;
  MemoryFileSystem files;
  MemoryProfileFiles profiles{files, "C:\\windows"};
  MemoryTextCompare compare;
  MemorySystemInfo system;

  TableStore Store(bool isNT) { return TableStore(registry, profiles, files, system, compare, isNT); }
};

}  // namespace sorel
