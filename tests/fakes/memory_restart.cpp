// In-memory restart for tests: answers from its fields and records every request.
#include "tests/fakes/memory_restart.h"

namespace sorel {

bool MemoryRestart::EnableShutdownPrivilege(std::string& error) {
  calls.push_back("privilege");
  if (!privilegeResult) error = privilegeError;
  return privilegeResult;
}

bool MemoryRestart::Shutdown(unsigned flags, std::string& error) {
  calls.push_back("exit " + std::to_string(flags));
  if (!exitResult) error = exitError;
  return exitResult;
}

}  // namespace sorel
