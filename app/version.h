// The system family and the executable's version, as the program reports them.
#pragma once
#include <string>

#include "platform/system.h"

namespace sorel {

// 1 for the NT family (platform id 2), 2 for the 95/98 family (platform id 1), 0 otherwise.
int DetectPlatform(SystemInfo& system);

// The executable's file version as four numbers joined by "." ("1.1.3.6"); "" without a version
// resource.
std::string GetExeVersion(SystemInfo& system);

}  // namespace sorel
