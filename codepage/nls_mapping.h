// The code-page file mapping: which NLS file the system takes for code page 1252, the choices the
// language file offers, the user's choice in memory and the write step of a save.
#pragma once
#include <exception>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"

namespace sorel {

class NlsMapping {
 public:
  // The system's own file for code page 1252, compared exactly: a value differing only in
  // letter case counts as remapped.
  static constexpr const char* kStandardNls = "c_1252.nls";
  static constexpr const char* kCodePageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
  static constexpr const char* kCodePageValue = "1252";
  static constexpr const char* kMapSection = "NLSMaps";

  // langResFile is the language file whose "NLSMaps" section lists the choices, caption = file.
  NlsMapping(Registry& registry, ProfileFiles& profiles, FileSystem& files, std::string langResFile);

  // Without the language file: false, and nothing changes. Otherwise reads the system's current
  // file (none when the value is missing) and the captions of the choices, and returns true. A
  // value that cannot be read counts as none and its error is handed back in unreadable, for the
  // caller to raise once it has shown the choices.
  bool Load(std::exception_ptr& unreadable);
  // The choices' captions in file order, as the last Load found them.
  const std::vector<std::string>& Captions() const { return captions_; }
  // Whether each caption's file is the current one, read from the language file now (it may have
  // been edited since); nothing without the file.
  std::optional<std::vector<bool>> Checks() const;

  // The code-page switch: the standard file when the indicator is on, else defNlsSubst.
  void Toggle(const std::string& defNlsSubst);
  // Makes the file of caption current; false (nothing changed) without the language file.
  bool Choose(const std::string& caption);
  // Writes the current file under the code-page key; nothing when none was ever read, which would
  // blank the system's entry for its ANSI code page.
  void Write();

  const std::string& CurrentNlsFile() const { return current_; }
  // The indicator: the current file is not the standard one, as of the last change or load.
  bool Remapped() const { return remapped_; }

 private:
  std::string FileOf(const std::string& caption) const;
  void ShowIndicator() { remapped_ = current_ != kStandardNls; }

  Registry& registry_;
  ProfileFiles& profiles_;
  FileSystem& files_;
  std::string langResFile_;
  std::vector<std::string> captions_;
  std::string current_;
  bool remapped_ = false;
};

}  // namespace sorel
