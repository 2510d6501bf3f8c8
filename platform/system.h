// Facts about the running system and the executable, and the blocking sleep.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace sorel {

// The system families the program tells apart: where the substitution table lives depends on it.
enum class Family {
  Nt,     // Windows NT and its successors: the table is in the registry
  Win9x,  // Windows 95 and 98: the table is in win.ini
  Other,  // any other platform the system names
};

// A version resource's file version, its four numbers in the order they are shown ("1.1.3.6").
struct FileVersion {
  std::uint16_t major = 0;
  std::uint16_t minor = 0;
  std::uint16_t build = 0;
  std::uint16_t revision = 0;
  bool operator==(const FileVersion&) const = default;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // The family of the running system (GetVersionExA); the NT family when the system cannot tell.
  virtual Family SystemFamily() = 0;
  // GetWindowsDirectoryA, as the system returns it (a drive root keeps its backslash); "" when
  // the system cannot tell.
  virtual std::string WindowsDirectory() = 0;
  // GetSystemDirectoryA, the folder of the system's own files (the NLS files of the code pages
  // among them), as the system returns it; "" when the system cannot tell. A 32-bit program on
  // 64-bit Windows sees the 32-bit system folder there, which holds the same NLS files.
  virtual std::string SystemDirectory() = 0;
  // Full path of the running executable.
  virtual std::string ExePath() = 0;
  // The fixed file version of the file's version resource; nothing when it has none.
  virtual std::optional<FileVersion> FixedFileVersion(const std::string& path) = 0;
  // Blocks the thread; no message is handled meanwhile.
  virtual void Sleep(unsigned milliseconds) = 0;
};

}  // namespace sorel
