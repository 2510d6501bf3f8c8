// The code-page file mapping: which NLS file the system takes for code page 1252.
#include "codepage/nls_mapping.h"

#include "platform/errors.h"

namespace sorel {

NlsMapping::NlsMapping(Registry& registry, ProfileFiles& profiles, FileSystem& files, std::string langResFile)
    : registry_(registry), profiles_(profiles), files_(files), langResFile_(std::move(langResFile)) {}

bool NlsMapping::Load(std::exception_ptr& unreadable) {
  if (!files_.Exists(langResFile_)) return false;
  captions_ = profiles_.SectionKeys(langResFile_, kMapSection);
  if (auto key = registry_.Open(RegRoot::LocalMachine, kCodePageKey, false)) {
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

std::optional<std::vector<bool>> NlsMapping::Checks() const {
  if (!files_.Exists(langResFile_)) return std::nullopt;
  std::vector<bool> checks(captions_.size(), false);
  for (std::size_t i = 0; i < captions_.size(); ++i) checks[i] = FileOf(captions_[i]) == current_;
  return checks;
}

// The indicator as it was before the switch decides the direction.
void NlsMapping::Toggle(const std::string& defNlsSubst) {
  current_ = remapped_ ? kStandardNls : defNlsSubst;
  ShowIndicator();
}

bool NlsMapping::Choose(const std::string& caption) {
  if (!files_.Exists(langResFile_)) return false;
  current_ = FileOf(caption);
  ShowIndicator();
  return true;
}

void NlsMapping::Write() {
  if (current_.empty()) return;
  if (auto key = registry_.Open(RegRoot::LocalMachine, kCodePageKey, false)) key->WriteString(kCodePageValue, current_);
}

}  // namespace sorel
