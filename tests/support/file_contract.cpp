// The file checks: each states what the program's code expects and holds for both file systems.
#include "tests/support/file_contract.h"

#include <gtest/gtest.h>

#include "platform/errors.h"

namespace sorel::test {
namespace {

void BytesRoundTripUnchanged(FilesUnderTest& f) {
  const std::string path = f.folder + "big.bin";
  const std::string samples[] = {"", "one line", std::string("CR\rLF\nCRLF\r\nzero\0byte\xFF", 24),
                                 std::string(200000, '\x96')};
  for (const auto& bytes : samples) {
    f.files.WriteAll(path, bytes);
    EXPECT_EQ(f.files.ReadAll(path), bytes) << bytes.size();
  }
  f.files.WriteAll(path, "short");
  EXPECT_EQ(f.files.ReadAll(path), "short") << "a rewrite truncates";
}

void ExistsOnlyForFiles(FilesUnderTest& f) {
  f.files.WriteAll(f.folder + "a.txt", "x");
  EXPECT_TRUE(f.files.Exists(f.folder + "a.txt"));
  EXPECT_FALSE(f.files.Exists(f.folder + "b.txt"));
  EXPECT_FALSE(f.files.Exists(f.folder)) << "a folder is no file";
  f.files.Remove(f.folder + "a.txt");
  EXPECT_FALSE(f.files.Exists(f.folder + "a.txt"));
  f.files.Remove(f.folder + "a.txt");  // a missing file is no error
}

void ReplacePutsTheSourceInPlaceOfTheTarget(FilesUnderTest& f) {
  for (bool targetExists : {false, true}) {
    if (targetExists) f.files.WriteAll(f.folder + "a.txt", "old contents, longer than the new");
    f.files.WriteAll(f.folder + "b.txt", "new");
    f.files.Replace(f.folder + "b.txt", f.folder + "a.txt");
    EXPECT_EQ(f.files.ReadAll(f.folder + "a.txt"), "new") << targetExists;
    EXPECT_FALSE(f.files.Exists(f.folder + "b.txt")) << targetExists;
  }
}

void FailuresNameTheFileAndKeepTheTarget(FilesUnderTest& f) {
  const struct {
    const char* what;
    void (*act)(FilesUnderTest& f);
    std::string message;
  } cases[] = {
      {"read of a missing file", [](FilesUnderTest& f) { f.files.ReadAll(f.folder + "b.txt"); },
       "Cannot open file \"" + f.folder + "b.txt\""},
      {"replace from a missing file", [](FilesUnderTest& f) { f.files.Replace(f.folder + "b.txt", f.folder + "a.txt"); },
       "Cannot replace file \"" + f.folder + "a.txt\" with \"" + f.folder + "b.txt\""},
  };
  f.files.WriteAll(f.folder + "a.txt", "kept");
  for (const auto& c : cases) {
    try {
      c.act(f);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const PlatformError& e) {
      EXPECT_EQ(e.what(), c.message) << c.what;
    }
    EXPECT_EQ(f.files.ReadAll(f.folder + "a.txt"), "kept") << c.what;
  }
}

// A created file is emptied, readable while written and whole once closed.
void CreatedFilesTakeEveryPiece(FilesUnderTest& f) {
  const std::string path = f.folder + "a.txt";
  f.files.WriteAll(path, "old contents, longer than the new");
  std::string written;
  auto file = f.files.Create(path);
  EXPECT_EQ(f.files.ReadAll(path), "") << "created empty";
  for (const std::string& piece : {std::string(), std::string("MZ\0\x90\r\n", 6), std::string(300000, '\x96')}) {
    file->Write(piece.data(), piece.size());
    EXPECT_EQ(f.files.ReadAll(path), written += piece) << written.size();
  }
  file.reset();
  EXPECT_EQ(f.files.ReadAll(path), written);
}

}  // namespace

const std::vector<FileContractCase>& FileContractCases() {
  static const std::vector<FileContractCase> cases = {
      {"BytesRoundTripUnchanged", BytesRoundTripUnchanged},
      {"ExistsOnlyForFiles", ExistsOnlyForFiles},
      {"ReplacePutsTheSourceInPlaceOfTheTarget", ReplacePutsTheSourceInPlaceOfTheTarget},
      {"FailuresNameTheFileAndKeepTheTarget", FailuresNameTheFileAndKeepTheTarget},
      {"CreatedFilesTakeEveryPiece", CreatedFilesTakeEveryPiece},
  };
  return cases;
}

}  // namespace sorel::test
