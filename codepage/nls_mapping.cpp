// The code-page file mapping: which NLS file the system takes for code page 1252.
#include "codepage/nls_mapping.h"

#include "platform/errors.h"

namespace sorel {

NlsMapping::NlsMapping(Registry& registry, ProfileFiles& profiles, FileSystem& files, SystemInfo& system,
                       std::string langResFile)
    : registry_(registry), profiles_(profiles), files_(files), system_(system), langResFile_(std::move(langResFile)) {}

bool NlsMapping::Load(std::exception_ptr& unreadable) {
  if (!files_.Exists(langResFile_)) return false;
  captions_ = profiles_.SectionKeys(langResFile_, kMapSection);
  if (auto key = registry_.OpenForReading(RegRoot::LocalMachine, kCodePageKey)) {
    try {
      current_ = key->ValueExists(kCodePageValue) ? key->ReadString(kCodePageValue) : "";
    } catch (const PlatformError&) {
      current_.clear();
      unreadable = std::current_exception();
    }
  }
  ShowIndicator();
  return true;
}

std::string NlsMapping::FileOf(const std::string& caption) const {
  return profiles_.ReadString(langResFile_, kMapSection, caption, "");
}

std::optional<std::vector<NlsMapping::Choice>> NlsMapping::Choices() const {
  if (!files_.Exists(langResFile_)) return std::nullopt;
  std::vector<Choice> choices;
  for (const std::string& caption : captions_) {
    Choice choice;
    choice.file = FileOf(caption);
    choice.current = choice.file == current_;
    choice.missing = Missing(choice.file);
    choices.push_back(std::move(choice));
  }
  return choices;
}

std::string NlsMapping::PathOf(const std::string& file) const {
  return EnsureTrailingBackslash(system_.SystemDirectory()) + file;
}

// A folder the system cannot tell holds nothing we could vouch for.
bool NlsMapping::Missing(const std::string& file) const {
  if (file.empty()) return false;
  return system_.SystemDirectory().empty() || !files_.Exists(PathOf(file));
}

// The indicator as it was before the switch decides the direction.
std::string NlsMapping::ToggleTarget(const std::string& defNlsSubst) const {
  return remapped_ ? kStandardNls : defNlsSubst;
}

bool NlsMapping::Toggle(const std::string& defNlsSubst) {
  std::string target = ToggleTarget(defNlsSubst);
  if (Missing(target)) return false;
  current_ = std::move(target);
  ShowIndicator();
  return true;
}

NlsMapping::Pick NlsMapping::Choose(const std::string& caption) {
  if (!files_.Exists(langResFile_)) return Pick::NoLanguageFile;
  std::string file = FileOf(caption);
  if (Missing(file)) return Pick::FileMissing;
  current_ = std::move(file);
  ShowIndicator();
  return Pick::Made;
}

std::unique_ptr<RegistryKey> NlsMapping::OpenForWriting() {
  if (Missing(current_)) throw PlatformError(MissingFileMessage(PathOf(current_)));
  auto key = registry_.Open(RegRoot::LocalMachine, kCodePageKey, false);
  // A key that is there but refuses writing must not pass for a save that worked.
  if (!key && registry_.OpenForReading(RegRoot::LocalMachine, kCodePageKey))
    throw PlatformError(FailedToSetDataMessage(std::string(kCodePageKey) + "\\" + kCodePageValue));
  return key;
}

void NlsMapping::CheckWrite() {
  if (!current_.empty()) OpenForWriting();
}

void NlsMapping::Write() {
  if (current_.empty()) return;
  if (auto key = OpenForWriting()) key->WriteString(kCodePageValue, current_);
}

}  // namespace sorel
