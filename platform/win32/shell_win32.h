// The shell service over ShellExecuteA and the special-folder functions.
#pragma once
#include "platform/shell.h"

namespace sorel {

class Win32Application;

class Win32Shell : public Shell {
 public:
  explicit Win32Shell(Win32Application& app) : app_(app) {}
  void Open(const std::string& target) override;
  std::string FontsFolder() override;

 private:
  Win32Application& app_;
};

}  // namespace sorel
