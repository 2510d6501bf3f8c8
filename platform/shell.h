// Handing targets to the system's shell: web and mail addresses, files, folders.
#pragma once
#include <string>

namespace sorel {

class Shell {
 public:
  virtual ~Shell() = default;
  // The target's default action (ShellExecuteA with the desktop as owner, no verb, no parameters,
  // no folder, SW_SHOWNORMAL). Whether anything opened is not reported: the shell shows its own
  // messages.
  virtual void Open(const std::string& target) = 0;
  // The file-system path of the fonts folder (CSIDL_FONTS, asked with the program's main window
  // as owner, through the shell's allocator); "" when it has none.
  virtual std::string FontsFolder() = 0;
};

}  // namespace sorel
