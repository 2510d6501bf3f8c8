// Text pairs with the order CompareStringA (ignoring case) and lstrcmpA give them under Wine 8.
#include "tests/support/compare_cases.h"

namespace sorel::test {

const std::vector<ComparePair>& ComparePairs1252() {
  static const std::vector<ComparePair> pairs = {
      // Entries of the substitution table: only letter case may differ for two texts to be one.
      {"Arial CE,238=Arial,238", "arial ce,238=ARIAL,238", 0, 1},
      {"Courier New CYR,204=Courier New,204", "Courier New Cyr,204=Courier New,204", 0, 1},
      {"Arial CE,238=Arial,238", "Arial CE,238=Arial,0", 1, 1},
      {"Arial CE,238=Arial,238", "Arial CE,238=Arial,2380", -1, -1},
      {"Arial CE,238", "Arial CE,238=Arial,238", -1, -1},
      {"Arial CE,238=Arial,238", "Arial CE ,238=Arial,238", 1, 1},
      {"Arial", "Arial Black", -1, -1},
      {"Times New Roman", "TimesNewRoman", -1, -1},
      {"Arial2", "Arial10", 1, 1},  // digit by digit, no numeric order
      // Empty texts and prefixes.
      {"", "", 0, 0},
      {"", "a", -1, -1},
      {"a", "", 1, 1},
      {"ab", "abc", -1, -1},
      // Letter case: lower before upper, decided only after letters and accents.
      {"a", "A", 0, -1},
      {"ab", "Ab", 0, -1},
      {"aB", "Ab", 0, -1},
      {"A", "b", -1, -1},
      {"\xE1", "A", 1, 1},  // the accent outranks the case
      // Accented letters sort with their base letter; the accent counts only after all letters.
      {"\xC9", "\xE9", 0, 1},
      {"e", "\xE9", -1, -1},
      {"\xE9", "f", -1, -1},
      {"\xE9" "a", "eb", -1, -1},
      {"\xE9" "a", "ea", 1, 1},
      {"a\xE1", "\xE1" "a", -1, -1},
      {"\xE4", "\xE5", -1, -1},
      {"\xFF", "y", 1, 1},
      {"\x9F", "\xFF", 0, 1},
      {"\x8A", "\x9A", 0, 1},
      {"\xF8", "o", 1, 1},
      {"\xF8", "p", -1, -1},
      {"\xD0", "D", 1, 1},
      // Ligatures sort as their letters.
      {"\xC6", "AE", 0, 0},
      {"\xE6", "ae", 0, 0},
      {"\xDF", "ss", 0, 0},
      {"\xDF", "SS", 0, -1},
      {"\x9C", "oe", 0, 0},
      // Word sort: hyphen, apostrophe and dashes are weighed only when all else is equal.
      {"a-b", "ab", 1, 1},
      {"co-op", "coop", 1, 1},
      {"co-op", "cop", -1, -1},
      {"a-c", "ab", 1, 1},
      {"it's", "its", 1, 1},
      {"it's", "it-s", -1, -1},
      {"a-bc", "ab-c", 1, 1},
      {"\x96", "-", 1, 1},
      {"a\x97" "b", "a\x96" "b", 1, 1},
      {"A-B", "a-b", 0, 1},
      {"a\x01", "a", 1, 1},
      {"Ar\xAD" "ial", "Arial", 0, 0},  // a soft hyphen counts for nothing
      // Punctuation and symbols sort before digits, digits before letters.
      {"a-b", "a b", 1, 1},
      {" a", "a", -1, -1},
      {"a\xA0" "b", "a b", 1, 1},
      {"a,b", "a=b", -1, -1},
      {"(a)", "a", -1, -1},
      {")", "(", 1, 1},
      {"_", "a", -1, -1},
      {"~", "!", 1, 1},
      {"1", "a", -1, -1},
      {"9", "A", -1, -1},
      {"!", "0", -1, -1},
      {"=", ",", 1, 1},
      {"\xBD", "1", -1, -1},
      {"\xB2", "2", 1, 1},
  };
  return pairs;
}

const std::vector<ComparePair>& ComparePairs1250() {
  static const std::vector<ComparePair> pairs = {
      {"\xB3", "l", 1, 1},       // l with stroke: an accented l
      {"\xB3", "m", -1, -1},
      {"\xA3", "\xB3", 0, 1},
      {"\xB9", "b", -1, -1},     // a with ogonek sorts with a
      {"\xA5" "a", "\xB9" "A", 0, 1},
      {"Arial CE,238=Arial,238", "ARIAL ce,238=arial,238", 0, -1},
      {"\x9C", "s", 1, 1},       // s acute, where 1252 has oe
      {"\x8C", "\x9C", 0, 1},
      {"\xBE", "\xB3", -1, -1},  // l caron before l stroke
      {"\xBF", "\x9F", 1, 1},    // z dot above after z acute
      {"\xA1", "a", -1, -1},     // caron: a symbol
  };
  return pairs;
}

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : bytes) {
    if (!out.empty()) out += ' ';
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

}  // namespace sorel::test
