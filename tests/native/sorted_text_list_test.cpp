// Unit tests of SortedTextList: locale-aware order, repeats ignored, lookups by text and by name.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/sorted_text_list.h"
#include "tests/fakes/memory_compare.h"

namespace sorel {
namespace {

std::vector<std::string> Filled(TextCompare& compare, const std::vector<std::string>& texts) {
  SortedTextList list(compare);
  for (const auto& text : texts) list.Add(text);
  return list.Items();
}

TEST(SortedTextList, KeepsTheLocaleOrderAndTheFirstOfEqualTexts) {
  MemoryTextCompare compare;
  const struct {
    const char* what;
    std::vector<std::string> added;
    std::vector<std::string> held;
  } cases[] = {
      {"letters before case, case ignored", {"b", "A", "a", "B", "c"}, {"A", "b", "c"}},
      {"character sets sort digit by digit", {"238=Central European", "0=Western", "161=Greek", "1=x"},
       {"0=Western", "1=x", "161=Greek", "238=Central European"}},
      {"a style's repeat of a script", {"238=Central European", "238=CENTRAL EUROPEAN", "238=Central European"},
       {"238=Central European"}},
      {"accents are not case", {"\xC9l\xE9gant", "Elegant", "\xE9l\xE9gant"}, {"Elegant", "\xC9l\xE9gant"}},
      {"a ligature is its letters", {"\xC6sop", "AEsop", "aesop"}, {"\xC6sop"}},
      {"a soft hyphen counts for nothing", {"Ar\xAD" "ial", "Arial"}, {"Ar\xAD" "ial"}},
      {"a hyphen counts last", {"co-op", "coop", "cop"}, {"coop", "co-op", "cop"}},
      {"the empty text first", {"a", "", ""}, {"", "a"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Filled(compare, c.added), c.held) << c.what;
}

TEST(SortedTextList, AddSaysWhetherTheTextWasNew) {
  MemoryTextCompare compare;
  SortedTextList list(compare);
  EXPECT_TRUE(list.Add("Arial"));
  EXPECT_FALSE(list.Add("ARIAL"));
  EXPECT_TRUE(list.Add("Arial Black"));
  EXPECT_EQ(list.Count(), 2);
  EXPECT_EQ(list[0], "Arial");
}

TEST(SortedTextList, IndexOfFindsEqualTextsOnly) {
  MemoryTextCompare compare;
  SortedTextList list(compare);
  for (const char* text : {"Tahoma", "Arial", "Courier New", "\xC6sop"}) list.Add(text);
  EXPECT_EQ(list.IndexOf("AEsop"), 0);  // the ligature sorts as A, E
  EXPECT_EQ(list.IndexOf("arial"), 1);
  EXPECT_EQ(list.IndexOf("COURIER NEW"), 2);
  EXPECT_EQ(list.IndexOf("Tahoma"), 3);
  EXPECT_EQ(list.IndexOf("Courier"), -1);
  EXPECT_EQ(list.IndexOf("Courier New "), -1);
  EXPECT_EQ(list.IndexOf(""), -1);
}

TEST(SortedTextList, ClearForgetsTheTexts) {
  MemoryTextCompare compare;
  SortedTextList list(compare);
  list.Add("Arial");
  list.Add("ARIAL");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.IndexOf("Arial"), -1);
  // The same texts again, as the next face's scripts repeat the last face's.
  EXPECT_TRUE(list.Add("ARIAL"));
  EXPECT_FALSE(list.Add("ARIAL"));
  EXPECT_FALSE(list.Add("Arial"));
  list.Clear();
  EXPECT_TRUE(list.Add("Arial"));
  EXPECT_EQ(list.Items(), std::vector<std::string>{"Arial"});
}

TEST(SortedTextList, NameLookupTakesTheFirstLineOfThatName) {
  MemoryTextCompare compare;
  SortedTextList list(compare);
  for (const char* text : {"238=Eastern European", "238=Central European", "0=Western", "2380=x", "no name"}) {
    list.Add(text);
  }
  EXPECT_EQ(list.Value("238"), "Central European");
  EXPECT_EQ(list.Value("0"), "Western");
  EXPECT_EQ(list.Value("2380"), "x");
  EXPECT_EQ(list.Value("23"), "");
  EXPECT_EQ(list.IndexOfName("no name"), -1);
  EXPECT_EQ(list.IndexOfName("238"), list.IndexOf("238=Central European"));
}

// Large random fills, as two thousand faces give: the list must hold exactly one text of every
// class of equal texts, the first one added, in the order a full sort gives.
TEST(SortedTextList, RandomFillsMatchASortOfTheFirstOfEachText) {
  MemoryTextCompare compare;
  std::mt19937 rng(7);
  const std::string alphabet = "aAbBeE\xE9\xC9 -\xC6\xE6" "01";
  for (int round = 0; round < 20; ++round) {
    std::vector<std::string> added;
    for (int i = 0; i < 300; ++i) {
      std::string text;
      for (int n = rng() % 6; n > 0; --n) text += alphabet[rng() % alphabet.size()];
      added.push_back(text);
    }
    std::vector<std::string> expected;
    for (const auto& text : added) {
      bool held = std::any_of(expected.begin(), expected.end(),
                              [&](const std::string& e) { return compare.CompareIgnoreCase(e, text) == 0; });
      if (!held) expected.push_back(text);
    }
    std::stable_sort(expected.begin(), expected.end(),
                     [&](const std::string& a, const std::string& b) { return compare.CompareIgnoreCase(a, b) < 0; });
    ASSERT_EQ(Filled(compare, added), expected) << "round " << round;
  }
}

}  // namespace
}  // namespace sorel
