// The program's own settings under HKEY_CURRENT_USER.
#pragma once
#include <string>

#include "platform/program_key.h"
#include "platform/registry.h"

namespace sorel {

// Keeps "AppPath" equal to the executable's full path (exact comparison: letter case counts);
// writes only when it is missing, of another type than text, or differs.
void UpdateAppPath(RegistryKey& key, const std::string& exePath);

}  // namespace sorel
