// In-memory shell for tests: every target recorded in order, a fonts folder the test sets.
#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace sorel {

class MemoryShell : public Shell {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  std::string FontsFolder() override { return fontsFolder; }

  std::vector<std::string> opened;
  std::string fontsFolder = "C:\\WINDOWS\\Fonts";  // "": the folder cannot be resolved
};

}  // namespace sorel
