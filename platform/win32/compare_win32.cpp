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

int Win32TextCompare::Compare(const std::string& a, const std::string& b) {
  int result = lstrcmpA(a.c_str(), b.c_str());
  return (result > 0) - (result < 0);
}

}  // namespace sorel
