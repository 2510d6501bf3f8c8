// Unit tests of IgnoreCaseIndex: equal texts as the locale sees them, repeats in the order added, snapshots.
#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "engine/ignore_case_index.h"
#include "engine/subst_table.h"
#include "tests/fakes/memory_compare.h"

namespace sorel {
namespace {

// Each case fills an index with texts at their places, then asks for one text: RemoveFirst must
// give the places of the texts equal to it, first added first, and First the first of them.
TEST(IgnoreCaseIndex, FindsAndRemovesEqualTextsFirstAddedFirst) {
  const struct {
    const char* what;
    int codePage;
    bool addNew;  // filled with AddNew instead of Add
    std::vector<std::string> texts;
    std::string asked;
    std::vector<std::size_t> held;  // places of the texts equal to asked, first first
  } cases[] = {
      {"letter case", 1252, false, {"x", "Arial"}, "ARIAL", {1}},
      {"accents are not case", 1252, false, {"\xC9l\xE9gant", "Elegant"}, "elegant", {1}},
      {"a ligature is its letters", 1252, false, {"x", "\xC6sop"}, "aesop", {1}},
      {"a soft hyphen counts for nothing", 1252, false, {"Ar\xAD" "ial"}, "arial", {0}},
      {"a hyphen counts", 1252, false, {"co-op"}, "coop", {}},
      {"1250: \xA3 and \xB3 are one letter", 1250, false, {"\xA3\xF3" "dz"}, "\xB3\xD3" "DZ", {0}},
      {"1252: \xA3 and \xB3 are two signs", 1252, false, {"\xA3\xF3" "dz"}, "\xB3\xD3" "DZ", {}},
      {"repeats in the order added", 1252, false, {"a", "b", "A", "a"}, "a", {0, 2, 3}},
      {"AddNew keeps the first of equal texts", 1252, true, {"b", "A", "a", "B"}, "a", {1}},
      {"nothing held", 1252, false, {}, "", {}},
  };
  for (const auto& c : cases) {
    MemoryTextCompare compare(c.codePage);
    IgnoreCaseIndex index(compare);
    for (std::size_t i = 0; i < c.texts.size(); ++i) {
      if (c.addNew) {
        index.AddNew(c.texts[i], i);
      } else {
        index.Add(c.texts[i], i);
      }
    }
    EXPECT_EQ(index.Has(c.asked), !c.held.empty()) << c.what;
    EXPECT_EQ(index.First(c.asked), c.held.empty() ? IgnoreCaseIndex::npos : c.held[0]) << c.what;
    std::vector<std::size_t> removed;
    for (std::size_t at = index.RemoveFirst(c.asked); at != IgnoreCaseIndex::npos && removed.size() <= c.texts.size();
         at = index.RemoveFirst(c.asked)) {
      removed.push_back(at);
    }
    EXPECT_EQ(removed, c.held) << c.what;
    EXPECT_FALSE(index.Has(c.asked)) << c.what;
    // A text held again after its last removal is the first once more.
    index.Add(c.asked, 99);
    EXPECT_EQ(index.First(c.asked), 99u) << c.what;
  }
}

// The index stands in for HasEntry's scan over the table; the two must never answer differently,
// whatever letter case, accents, ligatures, ignorable or word-sort characters the texts hold.
TEST(IgnoreCaseIndex, AnswersAsHasEntryDoes) {
  const std::string alphabet =
      "aAbBeEsSoOtT 0123,=-'\xAD\xE9\xC9\xE8\xC6\xE6\xDF\x9C\x8C\xF8\xD8\xFF\x9F\xE4\xC4\xAA\xB2";
  // Spellings a locale-aware comparison may merge: ligatures and their letters, case twins.
  const std::vector<std::pair<std::string, std::string>> equivalents = {
      {"\xC6", "AE"}, {"\xE6", "ae"}, {"\xDF", "ss"}, {"\x9C", "oe"}, {"\x8C", "OE"}, {"\xC6", "Ae"},
      {"\xE9", "\xC9"}, {"a", "A"}, {"\xFF", "\x9F"}, {"\xE4", "\xC4"}, {"", "\xAD"}};
  for (int codePage : {1252, 1250}) {
    MemoryTextCompare compare(codePage);
    std::mt19937 rng(codePage);
    auto randomText = [&](int maxLength) {
      std::string text;
      for (int n = rng() % (maxLength + 1); n > 0; --n) text += alphabet[rng() % alphabet.size()];
      return text;
    };
    // A variant of text that may or may not be the same entry.
    auto variant = [&](std::string text) {
      for (int edits = 1 + rng() % 3; edits > 0; --edits) {
        const auto& [from, to] = equivalents[rng() % equivalents.size()];
        bool forward = rng() % 2;
        const std::string& find = forward ? from : to;
        const std::string& put = forward ? to : from;
        std::size_t at = find.empty() ? rng() % (text.size() + 1) : text.find(find);
        if (at != std::string::npos) text.replace(at, find.size(), put);
        if (rng() % 8 == 0) text.insert(rng() % (text.size() + 1), 1, alphabet[rng() % alphabet.size()]);
      }
      return text;
    };
    int present = 0, absent = 0;
    for (int round = 0; round < 150; ++round) {
      SubstTable table;
      for (int n = rng() % 60; n > 0; --n) {
        table.push_back(randomText(6) + "," + std::to_string(rng() % 3) + "=" + randomText(4));
      }
      const IgnoreCaseIndex index(compare, table);
      for (int q = 0; q < 100; ++q) {
        std::string query = !table.empty() && rng() % 4 ? variant(table[rng() % table.size()]) : randomText(8);
        bool expected = HasEntry(compare, table, query);
        ASSERT_EQ(index.Has(query), expected) << codePage << ": " << query;
        ++(expected ? present : absent);
      }
    }
    // Both answers must have been tried many times for the agreement to mean something.
    EXPECT_GT(present, 1000) << codePage;
    EXPECT_GT(absent, 1000) << codePage;
  }
}

TEST(IgnoreCaseIndex, IsASnapshotOfTheTable) {
  MemoryTextCompare compare;
  SubstTable table = {"Arial CE,238=Arial,238"};
  const IgnoreCaseIndex index(compare, table);
  table.clear();
  EXPECT_TRUE(index.Has("arial ce,238=arial,238"));
  EXPECT_FALSE(index.Has("Arial CE,238=Arial,23"));
  EXPECT_FALSE(IgnoreCaseIndex(compare, {}).Has(""));
}

}  // namespace
}  // namespace sorel
