// Asking the system to restart.
#pragma once

namespace sorel {

class Restart {
 public:
  virtual ~Restart() = default;
  // NT family: opens the process token, looks up "SeShutdownPrivilege" and enables it
  // (OpenProcessToken, LookupPrivilegeValueA, AdjustTokenPrivileges); false when any step fails.
  virtual bool EnableShutdownPrivilege() = 0;
  // ExitWindowsEx(flags, 0); the restart itself happens after the call returns.
  virtual bool Shutdown(unsigned flags) = 0;
};

// The flag that restarts the computer.
constexpr unsigned kEwxReboot = 2;

}  // namespace sorel
