// Handing targets to the system's shell: web and mail addresses, files, folders; the temporary folder.
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
  // Opens a file with the shell's "open" verb (ShellExecuteA with the program's main window as
  // owner, parameters as given or none when empty, no folder, SW_SHOWNORMAL); true when the file was
  // opened, false when the shell could not open it (no such file, no application for it).
  virtual bool OpenDocument(const std::string& file, const std::string& parameters) = 0;
  // The system's folder for temporary files (GetTempPathA), ending in "\\"; "" when the system
  // gives none that fits in 260 characters.
  virtual std::string TempFolder() = 0;
};

}  // namespace sorel
