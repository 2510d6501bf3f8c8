// Asking the system to restart.
#pragma once
#include <string>

namespace sorel {

class Restart {
 public:
  virtual ~Restart() = default;
  // NT family: opens the process token, looks up "SeShutdownPrivilege" and enables it
  // (OpenProcessToken, LookupPrivilegeValueA, AdjustTokenPrivileges); false when any step fails,
  // with the system's words for why in error.
  virtual bool EnableShutdownPrivilege(std::string& error) = 0;
  // ExitWindowsEx(flags, 0); the restart itself happens after the call returns. False when the
  // system refuses, with its words for why in error.
  virtual bool Shutdown(unsigned flags, std::string& error) = 0;
};

// The flag that restarts the computer.
constexpr unsigned kEwxReboot = 2;

}  // namespace sorel
