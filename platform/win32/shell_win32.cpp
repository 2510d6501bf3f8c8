// The shell service over ShellExecuteA and the special-folder functions.
#include "platform/win32/shell_win32.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/ui_win32.h"

namespace sorel {

void Win32Shell::Open(const std::string& target) {
  ShellExecuteA(GetDesktopWindow(), nullptr, target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

// The item list and the path buffer both come from the shell's allocator and go back to it.
std::string Win32Shell::FontsFolder() {
  IMalloc* allocator = nullptr;
  if (FAILED(SHGetMalloc(&allocator)) || !allocator) return "";
  std::string path;
  if (auto* buffer = static_cast<char*>(allocator->Alloc(MAX_PATH))) {
    LPITEMIDLIST items = nullptr;
    if (SUCCEEDED(SHGetSpecialFolderLocation(app_.MainWindow(), CSIDL_FONTS, &items)) && items) {
      if (SHGetPathFromIDListA(items, buffer)) path = buffer;
      allocator->Free(items);
    }
    allocator->Free(buffer);
  }
  allocator->Release();
  return path;
}

}  // namespace sorel
