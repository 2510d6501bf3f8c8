// The shell service over ShellExecuteA, the special-folder functions and GetTempPathA.
#pragma once
#include <utility>

#include "platform/shell.h"
#include "platform/win32/owner_window.h"

namespace sorel {

class Win32Shell : public Shell {
 public:
  explicit Win32Shell(OwnerWindow owner) : owner_(std::move(owner)) {}
  void Open(const std::string& target) override;
  std::string FontsFolder() override;
  bool OpenDocument(const std::string& file, const std::string& parameters) override;
  std::string TempFolder() override;

 private:
  OwnerWindow owner_;
};

}  // namespace sorel
