// In-memory restart for tests: scripted results and every call recorded in order.
#pragma once
#include <string>
#include <vector>

#include "platform/restart.h"

namespace sorel {

// Nothing is ever shut down. Tests set the results and read back what was asked, in order:
// "privilege" for EnableShutdownPrivilege, "exit <flags>" for ExitWindows.
class MemoryRestart : public Restart {
 public:
  bool privilegeResult = true;
  bool exitResult = true;

  bool EnableShutdownPrivilege() override;
  bool Shutdown(unsigned flags) override;

  std::vector<std::string> calls;
};

}  // namespace sorel
