// Asking the system to restart, with the shutdown privilege the NT family requires first.
#pragma once
#include <string>

#include "platform/restart.h"
#include "platform/system.h"

namespace sorel {

// Asks the system to shut down with flags (kEwxReboot restarts it). On the NT family (platform
// identifier 2) the shutdown privilege is enabled first; when that fails nothing is asked and the
// result is false. Otherwise the result is whether the system accepted the request. When false,
// refusal holds the system's words for why.
bool RestartSystem(SystemInfo& system, Restart& restart, unsigned flags, std::string& refusal);

}  // namespace sorel
