// The program's own settings under HKEY_CURRENT_USER.
#include "app/settings.h"

namespace sorel {

void UpdateAppPath(RegistryKey& key, const std::string& exePath) {
  if (ReadTextSetting(key, "AppPath") == exePath) return;
  key.WriteString("AppPath", exePath);
}

}  // namespace sorel
