// Asking the system to restart the computer.
#include "engine/restart_system.h"

namespace sorel {

bool RestartSystem(Restart& restart, std::string& refusal) { return restart.RestartComputer(refusal); }

}  // namespace sorel
