// System facts through GetVersionExA, GetWindowsDirectoryA, GetSystemDirectoryA, the version
// resource API and SleepEx.
#pragma once
#include <optional>
#include <string>

#include "platform/system.h"

namespace sorel {

// The family of a platform identifier from GetVersionExA.
Family FamilyOf(unsigned long platformId);

class Win32SystemInfo : public SystemInfo {
 public:
  Family SystemFamily() override;
  std::string WindowsDirectory() override;
  std::string SystemDirectory() override;
  std::string ExePath() override;
  std::optional<FileVersion> FixedFileVersion(const std::string& path) override;
  void Sleep(unsigned milliseconds) override;
};

}  // namespace sorel
