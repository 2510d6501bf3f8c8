// The restart request over the token privilege functions and ExitWindowsEx.
#pragma once
#include "platform/restart.h"

namespace sorel {

class Win32Restart : public Restart {
 public:
  bool EnableShutdownPrivilege(std::string& error) override;
  bool Shutdown(unsigned flags, std::string& error) override;
};

}  // namespace sorel
