// In-memory restart for tests: answers from its fields and counts every request.
#include "tests/fakes/memory_restart.h"

namespace sorel {

bool MemoryRestart::RestartComputer(std::string& error) {
  ++requests;
  if (!accepted) error = refusal;
  return accepted;
}

}  // namespace sorel
