// The shell service over ShellExecuteA, the special-folder functions and GetTempPathA.
#pragma once
#include "platform/shell.h"

namespace sorel {

class Win32Application;

class Win32Shell : public Shell {
 public:
  explicit Win32Shell(Win32Application& app) : app_(app) {}
  void Open(const std::string& target) override;
  std::string FontsFolder() override;
  int OpenDocument(const std::string& file, const std::string& parameters) override;
  std::string TempFolder() override;

 private:
  Win32Application& app_;
};

}  // namespace sorel
