// The shell service over ShellExecuteA, the special-folder functions and GetTempPathA.
#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>


namespace sorel {

void Win32Shell::Open(const std::string& target) {
  ShellExecuteA(GetDesktopWindow(), nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The shell's answer is an HINSTANCE only in name: a number, above 32 on success.
// ShellExecuteA answers above 32 when it opened the file, else with an error code.
bool Win32Shell::OpenDocument(const std::string& file, const std::string& parameters) {
  HINSTANCE answer = ShellExecuteA(static_cast<HWND>(owner_()), "open", file.c_str(),
                                   parameters.empty() ? nullptr : parameters.c_str(), nullptr, SW_SHOWNORMAL);
  return reinterpret_cast<INT_PTR>(answer) > 32;
}

// GetTempPathA answers with the length it needs when the buffer is too small, 0 on failure.
std::string Win32Shell::TempFolder() {
  char buffer[MAX_PATH];
  const DWORD length = GetTempPathA(MAX_PATH, buffer);
  if (length == 0 || length >= MAX_PATH) return "";
  std::string folder(buffer, length);
  if (folder.back() != '\\') folder += '\\';
  return folder;
}

// The item list and the path buffer both come from the shell's allocator and go back to it.
std::string Win32Shell::FontsFolder() {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return "";
  std::string path;
  if (auto* buffer = static_cast<char*>(allocator->Alloc(MAX_PATH))) {
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(static_cast<HWND>(owner_()), CSIDL_FONTS, &items)) && items) {
      if (SHGetPathFromIDListA(items, buffer)) path = buffer;
      allocator->Free(items);
    }
    allocator->Free(buffer);
  }
  allocator->Release();
  return path;
}

}  // namespace sorel
