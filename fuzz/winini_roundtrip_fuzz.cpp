// Fuzz target: the 95/98 save's round trip over arbitrary win.ini bytes. Read the table, make the
// program's usual edit (one entry removed, a script entry and the fixed entries put in place of
// any of their names), save, read back. The table read back must be the table saved, every other
// section must read as before, and a second save must change nothing. Any difference aborts.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "engine/subst_table.h"
#include "platform/errors.h"
#include "tests/support/store_platforms.h"
#include "tests/support/win_ini_samples.h"

namespace {

using namespace sorel;

const char* const kPath = "C:\\windows\\win.ini";

[[noreturn]] void Fail(const char* what, const std::string& before) {
  std::fprintf(stderr, "round trip broken: %s\n", what);
  std::fwrite(before.data(), 1, before.size(), stderr);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string before(reinterpret_cast<const char*>(data), size);
  StorePlatforms p;
  p.system.family = Family::Win9x;
  p.files.Put(kPath, before);

  SubstTable table;
  p.Store(false).ReadTable(table);
  EditTableForRoundTrip(p.compare, table, static_cast<std::uint32_t>(size));
  for (const char* fixed : {"Helvetica,0=Arial,0", "Times,0=Times New Roman,0", "Courier,0=Courier New,0"})
    PutInPlaceOfItsName(p.compare, table, fixed);

  try {
    p.Store(false).WriteTable(table);
  } catch (const PlatformError&) {
    Fail("an entry read from the file could not be written back", before);
  }
  const std::string after = p.files.Get(kPath).value_or("");
  SubstTable readBack;
  p.Store(false).ReadTable(readBack);
  if (readBack != table) Fail("the table read back is not the table saved", before);
  if (!SameOutsideTheTable(before, after)) Fail("another section reads differently", before);
  p.Store(false).WriteTable(table);
  if (p.files.Get(kPath).value_or("") != after) Fail("a second save changed the file", before);
  return 0;
}
