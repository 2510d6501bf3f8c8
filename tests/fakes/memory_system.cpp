// In-memory system facts, scripted message boxes and the save dialog a test answers.
#include "tests/fakes/memory_system.h"

#include <stdexcept>

namespace sorel {

std::optional<FileVersion> MemorySystemInfo::FixedFileVersion(const std::string& path) {
  auto it = fileVersions.find(path);
  if (it == fileVersions.end()) return std::nullopt;
  return it->second;
}

Answer MemoryDialogs::MessageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
  calls_.push_back({text, caption, buttons, icon});
  if (!answers_.empty()) {
    const Answer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }
  if (defaultAnswer_) return *defaultAnswer_;
  throw std::logic_error("unexpected message box: " + caption + ": " + text);
}

std::optional<SaveFileChoice> MemoryDialogs::SaveFile(const SaveFileRequest& request) {
  saveRequests.push_back(request);
  if (!answerSave) throw std::logic_error("unexpected save dialog for " + request.fileName);
  return answerSave(request);
}

}  // namespace sorel
