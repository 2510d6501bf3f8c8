// The table store against the real registry and the real win.ini of the Wine prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "engine/subst_table.h"
#include "platform/win32/compare_win32.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_win32.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_files.h"
#include "tests/fakes/memory_profile.h"
#include "tests/fakes/memory_registry.h"
#include "tests/fakes/memory_system.h"
#include "tests/support/win_ini_samples.h"

namespace sorel {
namespace {

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

// Reads a value of the FontSubstitutes key in the 64-bit view, as a 64-bit program would.
std::string Read64(const std::string& name) {
  HKEY key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kFontSubstitutesKey, 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
    return "<no key>";
  char data[512] = {};
  DWORD size = sizeof(data), type = 0;
  LONG rc = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? data : "<absent>";
}

class RealStore : public testing::Test {
 protected:
  TableStore Store(bool isNT) { return TableStore(registry, profiles, files, system, compare, isNT); }
  Win32Registry registry;
  Win32ProfileFiles profiles;
  Win32FileSystem files;
  Win32SystemInfo system;
  Win32TextCompare compare;
};

TEST_F(RealStore, NtTableRoundTripsAndIsTheOneA64BitProgramReads) {
  TableStore store = Store(true);
  SubstTable original;
  store.ReadTable(original);
  ASSERT_GE(original.size(), 10u) << "a fresh prefix holds a table";
  EXPECT_TRUE(HasEntry(compare, original, "arial ce,238=ARIAL,238"));

  SubstTable edited = original;
  AddEntry(compare, edited, "DejaVu Sans CE,238=DejaVu Sans,238");
  RemoveEntry(compare, edited, "Arial CE,238=Arial,238");
  store.WriteTable(edited);

  SubstTable readBack;
  Store(true).ReadTable(readBack);
  EXPECT_TRUE(HasEntry(compare, readBack, "DejaVu Sans CE,238=DejaVu Sans,238"));
  EXPECT_FALSE(HasEntry(compare, readBack, "Arial CE,238=Arial,238"));
  EXPECT_EQ(readBack.size(), original.size());
  EXPECT_EQ(Read64("DejaVu Sans CE,238"), "DejaVu Sans,238");
  EXPECT_EQ(Read64("Arial CE,238"), "<absent>");

  // The same store saves the table back: it compares with what its first save stored.
  store.WriteTable(original);
  SubstTable restored;
  Store(true).ReadTable(restored);
  EXPECT_EQ(restored.size(), original.size());
  EXPECT_EQ(Read64("Arial CE,238"), "Arial,238");
  EXPECT_EQ(Read64("DejaVu Sans CE,238"), "<absent>");
}

TEST_F(RealStore, Win98TableIsWrittenIntoWinIniAndReadBackByTheProfileFunctions) {
  const std::string path = EnsureTrailingBackslash(system.WindowsDirectory()) + "win.ini";
  const std::string saved = ReadBytes(path);
  const std::string before = "[mail]\r\nmapi=1\r\n";
  WriteBytes(path, before + "[FontSubstitutes]\r\n; a comment\r\nTimes=Times New Roman\r\nEmpty=\r\n\r\n"
                           "[Next]\r\nkey=value\r\n");
  {
    SubstTable table;
    TableStore store = Store(false);
    store.ReadTable(table);
    EXPECT_EQ(table, (SubstTable{"Times=Times New Roman"}));
    table.push_back("Arial CE,238=Arial,238");
    store.WriteTable(table);
  }
  const std::string written = ReadBytes(path);
  EXPECT_NE(written.find("[FontSubstitutes]\r\nTimes=Times New Roman\r\nArial CE,238=Arial,238\r\n\r\n[Next]\r\n"
                         "key=value\r\n"),
            std::string::npos)
      << written;
  EXPECT_EQ(written.find("; a comment"), std::string::npos);
  EXPECT_EQ(written.substr(0, before.size()), before) << "lines before the section are untouched";

  SubstTable readBack;
  Store(false).ReadTable(readBack);
  EXPECT_EQ(readBack, (SubstTable{"Times=Times New Roman", "Arial CE,238=Arial,238"}));
  WriteBytes(path, saved);
}

TEST_F(RealStore, Win98WriteWithoutSectionAppendsOneAndKeepsEveryLine) {
  const std::string path = EnsureTrailingBackslash(system.WindowsDirectory()) + "win.ini";
  const std::string saved = ReadBytes(path);
  WriteBytes(path, "[windows]\r\nload=\r\n[mail]\r\nmapi=1\r\n");
  Store(false).WriteTable(SubstTable{"Helvetica=Arial"});
  EXPECT_EQ(ReadBytes(path), "[windows]\r\nload=\r\n[mail]\r\nmapi=1\r\n\r\n[FontSubstitutes]\r\nHelvetica=Arial\r\n");
  EXPECT_EQ(profiles.ReadString("win.ini", "FontSubstitutes", "Helvetica", ""), "Arial");
  EXPECT_FALSE(files.Exists(EnsureTrailingBackslash(system.WindowsDirectory()) + TableStore::kTempName));
  WriteBytes(path, saved);
}

// The native round-trip property over generated files, for a fixed sample, with Wine's own profile
// functions reading what the store wrote.
TEST_F(RealStore, Win98SavedTableIsTheOneWineReadsBackForGeneratedFiles) {
  const std::string path = EnsureTrailingBackslash(system.WindowsDirectory()) + "win.ini";
  const std::string saved = ReadBytes(path);
  for (std::uint32_t seed = 1; seed <= 40; ++seed) {
    const std::string before = GeneratedWinIni(seed);
    WriteBytes(path, before);
    SubstTable table;
    Store(false).ReadTable(table);
    EditTableForRoundTrip(compare, table, seed);
    Store(false).WriteTable(table);
    const std::string after = ReadBytes(path);
    SubstTable readBack;
    Store(false).ReadTable(readBack);
    EXPECT_EQ(readBack, table) << "seed " << seed << ":\n" << before;
    Store(false).WriteTable(table);
    EXPECT_EQ(ReadBytes(path), after) << "a second save changes nothing; seed " << seed;
  }
  WriteBytes(path, saved);
}

// Files that once made the save pick or merge the wrong lines: Wine's profile functions and our
// emulation must agree on what the store wrote, byte for byte, and both must read the table back.
TEST_F(RealStore, Win98SaveOfTrickyFilesIsReadBackAsWineReadsIt) {
  using namespace std::string_literals;
  const std::string path = EnsureTrailingBackslash(system.WindowsDirectory()) + "win.ini";
  const std::string saved = ReadBytes(path);
  const std::string files[] = {
      "[FontSubstitutes]\r\n[v=3\r\nArial CE,238=Arial,238\r\n[x]\r\n",
      "[Font\xADSubstitutes]\r\nA=1\r\n[FontSubstitutes]\r\nB=2\r\n",
      "[FontSubstitutes\0]\r\nA=1\r\n"s,
      "[FontSubstitutes]\r\n\xC9=1\r\n\xE9=2\r\n",
      "[FontSubstitutes]\r\nA\xAD" "B=1\r\nAB=\r\n",
      "[FontSubstitutes]\r\nA=\"\"x\"\"\r\nS=\" x\"\r\n\xFF=\"\x0C\"\r\n",
      "[FontSubstitutes]\r\n=nameless\r\nK=v\r\nLong=" + std::string(2100, 'L') + "\r\n",
  };
  for (const auto& before : files) {
    WriteBytes(path, before);
    SubstTable table;
    Store(false).ReadTable(table);
    const SubstTable wineRead = table;
    EditTableForRoundTrip(compare, table, 1);
    table.push_back("New=\" spaced \"");
    Store(false).WriteTable(table);
    SubstTable readBack;
    Store(false).ReadTable(readBack);
    EXPECT_EQ(readBack, table) << before;

    // The same save on the emulation.
    MemoryRegistry memoryRegistry;
    MemoryFileSystem memoryFiles;
    MemoryProfileFiles memoryProfiles(memoryFiles, "C:\\windows");
    MemoryTextCompare memoryCompare;
    MemorySystemInfo memorySystem;
    memoryFiles.Put("C:\\windows\\win.ini", before);
    TableStore emulated(memoryRegistry, memoryProfiles, memoryFiles, memorySystem, memoryCompare, false);
    SubstTable emulatedTable;
    emulated.ReadTable(emulatedTable);
    EXPECT_EQ(emulatedTable, wineRead) << before;
    emulated.WriteTable(table);
    EXPECT_EQ(memoryFiles.Get("C:\\windows\\win.ini").value_or(""), ReadBytes(path)) << before;
  }
  WriteBytes(path, saved);
}

}  // namespace
}  // namespace sorel
