// Win32FileSystem on the prefix's disk: round trips, replace and the errors' messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <string>

#include "platform/errors.h"
#include "platform/win32/files_win32.h"

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

TEST_F(RealFiles, ReplacePutsTheSourceInPlaceOfTheTargetAndLeavesNoBackup) {
  for (const auto& kind : kinds) {
    files.Remove(folder + "a.txt");
    for (bool targetExists : {false, true}) {
      if (targetExists) files.WriteAll(folder + "a.txt", "old contents, longer than the new");
      files.WriteAll(folder + "b.txt", "new");
      kind.system->Replace(folder + "b.txt", folder + "a.txt");
      EXPECT_EQ(files.ReadAll(folder + "a.txt"), "new") << kind.name << targetExists;
      EXPECT_FALSE(files.Exists(folder + "b.txt")) << kind.name << targetExists;
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

// A created file is emptied, readable while written and whole once closed; a missing folder fails.
TEST_F(RealFiles, CreatedFilesTakeEveryPiece) {
  files.WriteAll(folder + "a.txt", "old contents, longer than the new");
  std::string written;
  auto file = files.Create(folder + "a.txt");
  for (const std::string& piece : {std::string(), std::string("MZ\0\x90\r\n", 6), std::string(300000, '\x96')}) {
    file->Write(piece.data(), piece.size());
    EXPECT_EQ(files.ReadAll(folder + "a.txt"), written += piece) << written.size();
  }
  file.reset();
  EXPECT_EQ(files.ReadAll(folder + "a.txt"), written);
  EXPECT_THROW(files.Create(folder + "no such folder\\a.txt"), PlatformError);
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

}  // namespace
}  // namespace sorel
