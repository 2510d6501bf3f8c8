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

// "Language" and "AppPath" stored with another type count as missing: no error, the language
// dialog opens with "Polski" preselected, and both are written again as text.
TEST_F(StartupE2E, TextSettingsOfWrongTypeAreAskedForAndWrittenAgain) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  const DWORD five = 5;
  for (const char* name : {"Language", "AppPath"})
    RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&five), sizeof(five));
  RegCloseKey(key);
  AppProcess app;
  HWND dialog = app.WaitForWindow(LangResValue("Polski", "dLangChoose"));
  ASSERT_NE(dialog, nullptr) << "the language dialog did not appear";
  ASSERT_TRUE(PickComboItem(FindChild(dialog, "ComboBox", ""), "English"));
  Press(FindChild(dialog, "Button", "&OK"));
  HWND main = app.WaitForWindow(kMainCaption);
  ASSERT_NE(main, nullptr) << "the program did not start";
  EXPECT_NE(FindChild(main, "Button", LangResValue("English", "btCancel")), nullptr);
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kProgramKey, "Language"), "English");
  EXPECT_EQ(ReadString(HKEY_CURRENT_USER, kProgramKey, "AppPath"), WindowsPath(g_exePath));
  Press(FindChild(main, "Button", "&OK"));
  EXPECT_TRUE(app.WaitForExit());
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

namespace e2e {
namespace {

// The program changes machine-wide settings: Vista and later must ask for administrator rights at
// start. The manifest must also name the processor the program is built for, or the system
// refuses to load its common controls and the program never starts.
TEST(ProgramManifest, AsksForAdministratorRightsAndNamesThisProcessor) {
  HMODULE exe = LoadLibraryExA(g_exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_NE(exe, nullptr) << g_exePath;
  HRSRC found = FindResourceA(exe, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));  // RT_MANIFEST
  ASSERT_NE(found, nullptr);
  const char* bytes = static_cast<const char*>(LockResource(LoadResource(exe, found)));
  std::string manifest(bytes, SizeofResource(exe, found));
  FreeLibrary(exe);
  EXPECT_NE(manifest.find("<requestedExecutionLevel level=\"requireAdministrator\""), std::string::npos);
  const std::string processor = sizeof(void*) == 8 ? "amd64" : "x86";
  int named = 0;  // the program itself and the common controls it asks for
  for (std::size_t at = manifest.find("processorArchitecture=\""); at != std::string::npos;
       at = manifest.find("processorArchitecture=\"", at + 1)) {
    EXPECT_EQ(manifest.substr(at + 23, processor.size() + 1), processor + "\"");
    ++named;
  }
  EXPECT_EQ(named, 2);
}

}  // namespace
}  // namespace e2e
