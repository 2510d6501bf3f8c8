// The system family and the executable's version.
#include "app/version.h"

namespace sorel {

int DetectPlatform(SystemInfo& system) {
  switch (system.PlatformId()) {
    case 2: return 1;
    case 1: return 2;
    default: return 0;
  }
}

std::string GetExeVersion(SystemInfo& system) {
  auto version = system.FixedFileVersion(system.ExePath());
  if (!version) return "";
  auto word = [](std::uint32_t dword, bool high) {
    return std::to_string(high ? (dword >> 16) & 0xFFFF : dword & 0xFFFF);
  };
  return word(version->ms, true) + "." + word(version->ms, false) + "." + word(version->ls, true) +
         "." + word(version->ls, false);
}

}  // namespace sorel
