// Unit tests of the in-memory file system: path matching, replace, faults and messages.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "tests/fakes/memory_files.h"

namespace sorel {
namespace {

TEST(MemoryFiles, PathsMatchIgnoringAsciiCaseAndSlashDirection) {
  const struct {
    const char* written;
    const char* asked;
    bool same;
  } cases[] = {
      {"C:\\windows\\win.ini", "C:\\windows\\win.ini", true},
      {"C:\\windows\\win.ini", "c:\\WINDOWS\\Win.INI", true},
      {"C:\\windows\\win.ini", "C:/windows/win.ini", true},
      {"C:/a/b.txt", "c:\\A\\B.TXT", true},
      {"C:\\windows\\win.ini", "C:\\windows\\win.ini ", false},
      {"C:\\windows\\win.ini", "C:\\windows\\win.ini.tmp", false},
      {"C:\\x\\\xE4.ini", "C:\\x\\\xC4.ini", false},  // only ASCII letters fold
  };
  for (const auto& c : cases) {
    MemoryFileSystem fs;
    fs.Put(c.written, "bytes");
    EXPECT_EQ(fs.Exists(c.asked), c.same) << c.written << " / " << c.asked;
    EXPECT_EQ(fs.Get(c.asked).has_value(), c.same) << c.written << " / " << c.asked;
  }
}

TEST(MemoryFiles, WriteReadAndRemoveKeepEveryByte) {
  MemoryFileSystem fs;
  const std::string bytes("a\r\nb\0c\xFF", 7);
  fs.WriteAll("C:\\f.bin", bytes);
  EXPECT_EQ(fs.ReadAll("c:/F.BIN"), bytes);
  fs.WriteAll("C:\\F.bin", "shorter");
  EXPECT_EQ(fs.ReadAll("C:\\f.bin"), "shorter");
  EXPECT_EQ(fs.Paths(), std::vector<std::string>{"C:\\f.bin"}) << "the first spelling stays";
  fs.Remove("C:\\f.bin");
  EXPECT_FALSE(fs.Exists("C:\\f.bin"));
  fs.Remove("C:\\f.bin");  // a missing file is no error
  EXPECT_EQ(fs.Writes(), 2);
  EXPECT_EQ(fs.Log(), (std::vector<std::string>{"write C:\\f.bin", "write C:\\F.bin", "remove C:\\f.bin"}));
}

TEST(MemoryFiles, ReplaceMovesSourceOntoTarget) {
  for (bool targetExists : {false, true}) {
    MemoryFileSystem fs;
    if (targetExists) fs.Put("C:\\windows\\win.ini", "old");
    fs.Put("C:\\windows\\win.ini.tmp", "new");
    fs.Replace("C:\\windows\\win.ini.tmp", "C:\\windows\\win.ini");
    EXPECT_EQ(fs.Get("C:\\windows\\win.ini"), "new") << targetExists;
    EXPECT_FALSE(fs.Exists("C:\\windows\\win.ini.tmp")) << targetExists;
  }
}

// Every failure names the file, leaves the files as they were and is logged.
TEST(MemoryFiles, FailuresThrowNamingTheFileAndChangeNothing) {
  const struct {
    const char* what;
    std::function<void(MemoryFileSystem&)> arm;
    std::function<void(MemoryFileSystem&)> act;
    const char* message;
  } cases[] = {
      {"read of a missing file", [](MemoryFileSystem&) {},
       [](MemoryFileSystem& fs) { fs.ReadAll("C:\\missing.ini"); }, "Cannot open file \"C:\\missing.ini\""},
      {"read refused", [](MemoryFileSystem& fs) { fs.FailRead("c:/A.INI"); },
       [](MemoryFileSystem& fs) { fs.ReadAll("C:\\a.ini"); }, "Cannot open file \"C:\\a.ini\""},
      {"write refused", [](MemoryFileSystem& fs) { fs.FailWrite("C:\\windows\\win.ini"); },
       [](MemoryFileSystem& fs) { fs.WriteAll("C:\\windows\\win.ini", "x"); },
       "Cannot create file \"C:\\windows\\win.ini\""},
      {"replace refused", [](MemoryFileSystem& fs) { fs.FailReplace("C:\\a.ini"); },
       [](MemoryFileSystem& fs) { fs.Replace("C:\\b.ini", "C:\\a.ini"); },
       "Cannot replace file \"C:\\a.ini\" with \"C:\\b.ini\""},
      {"replace from a missing file", [](MemoryFileSystem&) {},
       [](MemoryFileSystem& fs) { fs.Replace("C:\\c.ini", "C:\\a.ini"); },
       "Cannot replace file \"C:\\a.ini\" with \"C:\\c.ini\""},
  };
  for (const auto& c : cases) {
    MemoryFileSystem fs;
    fs.Put("C:\\a.ini", "A");
    fs.Put("C:\\b.ini", "B");
    fs.Put("C:\\windows\\win.ini", "W");
    c.arm(fs);
    try {
      c.act(fs);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const PlatformError& e) {
      EXPECT_STREQ(e.what(), c.message) << c.what;
    }
    EXPECT_EQ(fs.Get("C:\\a.ini"), "A") << c.what;
    EXPECT_EQ(fs.Get("C:\\b.ini"), "B") << c.what;
    EXPECT_EQ(fs.Get("C:\\windows\\win.ini"), "W") << c.what;
    EXPECT_FALSE(fs.Exists("C:\\c.ini")) << c.what;
    EXPECT_EQ(fs.Writes(), 0) << c.what;
  }
}

TEST(MemoryFiles, FaultsHitOnlyTheirFileAndOperationUntilHealed) {
  MemoryFileSystem fs;
  fs.Put("C:\\a.ini", "A");
  fs.FailRead("C:\\a.ini");
  fs.FailWrite("C:\\a.ini");
  fs.FailReplace("C:\\a.ini");
  EXPECT_EQ(fs.Get("C:\\a.ini"), "A") << "set-up access bypasses faults";
  EXPECT_TRUE(fs.Exists("C:\\a.ini"));
  fs.WriteAll("C:\\b.ini", "B");
  fs.Replace("C:\\b.ini", "C:\\c.ini");
  EXPECT_EQ(fs.ReadAll("C:\\c.ini"), "B");
  EXPECT_THROW(fs.WriteAll("C:\\a.ini", "x"), PlatformError);
  EXPECT_EQ(fs.Log().back(), "write failed C:\\a.ini");

  fs.Heal();
  EXPECT_EQ(fs.ReadAll("C:\\a.ini"), "A");
  fs.WriteAll("C:\\a2.ini", "2");
  fs.Replace("C:\\a2.ini", "C:\\a.ini");
  EXPECT_EQ(fs.ReadAll("C:\\a.ini"), "2");
}

// A file written piece by piece shows what arrived while open and after a full disk; one that
// cannot be created leaves the old file alone.
TEST(MemoryFiles, CreatedFilesTakeWritesUntilTheyFail) {
  const std::string path = "C:\\temp\\setup.exe";
  const struct {
    const char* what;
    std::function<void(MemoryFileSystem&)> arm;
    const char* error;
    std::string left;
  } cases[] = {
      {"every piece", [](MemoryFileSystem&) {}, "", std::string("ab\0cdefg", 8)},
      {"cannot be created", [](MemoryFileSystem& fs) { fs.FailWrite("c:/TEMP/setup.exe"); },
       "Cannot create file \"C:\\temp\\setup.exe\"", "old"},
      {"a full disk mid-piece", [](MemoryFileSystem& fs) { fs.FailWriteAfter("C:\\TEMP\\SETUP.EXE", 4); },
       "Cannot write file \"C:\\temp\\setup.exe\"", std::string("ab\0c", 4)},
      {"a full disk at a piece's end", [&](MemoryFileSystem& fs) { fs.FailWriteAfter(path, 3); },
       "Cannot write file \"C:\\temp\\setup.exe\"", std::string("ab\0", 3)},
      {"a full disk elsewhere", [](MemoryFileSystem& fs) { fs.FailWriteAfter("C:\\other.exe", 0); }, "",
       std::string("ab\0cdefg", 8)},
  };
  for (const auto& c : cases) {
    MemoryFileSystem fs;
    fs.Put(path, "old");
    c.arm(fs);
    std::string error, written;
    try {
      auto file = fs.Create(path);
      for (const std::string& piece : {std::string("ab\0", 3), std::string(), std::string("cdefg")}) {
        file->Write(piece.data(), piece.size());
        EXPECT_EQ(fs.Get(path), written += piece) << c.what << ": while open";
      }
    } catch (const PlatformError& e) {
      error = e.what();
    }
    EXPECT_EQ(error, c.error) << c.what;
    EXPECT_EQ(fs.Get(path), c.left) << c.what;
  }
}

}  // namespace
}  // namespace sorel
