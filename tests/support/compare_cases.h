// Text pairs with the order CompareStringA (ignoring case) and lstrcmpA give them under Wine 8,
// shared by the native tests of the emulation and the differential tests against the real functions.
#pragma once
#include <string>
#include <vector>

namespace sorel::test {

struct ComparePair {
  std::string a, b;
  int ignoreCase;  // sign of CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a, b)
  int exact;       // sign of lstrcmpA(a, b)
};

// Texts in code page 1252, the default of the test prefix.
const std::vector<ComparePair>& ComparePairs1252();
// Texts in code page 1250, ordered by the same default sort table (no Polish or Czech rules).
const std::vector<ComparePair>& ComparePairs1250();

// Bytes in hexadecimal, for failure messages about 8-bit texts.
std::string Hex(const std::string& bytes);

}  // namespace sorel::test
