// The program's own settings under HKEY_CURRENT_USER.
#pragma once
#include <string>

#include "platform/registry.h"

namespace sorel {

// The program key, spelt with its trailing backslash as the program has always used it.
inline constexpr const char* ProgramKey = "Software\\Velmora\\SorelAssistant\\";

// Keeps "AppPath" equal to the executable's full path (exact comparison: letter case counts);
// writes only when it is missing or differs.
void UpdateAppPath(RegistryKey& key, const std::string& exePath);

}  // namespace sorel
