// End to end: the real program starts, shows its main window, and closing it changes nothing.
#include <gtest/gtest.h>

#include "tests/e2e/fixture.h"

namespace e2e {
namespace {

TEST_F(StartupE2E, NtFamilyMainWindowAndOkLeaveTheStoresAsTheyWere) { RunAndCloseWithOk(); }

TEST_F(StartupE2E, Win98FamilyMainWindowAndOkLeaveTheStoresAsTheyWere) {
  // A section with a comment and an odd entry must survive a run that saves nothing.
  WriteFileBytes(WinIniPath(), winIni_ + "[FontSubstitutes]\r\n; kept\r\nArial CE,238=Arial,238\r\n"
                                         "Odd=\r\n\r\n[Other]\r\nx=1\r\n");
  winIni_ = ReadFileBytes(WinIniPath());
  SetProgramFamilyWin98(true);
  RunAndCloseWithOk();
}

TEST_F(StartupE2E, MissingAppPathIsWrittenWithTheExePath) {
  DeleteKeyTree(HKEY_CURRENT_USER, kProgramKey);
  SetProgramString("Language", "Polski");
  RunAndCloseWithOk();
  bool exists = false;
  std::string appPath = ReadString(HKEY_CURRENT_USER, kProgramKey, "AppPath", &exists);
  EXPECT_TRUE(exists);
  EXPECT_EQ(appPath, WindowsPath(g_exePath));
}

TEST_F(StartupE2E, CancelButtonClosesWithoutQuestion) {
  AppProcess app;
  HWND main = app.WaitForWindow(kMainCaption);
  ASSERT_NE(main, nullptr);
  std::string caption = LangResValue("Polski", "btCancel");
  HWND cancel = FindChild(main, "Button", caption.empty() ? "&Zaniechaj" : caption);
  ASSERT_NE(cancel, nullptr);
  Press(cancel);
  ASSERT_TRUE(app.WaitForExit());
  EXPECT_EQ(DumpKey(HKEY_LOCAL_MACHINE, kFontSubstitutes), table_);
}

}  // namespace
}  // namespace e2e
