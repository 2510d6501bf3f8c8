// Locale-aware text comparison through CompareStringA and lstrcmpA.
#include "platform/win32/compare_win32.h"

#include <windows.h>

#include "platform/errors.h"

namespace sorel {

int Win32TextCompare::CompareIgnoreCase(const std::string& a, const std::string& b) {
  int result = CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), -1, b.c_str(), -1);
  // 0 means the call failed; calling it "equal" would make two different entries one.
  if (result == 0) throw PlatformError("Cannot compare texts");
  return result - CSTR_EQUAL;
}

std::string Win32TextCompare::IgnoreCaseKey(const std::string& text) {
  const DWORD flags = LCMAP_SORTKEY | NORM_IGNORECASE;
  // One call for the usual face name; only a longer text asks for its size first.
  char small[512];
  int got = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, small, sizeof(small));
  if (got > 0) return std::string(small, got);
  int size = LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, nullptr, 0);
  std::string key(size > 0 ? size : 0, '\0');
  // An empty key would make every text the same entry, so a failure must not pass as one.
  if (size <= 0 || LCMapStringA(LOCALE_USER_DEFAULT, flags, text.c_str(), -1, key.data(), size) != size) {
    throw PlatformError("Cannot compare texts");
  }
  return key;
}

int Win32TextCompare::Compare(const std::string& a, const std::string& b) {
  int result = lstrcmpA(a.c_str(), b.c_str());
  return (result > 0) - (result < 0);
}

}  // namespace sorel
