// What the program relies on of a file system, as one list of checks run against the in-memory one
// (tests/native) and against the real one under Wine (tests/win32).
#pragma once
#include <string>
#include <vector>

#include "platform/files.h"

namespace sorel::test {

struct FilesUnderTest {
  FileSystem& files;
  std::string folder;  // an existing, empty folder, ending in "\"
};

struct FileContractCase {
  const char* name;
  void (*check)(FilesUnderTest& f);
};

const std::vector<FileContractCase>& FileContractCases();

}  // namespace sorel::test
