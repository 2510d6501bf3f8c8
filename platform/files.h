// Whole-file access: read, write, replace in one step.
#pragma once
#include <string>

namespace sorel {

// Paths are Windows paths in the ANSI code page. Failures throw PlatformError with a message that
// names the file.
class FileSystem {
 public:
  virtual ~FileSystem() = default;
  virtual bool Exists(const std::string& path) = 0;
  virtual std::string ReadAll(const std::string& path) = 0;
  // Creates or truncates the file and writes every byte.
  virtual void WriteAll(const std::string& path, const std::string& bytes) = 0;
  // Puts source in place of target in one step (target may exist); source is gone afterwards.
  virtual void Replace(const std::string& source, const std::string& target) = 0;
  // Best effort; a missing file is not an error.
  virtual void Remove(const std::string& path) = 0;
};

}  // namespace sorel
