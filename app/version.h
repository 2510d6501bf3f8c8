// The system family and the executable's version, as the program reports them.
#pragma once
#include <string>

#include "platform/system.h"

namespace sorel {

// 1 for the NT family, 2 for the 95/98 family, 0 for any other.
int DetectPlatform(SystemInfo& system);

// The executable's file version as its four numbers joined by "." ("1.1.3.6"); "" without a version
// resource.
std::string GetExeVersion(SystemInfo& system);

}  // namespace sorel
