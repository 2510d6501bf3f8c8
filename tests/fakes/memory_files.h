// In-memory file system for tests: whole files by Windows path, with fault injection and a log.
#pragma once
#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/errors.h"
#include "platform/files.h"

namespace sorel {

// Paths compare the way the system compares them for our purposes: ASCII letters ignoring case and
// "/" the same as "\". There are no folders: any path can be written. Failures throw PlatformError
// worded as the Win32 backend words them ("Cannot open file", "Cannot create file", "Cannot write
// file", "Cannot replace file"), naming the file.
class MemoryFileSystem : public FileSystem {
 public:
  bool Exists(const std::string& path) override;
  std::string ReadAll(const std::string& path) override;
  void WriteAll(const std::string& path, const std::string& bytes) override;
  // Moves source onto target in one step; on failure both files stay as they were.
  void Replace(const std::string& source, const std::string& target) override;
  void Remove(const std::string& path) override;
  // The file exists, empty, from here on; each Write appends to it at once, so a test sees what
  // has arrived while the file is still open.
  std::unique_ptr<OutputFile> Create(const std::string& path) override;

  // --- Setting up and reading back; these bypass the faults and the log.
  void Put(const std::string& path, const std::string& bytes);
  std::optional<std::string> Get(const std::string& path) const;
  // Every path that holds a file, as first written.
  std::vector<std::string> Paths() const;

  // --- Faults, each lasting until Heal().
  void FailRead(const std::string& path);      // ReadAll of path throws
  // WriteAll to path and Create of it throw and create nothing.
  void FailWrite(const std::string& path);
  // Writes to an open file of path fail once it would grow past bytes, as on a full disk: what
  // fits is written, then the write throws.
  void FailWriteAfter(const std::string& path, std::size_t bytes);
  void FailReplace(const std::string& target); // Replace onto target throws
  void Heal();

  // The operations that changed something or were refused, in order, for example
  // "write C:\windows\win.ini.tmp", "replace C:\a -> C:\b", "remove C:\a",
  // "write failed C:\x", "create C:\x", "create failed C:\x".
  const std::vector<std::string>& Log() const { return log_; }
  int Writes() const { return writes_; }

 private:
  struct File {
    std::string path;  // the spelling first used
    std::string bytes;
  };
  static std::string Key(const std::string& path);
  class Output;

  std::map<std::string, File> files_;
  std::set<std::string> failRead_, failWrite_, failReplace_;
  std::map<std::string, std::size_t> failWriteAfter_;
  std::vector<std::string> log_;
  int writes_ = 0;
};

}  // namespace sorel
