// Asking the system to restart.
#pragma once
#include <string>

namespace sorel {

class Restart {
 public:
  virtual ~Restart() = default;
  // Asks the system to restart the computer; the restart itself happens after the call returns.
  // On the NT family the process takes the shutdown privilege first, without which the system
  // refuses, and asks nothing when it cannot. False when a step fails or the system refuses, with
  // the system's words for why in error.
  virtual bool RestartComputer(std::string& error) = 0;
};

}  // namespace sorel
