// Locale-aware text comparison in the user's default locale.
#pragma once
#include <string>

namespace sorel {

class TextCompare {
 public:
  virtual ~TextCompare() = default;
  // CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE): <0, 0 or >0.
  virtual int CompareIgnoreCase(const std::string& a, const std::string& b) = 0;
  // lstrcmpA: locale-aware, letter case counts.
  virtual int Compare(const std::string& a, const std::string& b) = 0;

  // A key whose bytes are equal for two texts exactly when CompareIgnoreCase finds them equal
  // (LCMapStringA with LCMAP_SORTKEY | NORM_IGNORECASE); lets large tables be searched by hashing.
  virtual std::string IgnoreCaseKey(const std::string& text) = 0;

  bool SameText(const std::string& a, const std::string& b) { return CompareIgnoreCase(a, b) == 0; }
};

}  // namespace sorel
