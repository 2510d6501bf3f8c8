// In-memory system facts and scripted message boxes.
#include "platform/memory/memory_system.h"

#include <stdexcept>

namespace sorel {

std::optional<FileVersion> MemorySystemInfo::FixedFileVersion(const std::string& path) {
  auto it = fileVersions.find(path);
  if (it == fileVersions.end()) return std::nullopt;
  return it->second;
}

int MemoryDialogs::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  calls_.push_back({text, caption, flags});
  if (!answers_.empty()) {
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  if (defaultAnswer_) return *defaultAnswer_;
  throw std::logic_error("unexpected message box: " + caption + ": " + text);
}

}  // namespace sorel
