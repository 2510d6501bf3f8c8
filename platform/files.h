// Whole-file access: read, write, replace in one step; a file written piece by piece; folder and name joined.
#pragma once
#include <cstddef>
#include <memory>
#include <string>

namespace sorel {

// Appends "\" to a non-empty path that does not end in one; "" stays "". For a file name put
// after a folder the system reports.
inline std::string EnsureTrailingBackslash(const std::string& path) {
  if (path.empty() || path.back() == '\\') return path;
  return path + "\\";
}

// A file open for writing, from its start; closed when destroyed. What was written before a
// failure stays in the file.
class OutputFile {
 public:
  virtual ~OutputFile() = default;
  OutputFile() = default;
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;
  // Writes every byte or throws PlatformError ("Cannot write file", naming it), a full disk too.
  virtual void Write(const char* data, std::size_t size) = 0;
};

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
  // Creates the file, or empties an existing one, for writing; "Cannot create file" when it cannot.
  virtual std::unique_ptr<OutputFile> Create(const std::string& path) = 0;
};

}  // namespace sorel
