// Entry of the end-to-end tests: takes --exe=<path of SorelAssistant.exe> besides GoogleTest's flags.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/e2e/driver.h"

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i)
    if (std::strncmp(argv[i], "--exe=", 6) == 0) e2e::g_exePath = argv[i] + 6;
  if (e2e::g_exePath.empty()) {
    std::fprintf(stderr, "usage: sorel_e2e_tests --exe=<SorelAssistant.exe>\n");
    return 2;
  }
  return RUN_ALL_TESTS();
}
