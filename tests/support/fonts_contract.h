// What the program relies on of font enumeration, as one list of checks run against the in-memory
// fonts (tests/native) and against GDI under Wine (tests/win32): the fake the other tests stand on
// cannot drift from the system unnoticed.
#pragma once
#include <string>
#include <vector>

#include "platform/fonts.h"

namespace sorel::test {

struct FontsUnderTest {
  Fonts& fonts;
  // A face the system has in the Western and Central European character sets (0 and 238), not
  // in Shift-JIS (128), with a regular, a bold, an italic and a bold italic font in each.
  std::string face;
};

struct FontsContractCase {
  const char* name;
  void (*check)(FontsUnderTest& f);
};

const std::vector<FontsContractCase>& FontsContractCases();

}  // namespace sorel::test
