// Asking the system to restart, with the shutdown privilege the NT family requires first.
#include "engine/restart_system.h"

namespace sorel {

namespace {
constexpr unsigned kPlatformNT = 2;
}  // namespace

bool RestartSystem(SystemInfo& system, Restart& restart, unsigned flags, std::string& refusal) {
  // Without the privilege the NT family refuses the request anyway; do not ask.
  if (system.PlatformId() == kPlatformNT && !restart.EnableShutdownPrivilege(refusal)) return false;
  return restart.Shutdown(flags, refusal);
}

}  // namespace sorel
