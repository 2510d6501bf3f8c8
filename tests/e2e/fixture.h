// The end-to-end tests' fixture: every test leaves the system's stores as it found them.
#pragma once
#include <gtest/gtest.h>

#include "app/program_version.h"
#include "tests/e2e/driver.h"

namespace e2e {

inline const char* const kMainCaption = SOREL_CAPTION;
inline const char* const kCodePageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";

// Every test leaves the table, win.ini and the program key as it found them; the program runs in
// Polish unless a test chooses otherwise.
class StartupE2E : public testing::Test {
 protected:
  void SetUp() override {
    table_ = DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes);
    winIni_ = ReadFileBytes(WinIniPath());
    programKey_ = DumpTree(HKEY_CURRENT_USER, kProgramKey);
    codePages_ = DumpKey(HKEY_LOCAL_MACHINE, kCodePageKey);
    ASSERT_FALSE(table_.empty()) << "the test prefix has no FontSubstitutes table";
    SetProgramString("Language", "Polski");  // no language dialog in these tests
  }
  void TearDown() override {
    SetProgramFamilyWin98(false);
    RestoreKey(HKEY_LOCAL_MACHINE, kFontSubstitutes, table_);
    WriteFileBytes(WinIniPath(), winIni_);
    RestoreKey(HKEY_LOCAL_MACHINE, kCodePageKey, codePages_);
    // With its subkeys: the windows' places and the toolbox layout are kept there.
    DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
    if (!programKey_.empty()) RestoreTree(HKEY_CURRENT_USER, kProgramKey, programKey_);
  }

  // Starts the program, checks the main window and leaves with btOK; the stores must be unchanged.
  void RunAndCloseWithOk() {
    AppProcess app;
    HWND main = app.WaitForWindow(kMainCaption);
    ASSERT_NE(main, nullptr) << "main window did not appear";
    EXPECT_NE(FindChild(main, "Static", SOREL_VERSION_TEXT), nullptr) << "version label missing";
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

  RegDump table_, codePages_;
  RegTree programKey_;
  std::string winIni_;
};

}  // namespace e2e
