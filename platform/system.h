// Facts about the running system and the executable, and the blocking sleep.
#pragma once
#include <cstdint>
#include <optional>
#include <string>

namespace sorel {

// The fixed file version of a version resource: two 32-bit words, as VS_FIXEDFILEINFO holds them.
struct FileVersion {
  std::uint32_t ms = 0;
  std::uint32_t ls = 0;
};

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;
  // dwPlatformId from GetVersionExA (0 Win32s, 1 the 95/98 family, 2 the NT family).
  virtual std::uint32_t PlatformId() = 0;
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
