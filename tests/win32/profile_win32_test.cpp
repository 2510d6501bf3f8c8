// Differential tests of profile files: the same bytes through GetPrivateProfileStringA and through
// the emulation, both held to what Wine gives.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "tests/fakes/memory_files.h"
#include "tests/fakes/memory_profile.h"
#include "platform/win32/files_win32.h"
#include "platform/win32/profile_win32.h"
#include "platform/win32/registry_win32.h"
#include "platform/win32/system_win32.h"
#include "tests/support/profile_cases.h"

namespace sorel {
namespace {

using test::ProfileCase;


std::string Describe(const std::vector<std::string>& list) {
  if (list.size() > 6) {
    return std::to_string(list.size()) + " names, ..., \"" + list[list.size() - 2] + "\", \"" + list.back() + "\"";
  }
  std::string out = "{";
  for (const auto& s : list) out += "\"" + (s.size() > 40 ? s.substr(0, 20) + "...(" + std::to_string(s.size()) + ")" : s) + "\" ";
  return out + "}";
}

std::string TempFolder() {
  char buffer[MAX_PATH] = {};
  GetTempPathA(sizeof(buffer), buffer);
  return buffer;
}

TEST(ProfileDifferential, RealAndEmulatedReadEveryCaseAsWineDoes) {
  Win32ProfileFiles real;
  Win32FileSystem files;
  const std::string folder = TempFolder();
  int n = 0;
  for (const auto& c : test::ProfileCases()) {
    // A fresh name per case keeps Wine's cache of recently read profiles out of the way.
    const std::string path =
        folder + "sorel_profile_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(n++) + ".ini";
    MemoryFileSystem memoryFiles;
    if (c.text) {
      files.WriteAll(path, *c.text);
      memoryFiles.Put(path, *c.text);
    }
    MemoryProfileFiles emulated(memoryFiles, "C:\\windows");

    std::vector<std::string> fromWine = AskProfile(real, path, c);
    std::vector<std::string> fromEmulation = AskProfile(emulated, path, c);
    EXPECT_TRUE(fromWine == c.expected) << c.what << "\n  Wine:     " << Describe(fromWine)
                                        << "\n  expected: " << Describe(c.expected);
    EXPECT_TRUE(fromEmulation == fromWine) << c.what << "\n  emulated: " << Describe(fromEmulation)
                                           << "\n  Wine:     " << Describe(fromWine);
    files.Remove(path);
  }
}

// The win.ini sections that Wine reads from the registry instead of the file.
std::vector<std::string> MappedSections() {
  std::vector<std::string> names;
  Win32Registry registry;
  auto key = registry.Open(RegRoot::LocalMachine, "Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping\\win.ini",
                           false);
  if (!key) return names;
  for (const auto& value : key->Values()) {
    if (!value.name.empty()) names.push_back(value.name);
  }
  return names;
}

// win.ini by its bare name, the way the program reads the table on the 95/98 family: a scratch
// section is added for the test and the file is put back byte for byte.
class RealWinIni : public testing::Test {
 protected:
  void SetUp() override {
    path = system.WindowsDirectory() + "\\win.ini";
    if (files.Exists(path)) original = files.ReadAll(path);
  }
  void TearDown() override {
    if (original) {
      files.WriteAll(path, *original);
      EXPECT_EQ(files.ReadAll(path), *original);
    } else {
      files.Remove(path);
    }
  }

  Win32SystemInfo system;
  Win32FileSystem files;
  std::string path;
  std::optional<std::string> original;
};

TEST_F(RealWinIni, ReadsAScratchSectionLikeTheEmulation) {
  ASSERT_EQ(system.WindowsDirectory(), "C:\\windows");
  const std::string scratch = original.value_or("") +
                              "\r\n[SorelAssistantTest]\r\nArial CE,238=Arial,238\r\n  Spaced  =  \"quoted\"  \r\n"
                              ";comment=1\r\nEmpty=\r\narial ce,238=second\r\n[sorelassistanttest]\r\nLater=1\r\n";
  files.WriteAll(path, scratch);
  MemoryFileSystem memoryFiles;
  memoryFiles.Put(path, scratch);
  MemoryProfileFiles emulated(memoryFiles, system.WindowsDirectory());
  Win32ProfileFiles real;

  const std::vector<std::string> keys = {"Arial CE,238", "Spaced", "Empty", "arial ce,238"};
  EXPECT_EQ(real.SectionKeys("win.ini", "SorelAssistantTest"), keys);
  EXPECT_EQ(emulated.SectionKeys("win.ini", "SorelAssistantTest"), keys);
  // Wine maps some win.ini sections to the registry (IniFileMapping); their names come first in
  // the list. The file's own sections follow as the emulation reads them.
  std::vector<std::string> names = MappedSections();
  for (const auto& name : emulated.SectionNames("win.ini")) names.push_back(name);
  EXPECT_EQ(real.SectionNames("win.ini"), names);
  EXPECT_EQ(std::count(names.begin(), names.end(), "SorelAssistantTest"), 1);

  const struct {
    const char* key;
    const char* value;
  } values[] = {{"Arial CE,238", "Arial,238"}, {"ARIAL CE,238", "Arial,238"}, {"Spaced", "quoted"},
                {"Empty", ""},                 {"Later", "<none>"},         {"Missing", "<none>"}};
  for (const auto& v : values) {
    EXPECT_EQ(real.ReadString("win.ini", "SorelAssistantTest", v.key, "<none>"), v.value) << v.key;
    EXPECT_EQ(emulated.ReadString("win.ini", "SorelAssistantTest", v.key, "<none>"), v.value) << v.key;
  }
}

// The program edits win.ini directly and reads it again through the profile functions without
// asking them to flush anything: Wine must notice the new file at once.
TEST_F(RealWinIni, ReadsTheFileAfreshAfterItIsReplaced) {
  Win32ProfileFiles real;
  const std::string base = original.value_or("") + "\r\n[SorelAssistantTest]\r\n";
  files.WriteAll(path, base + "Arial CE,238=first\r\n");
  EXPECT_EQ(real.ReadString("win.ini", "SorelAssistantTest", "Arial CE,238", ""), "first");
  for (const char* value : {"second", "third"}) {
    files.WriteAll(path + ".tmp", base + "Arial CE,238=" + value + "\r\n");
    files.Replace(path + ".tmp", path);
    EXPECT_EQ(real.ReadString("win.ini", "SorelAssistantTest", "Arial CE,238", ""), value);
    EXPECT_EQ(real.SectionKeys("win.ini", "SorelAssistantTest"), std::vector<std::string>{"Arial CE,238"});
  }
}

}  // namespace
}  // namespace sorel
