// Unit tests of the comparison emulation: sort keys captured under Wine and the shared ordered pairs.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/fakes/memory_compare.h"
#include "tests/support/compare_cases.h"

namespace sorel {
namespace {

using test::Hex;

// Keys as LCMapStringA(LCMAP_SORTKEY) returned them under Wine 8 (user locale en-US, code page
// 1252 unless said otherwise).
TEST(SortKey, MatchesKeysCapturedUnderWine) {
  const struct {
    std::string text;
    bool ignoreCase;
    int codePage;
    const char* key;
  } cases[] = {
      {"", false, 1252, "01 01 01 01 00"},
      {"a-b", false, 1252, "0E 02 0E 09 01 01 01 01 FF FE 82 12 00"},
      {"A-B", true, 1252, "0E 02 0E 09 01 01 01 01 FF FE 82 12 00"},
      {"A-B", false, 1252, "0E 02 0E 09 01 01 12 12 01 01 FF FE 82 12 00"},
      {"aBc", false, 1252, "0E 02 0E 09 0E 0A 01 01 02 12 01 01 00"},
      {"\xC9t\xE9", false, 1252, "0E 21 0E 99 0E 21 01 0E 02 0E 01 12 01 01 00"},
      {"\xC9t\xE9", true, 1252, "0E 21 0E 99 0E 21 01 0E 02 0E 01 01 01 00"},
      {"\xE6", false, 1252, "0E 02 0E 21 01 01 01 01 00"},
      {"\x8C", false, 1252, "0E 7C 0E 21 01 01 12 12 01 01 00"},
      {"a\x96\x96", false, 1252, "0E 02 01 01 01 01 FF FE 89 12 FF FE 89 12 00"},
      {"co-op", false, 1252, "0E 0A 0E 7C 0E 7C 0E 7E 01 01 01 01 FF FD 82 12 00"},
      {"a b", false, 1252, "0E 02 07 02 0E 09 01 01 01 01 00"},
      {"a=b", false, 1252, "0E 02 08 12 0E 09 01 01 01 01 00"},
      {"\xAA", false, 1252, "0E 02 01 03 01 0E 01 01 00"},
      {"\xAA", true, 1252, "0E 02 01 03 01 06 01 01 00"},
      {"\x99", true, 1252, "0E 9C 01 01 01 01 00"},
      {"\x81", false, 1252, "0C FA 01 1E 01 01 01 00"},
      {"\xA3", false, 1250, "0E 48 01 1F 01 12 01 01 00"},
      {"\x8C", false, 1250, "0E 91 01 0E 01 12 01 01 00"},
      {std::string("ab\0cd", 5), false, 1252, "0E 02 0E 09 01 01 01 01 00"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Hex(SortKey(c.text, c.ignoreCase, c.codePage)), c.key) << Hex(c.text) << " " << c.codePage;
  }
}

// A hyphen records how many weights stand before it, in two bytes.
TEST(SortKey, PositionOfAWordSortCharacterInALongText) {
  std::string key = SortKey(std::string(300, 'a') + "-", false);
  EXPECT_EQ(Hex(key.substr(key.size() - 5)), "FE D3 82 12 00");
  key = SortKey(std::string(255, 'a') + "-", false);
  EXPECT_EQ(Hex(key.substr(key.size() - 5)), "FF 00 82 12 00");
}

void CheckPairs(MemoryTextCompare& compare, const std::vector<test::ComparePair>& pairs) {
  for (const auto& p : pairs) {
    EXPECT_EQ(compare.CompareIgnoreCase(p.a, p.b), p.ignoreCase) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(compare.CompareIgnoreCase(p.b, p.a), -p.ignoreCase) << Hex(p.b) << " / " << Hex(p.a);
    EXPECT_EQ(compare.Compare(p.a, p.b), p.exact) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(compare.Compare(p.b, p.a), -p.exact) << Hex(p.b) << " / " << Hex(p.a);
    EXPECT_EQ(compare.SameText(p.a, p.b), p.ignoreCase == 0) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(compare.IgnoreCaseKey(p.a) == compare.IgnoreCaseKey(p.b), p.ignoreCase == 0)
        << Hex(p.a) << " / " << Hex(p.b);
  }
}

TEST(MemoryTextCompare, OrdersThePairsAsWineDoesInCodePage1252) {
  MemoryTextCompare byDefault;
  CheckPairs(byDefault, test::ComparePairs1252());
  MemoryTextCompare explicit1252(1252);
  CheckPairs(explicit1252, test::ComparePairs1252());
}

TEST(MemoryTextCompare, OrdersThePairsAsWineDoesInCodePage1250) {
  MemoryTextCompare compare(1250);
  CheckPairs(compare, test::ComparePairs1250());
}

// The upper half of the code page decides which letter a byte is.
TEST(MemoryTextCompare, TheCodePageChoosesTheCharacter) {
  MemoryTextCompare west(1252), east(1250);
  EXPECT_EQ(west.CompareIgnoreCase("\x9C", "oe"), 0);   // oe ligature
  EXPECT_EQ(east.CompareIgnoreCase("\x9C", "oe"), 1);   // s acute
  EXPECT_EQ(west.CompareIgnoreCase("\xA3", "L"), -1);   // pound sign, a symbol
  EXPECT_EQ(east.CompareIgnoreCase("\xA3", "L"), 1);    // L with stroke
}

// The comparison settles most pairs on their letters alone without building keys; it must still
// order every pair as the whole keys do, and its keys must be those keys.
TEST(MemoryTextCompare, ComparisonsAndKeysFollowTheWholeSortKeys) {
  std::mt19937 rng(1250);
  const std::string common = "aAeE\xE9\xC9\xC6\xE6\xDF" "s-'\xAD\x96 ,=01";
  auto text = [&] {
    std::string s;
    for (int n = rng() % 8; n > 0; --n) {
      s += rng() % 4 ? common[rng() % common.size()] : static_cast<char>(1 + rng() % 255);
    }
    return s;
  };
  auto sign = [](int n) { return (n > 0) - (n < 0); };
  for (int codePage : {1252, 1250}) {
    MemoryTextCompare compare(codePage);
    int failures = 0;
    for (int i = 0; i < 50000 && failures < 10; ++i) {
      std::string a = text(), b = rng() % 2 ? a.substr(0, rng() % (a.size() + 1)) + text() : text();
      std::string ignoreCaseA = SortKey(a, true, codePage), ignoreCaseB = SortKey(b, true, codePage);
      bool agrees = compare.CompareIgnoreCase(a, b) == sign(ignoreCaseA.compare(ignoreCaseB)) &&
                    compare.Compare(a, b) == sign(SortKey(a, false, codePage).compare(SortKey(b, false, codePage))) &&
                    compare.IgnoreCaseKey(a) == ignoreCaseA;
      if (!agrees) {
        ++failures;
        ADD_FAILURE() << codePage << ": " << Hex(a) << " / " << Hex(b);
      }
    }
  }
}

// Every byte equals itself and, ignoring case, its other-case twin.
TEST(MemoryTextCompare, CaseTwinsAreTheSameTextInBothCodePages) {
  const struct {
    int codePage;
    const char* upper;
    const char* lower;
  } cases[] = {
      {1252, "ABCDEFGHIJKLMNOPQRSTUVWXYZ\x8A\x8C\x8E\x9F\xC0\xC1\xC9\xD0\xD1\xD6\xD8\xDE",
       "abcdefghijklmnopqrstuvwxyz\x9A\x9C\x9E\xFF\xE0\xE1\xE9\xF0\xF1\xF6\xF8\xFE"},
      {1250, "\x8A\x8C\x8D\x8E\x8F\xA3\xA5\xAA\xAF\xBC\xC0\xC3\xC6\xC8\xCA\xD0\xD5\xD8\xD9\xDB\xDE",
       "\x9A\x9C\x9D\x9E\x9F\xB3\xB9\xBA\xBF\xBE\xE0\xE3\xE6\xE8\xEA\xF0\xF5\xF8\xF9\xFB\xFE"},
  };
  for (const auto& c : cases) {
    MemoryTextCompare compare(c.codePage);
    std::string upper = c.upper, lower = c.lower;
    ASSERT_EQ(upper.size(), lower.size());
    for (std::size_t i = 0; i < upper.size(); ++i) {
      std::string u(1, upper[i]), l(1, lower[i]);
      EXPECT_EQ(compare.CompareIgnoreCase(u, l), 0) << c.codePage << " " << Hex(u);
      EXPECT_EQ(compare.IgnoreCaseKey(u), compare.IgnoreCaseKey(l)) << c.codePage << " " << Hex(u);
      EXPECT_EQ(compare.Compare(l, u), -1) << c.codePage << " " << Hex(u);
      EXPECT_EQ(compare.Compare(u, u), 0) << c.codePage << " " << Hex(u);
    }
  }
}

}  // namespace
}  // namespace sorel
