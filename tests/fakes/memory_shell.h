// In-memory shell for tests: every target and document recorded in order, the folders and the
// shell's answer set by the test.
#pragma once
#include <string>
#include <vector>

#include "platform/shell.h"

namespace sorel {

class MemoryShell : public Shell {
 public:
  void Open(const std::string& target) override { opened.push_back(target); }
  std::string FontsFolder() override { return fontsFolder; }

  bool OpenDocument(const std::string& file, const std::string& parameters) override {
    documentsOpened.push_back({file, parameters});
    return documentOpens;
  }
  std::string TempFolder() override { return tempFolder; }

  std::vector<std::string> opened;
  std::string fontsFolder = "C:\\WINDOWS\\Fonts";  // "": the folder cannot be resolved
  struct Document {
    std::string file, parameters;
    bool operator==(const Document&) const = default;
  };
  std::vector<Document> documentsOpened;
  bool documentOpens = true;  // false: the shell could not open it
  std::string tempFolder = "C:\\WINDOWS\\TEMP\\";
};

}  // namespace sorel
