// In-memory restart for tests: scripted results and every call recorded in order.
#pragma once
#include <string>
#include <vector>

#include "platform/restart.h"

namespace sorel {

// Nothing is ever shut down. Tests set the results and read back what was asked, in order:
// "privilege" for EnableShutdownPrivilege, "exit <flags>" for ExitWindows. A refusal gives its
// error text.
class MemoryRestart : public Restart {
 public:
  bool privilegeResult = true;
  bool exitResult = true;
  std::string privilegeError = "Not all privileges or groups referenced are assigned to the caller.";
  std::string exitError = "A required privilege is not held by the client.";

  bool EnableShutdownPrivilege(std::string& error) override;
  bool Shutdown(unsigned flags, std::string& error) override;

  std::vector<std::string> calls;
};

}  // namespace sorel
