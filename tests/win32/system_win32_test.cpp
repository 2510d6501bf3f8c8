// Win32SystemInfo under Wine's defaults.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/files_win32.h"
#include "platform/win32/system_win32.h"

namespace sorel {
namespace {

TEST(RealSystem, WineReportsTheNtFamilyAndItsWindowsFolder) {
  Win32SystemInfo system;
  EXPECT_EQ(system.SystemFamily(), Family::Nt);
  EXPECT_EQ(system.WindowsDirectory(), "C:\\windows");
}

TEST(RealSystem, PlatformIdentifiersMapToTheFamilies) {
  const struct Case {
    unsigned long platformId;
    Family family;
  } cases[] = {
      {VER_PLATFORM_WIN32_NT, Family::Nt},
      {VER_PLATFORM_WIN32_WINDOWS, Family::Win9x},
      {VER_PLATFORM_WIN32s, Family::Other},
      {3, Family::Other},
  };
  for (const Case& c : cases) EXPECT_EQ(FamilyOf(c.platformId), c.family) << c.platformId;
}

// The code-page mapping looks for the NLS files there: Wine keeps them in its system folder, as
// Windows does.
TEST(RealSystem, SystemFolderHoldsTheCodePageFiles) {
  Win32SystemInfo system;
  char expected[MAX_PATH] = {};
  ASSERT_GT(GetSystemDirectoryA(expected, sizeof(expected)), 0u);
  EXPECT_EQ(system.SystemDirectory(), expected);
  EXPECT_EQ(system.SystemDirectory(), "C:\\windows\\system32");
  Win32FileSystem files;
  for (const char* nls : {"c_1252.nls", "c_1250.nls", "c_1251.nls"})
    EXPECT_TRUE(files.Exists(system.SystemDirectory() + "\\" + nls)) << nls;
  EXPECT_FALSE(files.Exists(system.SystemDirectory() + "\\sorel_no_such_file.nls"));
}

TEST(RealSystem, ExePathIsThisTestProgram) {
  Win32SystemInfo system;
  std::string path = system.ExePath();
  ASSERT_GT(path.size(), 22u);
  EXPECT_EQ(path.substr(path.size() - 22), "\\sorel_win32_tests.exe");
  EXPECT_EQ(path[1], ':');
}

TEST(RealSystem, FixedFileVersionOnlyForFilesWithAVersionResource) {
  Win32SystemInfo system;
  Win32FileSystem files;
  char temp[MAX_PATH] = {};
  GetTempPathA(sizeof(temp), temp);
  const std::string plain = std::string(temp) + "sorel_no_version_" + std::to_string(GetCurrentProcessId()) + ".txt";
  files.WriteAll(plain, "no resources here");
  EXPECT_EQ(system.FixedFileVersion(plain), std::nullopt);
  files.Remove(plain);
  EXPECT_EQ(system.FixedFileVersion("C:\\windows\\no such file.exe"), std::nullopt);
  EXPECT_EQ(system.FixedFileVersion(system.ExePath()), std::nullopt) << "the test program carries no version";

  auto kernel = system.FixedFileVersion("C:\\windows\\system32\\kernel32.dll");
  ASSERT_TRUE(kernel.has_value());
  EXPECT_GE(kernel->major, 5u) << "an NT-family major version";
}

TEST(RealSystem, SleepBlocksForAboutTheTimeAsked) {
  Win32SystemInfo system;
  DWORD start = GetTickCount();
  system.Sleep(120);
  DWORD elapsed = GetTickCount() - start;
  EXPECT_GE(elapsed, 100u);
  EXPECT_LT(elapsed, 2000u);
}

}  // namespace
}  // namespace sorel
