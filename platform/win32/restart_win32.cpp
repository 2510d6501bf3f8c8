// The restart request over the token privilege functions and ExitWindowsEx.
#include "platform/win32/restart_win32.h"

#include <windows.h>

#include "platform/win32/system_error_win32.h"

namespace sorel {

namespace {

// What the user reads when a refusal comes without the system's own words.
const char* const kPrivilegeRefused = "The privilege to restart the computer could not be taken.";
const char* const kRestartRefused = "The system refused to restart the computer.";

}  // namespace

bool EnableShutdownPrivilege(std::string& error) {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    error = LastErrorText(kPrivilegeRefused);
    return false;
  }
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
  // Taken before CloseHandle, which may set another last error.
  if (!ok) error = LastErrorText(kPrivilegeRefused);
  CloseHandle(token);
  return ok;
}

bool Win32Restart::RestartComputer(std::string& error) {
  // Without the privilege the NT family refuses the request anyway; do not ask.
  if (system_.SystemFamily() == Family::Nt && !EnableShutdownPrivilege(error)) return false;
  if (ExitWindowsEx(EWX_REBOOT, 0)) return true;
  error = LastErrorText(kRestartRefused);
  return false;
}

}  // namespace sorel
