// End to end: the real program starts, shows its main window, and closing it changes nothing.
#include <gtest/gtest.h>

#include "tests/e2e/driver.h"

namespace e2e {
namespace {

const char* const kMainCaption = "Sorel Assistant v. 1.1";
const char* const kProgramKey = "Software\\Velmora\\SorelAssistant";

// Every test leaves the table, win.ini and the program key as it found them.
class StartupE2E : public testing::Test {
 protected:
  void SetUp() override {
    table_ = DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes);
    winIni_ = ReadFileBytes(WinIniPath());
    ASSERT_FALSE(table_.empty()) << "the test prefix has no FontSubstitutes table";
  }
  void TearDown() override {
    SetProgramFamilyWin98(false);
    RestoreKey(HKEY_LOCAL_MACHINE, kFontSubstitutes, table_);
    WriteFileBytes(WinIniPath(), winIni_);
  }

  // Starts the program, checks the main window and leaves with btOK; the stores must be unchanged.
  void RunAndCloseWithOk() {
    AppProcess app;
    HWND main = app.WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr) << "main window did not appear";
    EXPECT_NE(FindChild(main, "Static", "1.1.3.6"), nullptr) << "version label missing";
    EXPECT_NE(FindChild(main, "SysTreeView32", ""), nullptr);
    EXPECT_NE(FindChild(main, "SysTabControl32", ""), nullptr);
    EXPECT_NE(FindChild(main, "msctls_statusbar32", ""), nullptr);
    HWND ok = FindChild(main, "Button", "&OK");
    ASSERT_NE(ok, nullptr);
    Press(ok);
    ASSERT_TRUE(app.WaitForExit()) << "the program did not end after OK";
    EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes), table_);
    EXPECT_EQ(ReadFileBytes(WinIniPath()), winIni_);
  }

  RegDump table_;
  std::string winIni_;
};

TEST_F(StartupE2E, NtFamilyMainWindowAndOkLeaveTheStoresAsTheyWere) { RunAndCloseWithOk(); }

TEST_F(StartupE2E, Win98FamilyMainWindowAndOkLeaveTheStoresAsTheyWere) {
  // A section with a comment and an odd entry must survive a run that saves nothing.
  WriteFileBytes(WinIniPath(), winIni_ + "[FontSubstitutes]\r\n; kept\r\nArial CE,238=Arial,238\r\n"
                                         "Odd=\r\n\r\n[Other]\r\nx=1\r\n");
  winIni_ = ReadFileBytes(WinIniPath());
  SetProgramFamilyWin98(true);
  RunAndCloseWithOk();
}

TEST_F(StartupE2E, MissingProgramKeyIsCreatedWithTheExePath) {
  auto saved = DumpKey(HKEY_CURRENT_USER, kProgramKey);
  DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
  RunAndCloseWithOk();
  bool exists = false;
  std::string appPath = ReadString(HKEY_CURRENT_USER, kProgramKey, "AppPath", &exists);
  EXPECT_TRUE(exists);
  EXPECT_EQ(appPath, WindowsPath(g_exePath));
  if (!saved.empty()) RestoreKey(HKEY_CURRENT_USER, kProgramKey, saved);
}

TEST_F(StartupE2E, CancelButtonClosesWithoutQuestion) {
  AppProcess app;
  HWND main = app.WaitForWindow(kMainCaption);
  ASSERT_NE(main, nullptr);
  HWND cancel = FindChild(main, "Button", "&Zaniechaj");
  ASSERT_NE(cancel, nullptr);
  Press(cancel);
  ASSERT_TRUE(app.WaitForExit());
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes), table_);
}

}  // namespace
}  // namespace e2e
