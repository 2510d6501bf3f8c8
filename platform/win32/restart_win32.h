// The restart request over the token privilege functions and ExitWindowsEx.
#pragma once
#include <string>

#include "platform/restart.h"
#include "platform/system.h"

namespace sorel {

// Opens the process token, looks up "SeShutdownPrivilege" and enables it (OpenProcessToken,
// LookupPrivilegeValueA, AdjustTokenPrivileges); false when any step fails, with the system's
// words for why in error.
bool EnableShutdownPrivilege(std::string& error);

// The family decides whether the privilege is needed; the system is read at every request.
class Win32Restart : public Restart {
 public:
  explicit Win32Restart(SystemInfo& system) : system_(system) {}
  bool RestartComputer(std::string& error) override;

 private:
  SystemInfo& system_;
};

}  // namespace sorel
