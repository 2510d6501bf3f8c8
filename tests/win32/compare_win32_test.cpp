// Differential tests of text comparison: CompareStringA and lstrcmpA against the emulation.
#include <windows.h>

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "tests/fakes/memory_compare.h"
#include "platform/win32/compare_win32.h"
#include "tests/support/compare_cases.h"

namespace sorel {
namespace {

using test::Hex;

int Sign(int n) { return (n > 0) - (n < 0); }

// The system's comparison of texts in code page 1250, through the wide function, so that the
// 1250 emulation can be checked in a prefix whose ANSI code page is 1252.
class Wide1250Compare : public TextCompare {
 public:
  int CompareIgnoreCase(const std::string& a, const std::string& b) override { return Run(a, b, NORM_IGNORECASE); }
  int Compare(const std::string& a, const std::string& b) override { return Run(a, b, 0); }
  std::string IgnoreCaseKey(const std::string& text) override {
    std::wstring wide = Widen(text);
    const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
    int size = LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1, nullptr, 0);
    std::string key(size > 0 ? size : 0, '\0');
    // With LCMAP_SORTKEY the output is bytes, whatever the buffer's declared type.
    LCMapStringW(LOCALE_USER_DEFAULT, flags, wide.c_str(), -1, reinterpret_cast<LPWSTR>(key.data()), size);
    return key;
  }

 private:
  static std::wstring Widen(const std::string& s) {
    std::wstring w(s.size() + 1, L'\0');
    int n = MultiByteToWideChar(1250, 0, s.c_str(), -1, w.data(), static_cast<int>(w.size()));
    w.resize(n > 0 ? n - 1 : 0);
    return w;
  }
  static int Run(const std::string& a, const std::string& b, DWORD flags) {
    return CompareStringW(LOCALE_USER_DEFAULT, flags, Widen(a).c_str(), -1, Widen(b).c_str(), -1) - CSTR_EQUAL;
  }
};

// Counts and shows the first few texts where the two disagree.
class Agreement {
 public:
  Agreement(TextCompare& system, TextCompare& emulated) : system_(system), emulated_(emulated) {}
  void Check(const std::string& a, const std::string& b) {
    ++pairs_;
    int ic = Sign(system_.CompareIgnoreCase(a, b)), icEmulated = emulated_.CompareIgnoreCase(a, b);
    int ex = Sign(system_.Compare(a, b)), exEmulated = emulated_.Compare(a, b);
    // Keys must stand for the comparison on each side, and the emulation's keys must merge the
    // same texts as the system's, or a hashed table would find entries the system would not.
    bool sameKey = system_.IgnoreCaseKey(a) == system_.IgnoreCaseKey(b);
    bool sameKeyEmulated = emulated_.IgnoreCaseKey(a) == emulated_.IgnoreCaseKey(b);
    if (ic != icEmulated || ex != exEmulated || sameKey != (ic == 0) || sameKeyEmulated != sameKey) {
      if (++failures_ <= 10) {
        ADD_FAILURE() << Hex(a) << " / " << Hex(b) << ": system " << ic << "," << ex << "," << sameKey
                      << " emulation " << icEmulated << "," << exEmulated << "," << sameKeyEmulated;
      }
    }
  }
  int Failures() const { return failures_; }
  int Pairs() const { return pairs_; }

 private:
  TextCompare& system_;
  TextCompare& emulated_;
  int pairs_ = 0, failures_ = 0;
};

std::vector<std::string> AllSingleBytes() {
  std::vector<std::string> texts = {""};
  for (int b = 1; b < 256; ++b) texts.emplace_back(1, static_cast<char>(b));
  return texts;
}

// Texts that look like what the program compares: letters and digits mostly, with the
// punctuation of table entries, and every other byte now and then; pairs share prefixes often.
std::vector<std::pair<std::string, std::string>> RandomPairs(int count, unsigned seed) {
  const std::string common = "aAbBcCeEiIlLoOsSzZ0129 ,=-'()\xE9\xC9\xE1\xC1";
  std::mt19937 rng(seed);
  auto piece = [&](int length) {
    std::string s;
    for (int i = 0; i < length; ++i) {
      s += rng() % 3 ? common[rng() % common.size()] : static_cast<char>(1 + rng() % 255);
    }
    return s;
  };
  std::vector<std::pair<std::string, std::string>> pairs;
  for (int i = 0; i < count; ++i) {
    std::string a = piece(rng() % 7);
    std::string b = rng() % 2 ? a.substr(0, rng() % (a.size() + 1)) : "";
    b += piece(rng() % 5);
    pairs.emplace_back(a, b);
  }
  return pairs;
}

// Entries of the program's form with the letter case of some of their letters flipped.
std::vector<std::string> FontEntries() {
  const char* faces[] = {"Arial", "Courier New", "Times New Roman", "DejaVu Sans", "Tahoma"};
  const char* suffixes[] = {"CE", "CYR", "Greek", "TUR", "Baltic"};
  const char* charsets[] = {"238", "204", "161", "162", "186", "0"};
  std::vector<std::string> entries;
  for (const char* face : faces) {
    for (std::size_t i = 0; i < 5; ++i) {
      std::string entry = std::string(face) + " " + suffixes[i] + "," + charsets[i] + "=" + face + "," + charsets[i];
      entries.push_back(entry);
      std::string flipped = entry;
      for (std::size_t j = i; j < flipped.size(); j += 3) {
        char& c = flipped[j];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
        else if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
      }
      entries.push_back(flipped);
      entries.push_back(std::string(face) + ",0=" + face + "," + charsets[i]);
    }
  }
  return entries;
}

class CompareDifferential : public testing::Test {
 protected:
  void SetUp() override {
    if (GetACP() != 1252) GTEST_SKIP() << "the prefix's ANSI code page is " << GetACP() << ", not 1252";
  }
  Win32TextCompare system;
  MemoryTextCompare emulated{1252};
};

TEST_F(CompareDifferential, PairsOrderAsCapturedOnBothSides) {
  for (const auto& p : test::ComparePairs1252()) {
    EXPECT_EQ(system.CompareIgnoreCase(p.a, p.b), p.ignoreCase) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(Sign(system.Compare(p.a, p.b)), p.exact) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(emulated.CompareIgnoreCase(p.a, p.b), system.CompareIgnoreCase(p.a, p.b)) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(emulated.Compare(p.a, p.b), Sign(system.Compare(p.a, p.b))) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(system.IgnoreCaseKey(p.a) == system.IgnoreCaseKey(p.b), p.ignoreCase == 0)
        << Hex(p.a) << " / " << Hex(p.b);
  }
}

// The emulation builds the very keys the system builds, not just keys that merge the same texts.
TEST_F(CompareDifferential, IgnoreCaseKeysAreTheSystemsBytes) {
  std::vector<std::string> texts = AllSingleBytes();
  for (const auto& entry : FontEntries()) texts.push_back(entry);
  for (const auto& p : test::ComparePairs1252()) texts.insert(texts.end(), {p.a, p.b});
  texts.push_back(std::string(300, 'a') + "-");
  int failures = 0;
  for (const auto& text : texts) {
    std::string key = system.IgnoreCaseKey(text);
    if (emulated.IgnoreCaseKey(text) != key && ++failures <= 10) {
      ADD_FAILURE() << Hex(text) << ": system " << Hex(key) << " emulation " << Hex(emulated.IgnoreCaseKey(text));
    }
  }
  EXPECT_EQ(failures, 0) << "of " << texts.size();
}

TEST_F(CompareDifferential, EveryPairOfSingleBytesAgrees) {
  Agreement agreement(system, emulated);
  const auto texts = AllSingleBytes();
  for (const auto& a : texts) {
    for (const auto& b : texts) agreement.Check(a, b);
  }
  EXPECT_EQ(agreement.Failures(), 0) << "of " << agreement.Pairs();
}

TEST_F(CompareDifferential, RandomTextsAndFontEntriesAgree) {
  Agreement agreement(system, emulated);
  for (const auto& [a, b] : RandomPairs(30000, 1252)) agreement.Check(a, b);
  const auto entries = FontEntries();
  for (const auto& a : entries) {
    for (const auto& b : entries) agreement.Check(a, b);
  }
  EXPECT_EQ(agreement.Failures(), 0) << "of " << agreement.Pairs();
}

TEST(CompareDifferential1250, TheDefaultSortTableAgreesForCodePage1250) {
  Wide1250Compare system;
  MemoryTextCompare emulated(1250);
  for (const auto& p : test::ComparePairs1250()) {
    EXPECT_EQ(system.CompareIgnoreCase(p.a, p.b), p.ignoreCase) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(system.Compare(p.a, p.b), p.exact) << Hex(p.a) << " / " << Hex(p.b);
    EXPECT_EQ(system.IgnoreCaseKey(p.a) == system.IgnoreCaseKey(p.b), p.ignoreCase == 0)
        << Hex(p.a) << " / " << Hex(p.b);
  }
  Agreement agreement(system, emulated);
  const auto texts = AllSingleBytes();
  for (const auto& a : texts) {
    for (const auto& b : texts) agreement.Check(a, b);
    EXPECT_EQ(Hex(emulated.IgnoreCaseKey(a)), Hex(system.IgnoreCaseKey(a)));
  }
  for (const auto& [a, b] : RandomPairs(20000, 1250)) agreement.Check(a, b);
  EXPECT_EQ(agreement.Failures(), 0) << "of " << agreement.Pairs();
}

}  // namespace
}  // namespace sorel
