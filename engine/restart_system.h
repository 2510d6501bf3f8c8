// Asking the system to restart the computer.
#pragma once
#include <string>

#include "platform/restart.h"

namespace sorel {

// Asks the system to restart the computer; the result is whether it accepted the request. When
// false, refusal holds the system's words for why.
bool RestartSystem(Restart& restart, std::string& refusal);

}  // namespace sorel
