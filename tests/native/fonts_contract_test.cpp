// The font enumeration checks every implementation must pass, run against the in-memory one.
#include <gtest/gtest.h>

#include "tests/fakes/memory_fonts.h"
#include "tests/support/fonts_contract.h"

namespace sorel {
namespace {

using test::FontsContractCase;

class MemoryFontsContract : public testing::TestWithParam<FontsContractCase> {};

// The fake holds what Wine reports for the host's DejaVu Sans (see tests/win32/fonts_win32_test.cpp),
// in two of its character sets.
TEST_P(MemoryFontsContract, Holds) {
  MemoryFonts fonts;
  const std::string face = "DejaVu Sans";
  const std::vector<FaceStyle> four = {{false, false}, {true, false}, {false, true}, {true, true}};
  fonts.fonts = {{"DejaVu Serif", false, 0}, {face, false, 0}, {face, false, 238}};
  fonts.SetScripts(face, {{0, "Western"}, {238, "Central European"}, {0, "Western"}, {238, "Central European"}});
  fonts.SetStyles(face, 0, four);
  fonts.SetStyles(face, 238, four);
  test::FontsUnderTest f{fonts, face};
  GetParam().check(f);
}

INSTANTIATE_TEST_SUITE_P(Fonts, MemoryFontsContract, testing::ValuesIn(test::FontsContractCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorel
