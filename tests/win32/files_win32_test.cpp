// Win32FileSystem on the prefix's disk: round trips, replace and the errors' messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/errors.h"
#include "platform/win32/files_win32.h"

namespace sorel {
namespace {

class RealFiles : public testing::Test {
 protected:
  void SetUp() override {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    folder = std::string(temp) + "sorel_files_" + std::to_string(GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    folder += "\\";
  }
  void TearDown() override {
    for (const char* name : {"a.txt", "b.txt", "big.bin"}) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
  }

  Win32FileSystem files;
  std::string folder;
};

TEST_F(RealFiles, BytesRoundTripUnchanged) {
  const std::string samples[] = {"", "one line", std::string("CR\rLF\nCRLF\r\nzero\0byte\xFF", 24),
                                 std::string(200000, '\x96')};
  for (const auto& bytes : samples) {
    files.WriteAll(folder + "big.bin", bytes);
    EXPECT_EQ(files.ReadAll(folder + "big.bin"), bytes) << bytes.size();
  }
  files.WriteAll(folder + "big.bin", "short");
  EXPECT_EQ(files.ReadAll(folder + "big.bin"), "short") << "a rewrite truncates";
}

TEST_F(RealFiles, ExistsOnlyForFiles) {
  files.WriteAll(folder + "a.txt", "x");
  EXPECT_TRUE(files.Exists(folder + "a.txt"));
  EXPECT_FALSE(files.Exists(folder + "b.txt"));
  EXPECT_FALSE(files.Exists(folder)) << "a folder is no file";
  files.Remove(folder + "a.txt");
  EXPECT_FALSE(files.Exists(folder + "a.txt"));
  files.Remove(folder + "a.txt");  // a missing file is no error
}

TEST_F(RealFiles, ReplacePutsTheSourceInPlaceOfTheTarget) {
  for (bool targetExists : {false, true}) {
    if (targetExists) files.WriteAll(folder + "a.txt", "old contents, longer than the new");
    files.WriteAll(folder + "b.txt", "new");
    files.Replace(folder + "b.txt", folder + "a.txt");
    EXPECT_EQ(files.ReadAll(folder + "a.txt"), "new") << targetExists;
    EXPECT_FALSE(files.Exists(folder + "b.txt")) << targetExists;
  }
}

TEST_F(RealFiles, FailuresNameTheFile) {
  const std::string missingFolder = folder + "no such folder\\";
  const struct {
    const char* what;
    std::function<void()> act;
    std::string message;
  } cases[] = {
      {"read of a missing file", [&] { files.ReadAll(folder + "b.txt"); },
       "Cannot open file \"" + folder + "b.txt\""},
      {"write into a missing folder", [&] { files.WriteAll(missingFolder + "a.txt", "x"); },
       "Cannot create file \"" + missingFolder + "a.txt\""},
      {"replace from a missing file", [&] { files.Replace(folder + "b.txt", folder + "a.txt"); },
       "Cannot replace file \"" + folder + "a.txt\" with \"" + folder + "b.txt\""},
      {"replace into a missing folder", [&] { files.Replace(folder + "a.txt", missingFolder + "a.txt"); },
       "Cannot replace file \"" + missingFolder + "a.txt\" with \"" + folder + "a.txt\""},
  };
  files.WriteAll(folder + "a.txt", "kept");
  for (const auto& c : cases) {
    try {
      c.act();
      ADD_FAILURE() << c.what << ": no error";
    } catch (const PlatformError& e) {
      EXPECT_EQ(e.what(), c.message) << c.what;
    }
  }
  EXPECT_EQ(files.ReadAll(folder + "a.txt"), "kept");
}

}  // namespace
}  // namespace sorel
