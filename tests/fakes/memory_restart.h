// In-memory restart for tests: a scripted answer and every request counted.
#pragma once
#include <string>

#include "platform/restart.h"

namespace sorel {

// Nothing is ever restarted. Tests set the answer and read back how often a restart was asked.
// A refusal gives its error text.
class MemoryRestart : public Restart {
 public:
  bool accepted = true;
  std::string refusal = "A required privilege is not held by the client.";

  bool RestartComputer(std::string& error) override;

  int requests = 0;
};

}  // namespace sorel
