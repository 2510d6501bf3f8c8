// In-memory restart for tests: answers from its fields and records every request.
#include "platform/memory/memory_restart.h"

namespace sorel {

bool MemoryRestart::EnableShutdownPrivilege() {
  calls.push_back("privilege");
  return privilegeResult;
}

bool MemoryRestart::Shutdown(unsigned flags) {
  calls.push_back("exit " + std::to_string(flags));
  return exitResult;
}

}  // namespace sorel
