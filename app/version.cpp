// The system family and the executable's version.
#include "app/version.h"

namespace sorel {

int DetectPlatform(SystemInfo& system) {
  switch (system.SystemFamily()) {
    case Family::Nt: return 1;
    case Family::Win9x: return 2;
    default: return 0;
  }
}

std::string GetExeVersion(SystemInfo& system) {
  auto version = system.FixedFileVersion(system.ExePath());
  if (!version) return "";
  return std::to_string(version->major) + "." + std::to_string(version->minor) + "." +
         std::to_string(version->build) + "." + std::to_string(version->revision);
}

}  // namespace sorel
