// In-memory system facts, scripted message boxes and a save dialog the test answers, for tests.
#pragma once
#include <cstdint>
#include <cstddef>
#include <deque>
#include <functional>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/system.h"

namespace sorel {

// System facts that tests set as plain fields. Sleep records what was asked and runs onSleep, so
// that a test can look at the screen while the thread would block.
class MemorySystemInfo : public SystemInfo {
 public:
  Family family = Family::Nt;
  std::string windowsDir = "C:\\windows";
  std::string systemDir = "C:\\windows\\system32";
  std::string exePath = "C:\\Program Files\\Sorel\\SorelAssistant.exe";
  // Version resources by path, compared exactly; a path not listed has none.
  std::map<std::string, FileVersion> fileVersions;
  std::vector<unsigned> sleeps;  // every Sleep's milliseconds, in order
  std::function<void()> onSleep;

  // Gives the executable at exePath this version.
  void SetExeVersion(FileVersion v) { fileVersions[exePath] = v; }

  Family SystemFamily() override { return family; }
  std::string WindowsDirectory() override { return windowsDir; }
  std::string SystemDirectory() override { return systemDir; }
  std::string ExePath() override { return exePath; }
  std::optional<FileVersion> FixedFileVersion(const std::string& path) override;
  void Sleep(unsigned milliseconds) override {
    sleeps.push_back(milliseconds);
    if (onSleep) onSleep();
  }
};

// Message boxes answered from a script. Every call is recorded first. A call with no scripted
// answer left throws std::logic_error (not PlatformError, so that code under test that handles
// the platform's errors does not swallow it) unless a default answer has been set: a test that
// did not expect a question should fail, not go on with a guessed answer.
class MemoryDialogs : public Dialogs {
 public:
  struct Call {
    std::string text;
    std::string caption;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
  };

  // Queues answers for the next calls, in order.
  void Script(std::initializer_list<Answer> answers) { answers_.insert(answers_.end(), answers); }
  // The answer given once the script is used up, instead of throwing.
  void SetDefaultAnswer(Answer answer) { defaultAnswer_ = answer; }
  const std::vector<Call>& Calls() const { return calls_; }

  Answer MessageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override;

  // The save dialog: every request is recorded, then answerSave plays the user (nothing: cancel).
  // Without answerSave a save dialog is unexpected and throws std::logic_error.
  std::optional<SaveFileChoice> SaveFile(const SaveFileRequest& request) override;
  std::function<std::optional<SaveFileChoice>(const SaveFileRequest&)> answerSave;
  std::vector<SaveFileRequest> saveRequests;

 private:
  std::deque<Answer> answers_;
  std::optional<Answer> defaultAnswer_;
  std::vector<Call> calls_;
};

}  // namespace sorel
