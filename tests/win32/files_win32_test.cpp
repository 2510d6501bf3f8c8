// Win32FileSystem on the prefix's disk: the checks every file system must pass, with MoveFileExA
// and with renames alone, and what only the real one shows.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <utility>
#include <string>

#include "platform/errors.h"
#include "platform/win32/files_win32.h"
#include "tests/support/file_contract.h"

namespace sorel {
namespace {

// The 95/98 family: MoveFileExA exists only as a stub that answers "not implemented".
class StubbedMoveFileEx : public Win32FileSystem {
 protected:
  bool MoveReplacing(const std::string&, const std::string&, unsigned long& error) override {
    error = ERROR_CALL_NOT_IMPLEMENTED;
    return false;
  }
};

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
    for (const char* name : {"a.txt", "b.txt", "big.bin", "a.txt.sorel-old"}) DeleteFileA((folder + name).c_str());
    RemoveDirectoryA(folder.c_str());
  }

  Win32FileSystem files;
  StubbedMoveFileEx stubbed;
  struct Kind {
    const char* name;
    Win32FileSystem* system;
  };
  const Kind kinds[2] = {{"MoveFileExA", &files}, {"renames, MoveFileExA a stub", &stubbed}};
  std::string folder;
};

// Both ways of replacing leave no backup behind.
TEST_F(RealFiles, ReplaceLeavesNoBackup) {
  for (const auto& kind : kinds) {
    for (bool targetExists : {false, true}) {
      if (targetExists) files.WriteAll(folder + "a.txt", "old");
      files.WriteAll(folder + "b.txt", "new");
      kind.system->Replace(folder + "b.txt", folder + "a.txt");
      EXPECT_FALSE(files.Exists(Win32FileSystem::BackupOf(folder + "a.txt"))) << kind.name << targetExists;
    }
  }
}

TEST_F(RealFiles, RenamesReplaceOverAStaleBackup) {
  files.WriteAll(Win32FileSystem::BackupOf(folder + "a.txt"), "from a save that was cut short");
  files.WriteAll(folder + "a.txt", "old");
  files.WriteAll(folder + "b.txt", "new");
  stubbed.Replace(folder + "b.txt", folder + "a.txt");
  EXPECT_EQ(files.ReadAll(folder + "a.txt"), "new");
  EXPECT_FALSE(files.Exists(Win32FileSystem::BackupOf(folder + "a.txt")));
}

// The fake has no folders; the real file system refuses a missing one, naming the file.
TEST_F(RealFiles, AMissingFolderIsRefusedNamingTheFile) {
  const std::string missingFolder = folder + "no such folder\\";
  const struct {
    const char* what;
    std::function<void()> act;
    std::string message;
  } cases[] = {
      {"write into a missing folder", [&] { files.WriteAll(missingFolder + "a.txt", "x"); },
       "Cannot create file \"" + missingFolder + "a.txt\""},
      {"create in a missing folder", [&] { files.Create(missingFolder + "a.txt"); },
       "Cannot create file \"" + missingFolder + "a.txt\""},
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

TEST_F(RealFiles, AFailedReplaceByRenamesKeepsTheTarget) {
  files.WriteAll(folder + "a.txt", "kept");
  const std::string missingFolder = folder + "no such folder\\";
  const std::pair<std::string, std::string> failing[] = {
      {folder + "b.txt", folder + "a.txt"},                 // no source: the backup goes back
      {folder + "a.txt", missingFolder + "a.txt"},          // no target folder
  };
  for (const auto& [source, target] : failing) {
    EXPECT_THROW(stubbed.Replace(source, target), PlatformError) << source << " -> " << target;
    EXPECT_EQ(files.ReadAll(folder + "a.txt"), "kept") << source << " -> " << target;
    EXPECT_FALSE(files.Exists(Win32FileSystem::BackupOf(folder + "a.txt")));
  }
}

// The checks every file system must pass, with MoveFileExA and with renames alone.
class RealFilesContract : public RealFiles,
                          public testing::WithParamInterface<std::tuple<test::FileContractCase, bool>> {};

TEST_P(RealFilesContract, Holds) {
  const auto& [check, byRenames] = GetParam();
  test::FilesUnderTest f{byRenames ? static_cast<Win32FileSystem&>(stubbed) : files, folder};
  check.check(f);
}

INSTANTIATE_TEST_SUITE_P(Files, RealFilesContract,
                         testing::Combine(testing::ValuesIn(test::FileContractCases()), testing::Bool()),
                         [](const auto& info) {
                           return std::string(std::get<0>(info.param).name) +
                                  (std::get<1>(info.param) ? "ByRenames" : "");
                         });

}  // namespace
}  // namespace sorel
