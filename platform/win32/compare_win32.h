// Locale-aware text comparison through CompareStringA and lstrcmpA.
#pragma once
#include <string>

#include "platform/text_compare.h"

namespace sorel {

// Results are -1, 0 or 1.
class Win32TextCompare : public TextCompare {
 public:
  int CompareIgnoreCase(const std::string& a, const std::string& b) override;
  int Compare(const std::string& a, const std::string& b) override;
  // LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE), its closing zero included.
  std::string IgnoreCaseKey(const std::string& text) override;
};

}  // namespace sorel
