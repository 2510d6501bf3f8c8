// Asking the system to restart, with the shutdown privilege the NT family requires first.
#include "engine/restart_system.h"

namespace sorel {

namespace {
constexpr unsigned kPlatformNT = 2;
}  // namespace

bool RestartSystem(SystemInfo& system, Restart& restart, unsigned flags) {
  // Without the privilege the NT family refuses the request anyway; do not ask.
  if (system.PlatformId() == kPlatformNT && !restart.EnableShutdownPrivilege()) return false;
  return restart.Shutdown(flags);
}

}  // namespace sorel
