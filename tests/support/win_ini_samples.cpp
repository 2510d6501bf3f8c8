// Generated win.ini files for the round-trip property tests.
#include "tests/support/win_ini_samples.h"

#include "tests/fakes/memory_profile.h"
#include "platform/profile_syntax.h"

#include <random>
#include <vector>

namespace sorel {

namespace {

const std::vector<std::string> kHeaders = {
    "[FontSubstitutes]", "[fontsubstitutes]", " [FontSubstitutes] ", "[ FontSubstitutes ]",
    "\t[FONTSUBSTITUTES]x", "[FontSubstitutes]]",
};
const std::vector<std::string> kOtherHeaders = {"[windows]", "[fonts]", " [Mail] ", "[\xC9t\xE9]", "[]", "[x]y]"};
const std::vector<std::string> kOddLines = {
    "[v=3", "[x", " [open", "; comment", ";Arial CE,238=Arial,238", "no equals sign", "", "", "  ", "\t",
    "\xA0\xB0 bytes=\xE9\xFF", "Helv=MS Sans Serif", "helv=Arial", "Arial CE,238 = Arial,238 ",
    "Times,0=Times New Roman,0", "Courier New CYR,204=Courier New,204", "A[b]=c", "Empty=",
    "Value=with=equals", "Key=\xE9t\xE9 \xD3", "k=v",
    // Names the system keeps apart, values a lookup changes, a nameless key, a long value.
    "\xC9=1", "\xE9=2", "A\xAD" "B=1", "AB=2", "Q=\"quoted\"", "S=\" spaced \"", "D=\"\"x\"\"", "'s'='x'",
    "\xFF=\"\x0C\"", "=nameless", std::string("Long=") + std::string(2100, 'L'),
};

template <class T>
const T& Pick(std::mt19937& random, const std::vector<T>& from) {
  return from[std::uniform_int_distribution<std::size_t>(0, from.size() - 1)(random)];
}

}  // namespace

std::string GeneratedWinIni(std::uint32_t seed) {
  std::mt19937 random(seed);
  auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(random) < percent; };
  const char* const ends[] = {"\r\n", "\n", "\r"};
  const std::string end = ends[std::uniform_int_distribution<int>(0, 2)(random)];

  std::vector<std::string> lines;
  const int sections = std::uniform_int_distribution<int>(0, 4)(random);
  const int table = chance(85) ? std::uniform_int_distribution<int>(0, sections)(random) : -1;
  for (int s = 0; s <= sections; ++s) {
    if (s == table) {
      lines.push_back(Pick(random, kHeaders));
    } else if (s > 0) {
      lines.push_back(Pick(random, kOtherHeaders));
    }
    const int count = std::uniform_int_distribution<int>(0, 6)(random);
    for (int i = 0; i < count; ++i) lines.push_back(Pick(random, kOddLines));
  }
  std::string text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    text += lines[i];
    if (i + 1 < lines.size() || chance(70)) text += end;
  }
  return text;
}

namespace {

std::vector<ProfileSection> OtherSections(const std::string& winIni) {
  auto sections = ParseProfile(winIni).sections;
  for (auto it = sections.begin(); it != sections.end(); ++it) {
    if (FoldProfileName(it->name.substr(0, it->name.find('\0'))) == "fontsubstitutes") {
      sections.erase(it);
      break;
    }
  }
  return sections;
}

}  // namespace

bool SameOutsideTheTable(const std::string& before, const std::string& after) {
  const auto a = OtherSections(before), b = OtherSections(after);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i].name != b[i].name || a[i].keys.size() != b[i].keys.size()) return false;
    for (std::size_t k = 0; k < a[i].keys.size(); ++k) {
      if (a[i].keys[k].name != b[i].keys[k].name || a[i].keys[k].value != b[i].keys[k].value) return false;
    }
  }
  return true;
}

void PutInPlaceOfItsName(TextCompare& compare, SubstTable& table, const std::string& entry) {
  // Every element of the name goes, not only the first: names the profile functions keep apart
  // ("Times\xAD,0" and "Times,0") can still be one name to the locale's comparison.
  const std::string name = entry.substr(0, entry.find('='));
  for (int same; (same = FindName(compare, table, name)) >= 0;) table.erase(table.begin() + same);
  AddEntry(compare, table, entry);
}

void EditTableForRoundTrip(TextCompare& compare, SubstTable& table, std::uint32_t seed) {
  if (!table.empty()) table.erase(table.begin() + seed % table.size());
  PutInPlaceOfItsName(compare, table, "Arial CE,238=Arial,238");
}

}  // namespace sorel
