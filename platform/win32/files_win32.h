// Whole-file access over CreateFileA, ReadFile, WriteFile and MoveFileExA.
#pragma once
#include <string>

#include "platform/files.h"

namespace sorel {

// Failures throw PlatformError naming the file: "Cannot open file", "Cannot create file",
// "Cannot read file", "Cannot write file", "Cannot replace file".
class Win32FileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  std::string ReadAll(const std::string& path) override;
  // Written through to the disk (FlushFileBuffers) before returning.
  void WriteAll(const std::string& path, const std::string& bytes) override;
  void Replace(const std::string& source, const std::string& target) override;
  void Remove(const std::string& path) override;
};

}  // namespace sorel
