// Win32Shell under Wine: the temporary folder and opening documents through the shell.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/shell_win32.h"

namespace sorel {
namespace {

// The temporary folder exists and ends in a backslash; a missing file is refused with the shell's
// code (32 or less); a program starts, with the parameters given.
TEST(RealShell, TempFolderAndOpenDocument) {
  Win32Shell shell{[] { return nullptr; }};  // no owner window
  const std::string temp = shell.TempFolder();
  ASSERT_FALSE(temp.empty());
  EXPECT_EQ(temp.back(), '\\');
  EXPECT_NE(GetFileAttributesA(temp.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u) << temp;

  EXPECT_FALSE(shell.OpenDocument(temp + "sorel no such file.exe", ""));
  const std::string mark = temp + "sorel_opened_" + std::to_string(GetCurrentProcessId()) + ".txt";
  char system[MAX_PATH];
  GetSystemDirectoryA(system, MAX_PATH);
  EXPECT_TRUE(shell.OpenDocument(std::string(system) + "\\cmd.exe", "/c echo opened>\"" + mark + "\""));
  for (int i = 0; i < 100 && GetFileAttributesA(mark.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) Sleep(100);
  EXPECT_NE(GetFileAttributesA(mark.c_str()), INVALID_FILE_ATTRIBUTES) << "the parameters reached the program";
  Sleep(200);  // the program closes the file on its own time
  DeleteFileA(mark.c_str());
}

}  // namespace
}  // namespace sorel
