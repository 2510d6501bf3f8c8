// The restart request over the token privilege functions and ExitWindowsEx.
#include "platform/win32/restart_win32.h"

#include <windows.h>

namespace sorel {

bool Win32Restart::EnableShutdownPrivilege() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) return false;
  TOKEN_PRIVILEGES tp = {};
  tp.PrivilegeCount = 1;
  tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  bool ok = LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid) != FALSE;
  if (ok) {
    // The previous state goes into a record of the same size (16 bytes: one privilege).
    static_assert(sizeof(TOKEN_PRIVILEGES) == 16, "one privilege");
    TOKEN_PRIVILEGES previous = {};
    DWORD length = 0;
    ok = AdjustTokenPrivileges(token, FALSE, &tp, sizeof(tp), &previous, &length) != FALSE;
  }
  CloseHandle(token);
  return ok;
}

bool Win32Restart::Shutdown(unsigned flags) { return ExitWindowsEx(flags, 0) != FALSE; }

}  // namespace sorel
