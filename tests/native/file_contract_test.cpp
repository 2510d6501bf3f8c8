// The file checks every file system must pass, run against the in-memory one.
#include <gtest/gtest.h>

#include "tests/fakes/memory_files.h"
#include "tests/support/file_contract.h"

namespace sorel {
namespace {

class MemoryFilesContract : public testing::TestWithParam<test::FileContractCase> {};

TEST_P(MemoryFilesContract, Holds) {
  MemoryFileSystem files;
  test::FilesUnderTest f{files, "C:\\sorel\\"};
  GetParam().check(f);
}

INSTANTIATE_TEST_SUITE_P(Files, MemoryFilesContract, testing::ValuesIn(test::FileContractCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorel
