// System facts through GetVersionExA, GetWindowsDirectoryA, GetSystemDirectoryA, the version
// resource API and SleepEx.
#include "platform/win32/system_win32.h"

#include <windows.h>

#include <vector>

namespace sorel {

namespace {

// A folder from GetWindowsDirectoryA or GetSystemDirectoryA. A longer path gets the buffer it
// asks for, instead of being reported as missing.
std::string Folder(UINT(WINAPI* get)(LPSTR, UINT)) {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    UINT length = get(buffer.data(), static_cast<UINT>(buffer.size()));
    if (length == 0) return "";
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(length + 1);
  }
}

}  // namespace

Family FamilyOf(unsigned long platformId) {
  switch (platformId) {
    case VER_PLATFORM_WIN32_NT: return Family::Nt;
    case VER_PLATFORM_WIN32_WINDOWS: return Family::Win9x;
    default: return Family::Other;
  }
}

Family Win32SystemInfo::SystemFamily() {
  OSVERSIONINFOA info = {};
  info.dwOSVersionInfoSize = sizeof(info);  // 148: the plain structure, which every system accepts
  if (!GetVersionExA(&info)) return Family::Nt;
  return FamilyOf(info.dwPlatformId);
}

std::string Win32SystemInfo::WindowsDirectory() { return Folder(GetWindowsDirectoryA); }

std::string Win32SystemInfo::SystemDirectory() { return Folder(GetSystemDirectoryA); }

std::string Win32SystemInfo::ExePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // cut: the path is longer than the buffer
  }
}

std::optional<FileVersion> Win32SystemInfo::FixedFileVersion(const std::string& path) {
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
  if (size == 0) return std::nullopt;
  std::vector<char> data(size);
  if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT fixedSize = 0;
  if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
      fixedSize < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  return FileVersion{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS), HIWORD(fixed->dwFileVersionLS),
                     LOWORD(fixed->dwFileVersionLS)};
}

void Win32SystemInfo::Sleep(unsigned milliseconds) { SleepEx(milliseconds, FALSE); }

}  // namespace sorel
