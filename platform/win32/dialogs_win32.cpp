// Message boxes through MessageBoxA.
#include "platform/win32/dialogs_win32.h"

#include <windows.h>

namespace sorel {

// <windows.h> defines MessageBox as a macro; the member keeps its plain name.
#undef MessageBox

int Win32Dialogs::MessageBox(const std::string& text, const std::string& caption, unsigned flags) {
  return MessageBoxA(static_cast<HWND>(owner_), text.c_str(), caption.c_str(), flags);
}

}  // namespace sorel
