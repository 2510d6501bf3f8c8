// The code-page file mapping: which NLS file the system takes for code page 1252, the choices the
// language file offers, the user's choice in memory and the write step of a save.
#pragma once
#include <exception>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/files.h"
#include "platform/profile.h"
#include "platform/registry.h"
#include "platform/system.h"

namespace sorel {

// The NT family does not start when the file named for its ANSI code page is missing, so a name
// is taken, and written, only while the system folder holds its file. The empty text names no
// file: it stands for "no mapping read" and is never written.
class NlsMapping {
 public:
  // The system's own file for code page 1252, compared exactly: a value differing only in
  // letter case counts as remapped.
  static constexpr const char* kStandardNls = "c_1252.nls";
  static constexpr const char* kCodePageKey = "SYSTEM\\CurrentControlSet\\Control\\Nls\\CodePage";
  static constexpr const char* kCodePageValue = "1252";
  static constexpr const char* kMapSection = "NLSMaps";

  // The error of a save whose file is missing; path is where the system would look for it.
  static std::string MissingFileMessage(const std::string& path) {
    return "The code-page file \"" + path + "\" does not exist";
  }

  // One choice of the language file as it stands now.
  struct Choice {
    std::string file;      // the caption's file; "" when the caption has none
    bool current = false;  // the current file, compared exactly
    bool missing = false;  // Missing(file): the choice cannot be taken
  };

  // langResFile is the language file whose "NLSMaps" section lists the choices, caption = file;
  // system tells the system folder the files must be in.
  NlsMapping(Registry& registry, ProfileFiles& profiles, FileSystem& files, SystemInfo& system,
             std::string langResFile);

  // Without the language file: false, and nothing changes. Otherwise reads the system's current
  // file (none when the value is missing) with read access, so that a user who may not change the
  // key still sees the mapping, reads the captions of the choices, and returns true. A value that
  // cannot be read counts as none and its error is handed back in unreadable, for the caller to
  // raise once it has shown the choices.
  bool Load(std::exception_ptr& unreadable);
  // The choices' captions in file order, as the last Load found them.
  const std::vector<std::string>& Captions() const { return captions_; }
  // The file of a caption, read from the language file now; "" when it names none.
  std::string FileOf(const std::string& caption) const;
  // Each caption's choice, read from the language file and looked for in the system folder now
  // (either may have changed since); nothing without the language file.
  std::optional<std::vector<Choice>> Choices() const;

  // Whether file is a name whose file the system folder lacks (or the folder is unknown); the
  // empty text is no name and is never missing.
  bool Missing(const std::string& file) const;
  // Where the system looks for file: the system folder and the name.
  std::string PathOf(const std::string& file) const;

  // The file the code-page switch goes to: the standard file when the indicator is on, else
  // defNlsSubst.
  std::string ToggleTarget(const std::string& defNlsSubst) const;
  // The code-page switch: makes ToggleTarget current; false (nothing changed) when it is missing.
  bool Toggle(const std::string& defNlsSubst);

  enum class Pick { Made, NoLanguageFile, FileMissing };
  // Makes the file of caption current; nothing changes without the language file or when the
  // file is missing.
  Pick Choose(const std::string& caption);

  // The check of a save, before anything is written: throws PlatformError when the current file
  // could not be written, being missing or the key existing but refusing writes.
  void CheckWrite();
  // Writes the current file under the code-page key, after the same check; nothing when none was
  // ever read, which would blank the system's entry for its ANSI code page, and nothing when the
  // key does not exist.
  void Write();

  const std::string& CurrentNlsFile() const { return current_; }
  // The indicator: the current file is not the standard one, as of the last change or load.
  bool Remapped() const { return remapped_; }

 private:
  void ShowIndicator() { remapped_ = current_ != kStandardNls; }
  // The key opened for writing the current (non-empty) file, after the checks of CheckWrite;
  // nullptr when the key does not exist.
  std::unique_ptr<RegistryKey> OpenForWriting();

  Registry& registry_;
  ProfileFiles& profiles_;
  FileSystem& files_;
  SystemInfo& system_;
  std::string langResFile_;
  std::vector<std::string> captions_;
  std::string current_;
  bool remapped_ = false;
};

}  // namespace sorel
