// Whole-file access over CreateFileA, ReadFile, WriteFile and MoveFileExA; files written piece by piece.
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
  // One rename (MoveFileExA) where the system has it. The 95/98 family exports MoveFileExA only
  // as a stub that answers "not implemented"; there the old target is first renamed to a backup
  // beside it (BackupOf), the source renamed into place, and the backup removed, or put back when
  // the second rename fails.
  void Replace(const std::string& source, const std::string& target) override;
  void Remove(const std::string& path) override;
  // Others may read the file while it is written (FILE_SHARE_READ).
  std::unique_ptr<OutputFile> Create(const std::string& path) override;
  static std::string BackupOf(const std::string& target) { return target + ".sorel-old"; }

 protected:
  // MoveFileExA with MOVEFILE_REPLACE_EXISTING; false with the system's error code on failure.
  virtual bool MoveReplacing(const std::string& source, const std::string& target, unsigned long& error);

 private:
  void ReplaceByRenames(const std::string& source, const std::string& target);
};

}  // namespace sorel
