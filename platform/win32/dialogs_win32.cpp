// Message boxes through MessageBoxA, the save dialog through GetSaveFileNameA.
#include "platform/win32/dialogs_win32.h"

#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "platform/save_dialog_request.h"

namespace sorel {

// <windows.h> defines MessageBox as a macro; the member keeps its plain name.
#undef MessageBox

unsigned MessageBoxFlags(Buttons buttons, Icon icon) {
  unsigned flags = MB_OK;
  switch (buttons) {
    case Buttons::Ok: flags = MB_OK; break;
    case Buttons::YesNo: flags = MB_YESNO; break;
    case Buttons::YesNoCancel: flags = MB_YESNOCANCEL; break;
  }
  switch (icon) {
    case Icon::None: break;
    case Icon::Question: flags |= MB_ICONQUESTION; break;
    case Icon::Warning: flags |= MB_ICONWARNING; break;
    case Icon::Information: flags |= MB_ICONINFORMATION; break;
  }
  return flags;
}

Answer AnswerOf(int result) {
  switch (result) {
    case IDOK: return Answer::Ok;
    case IDCANCEL: return Answer::Cancel;
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::None;
  }
}

Answer Win32Dialogs::MessageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) {
  return AnswerOf(MessageBoxA(static_cast<HWND>(owner_), text.c_str(), caption.c_str(), MessageBoxFlags(buttons, icon)));
}

// The structure's size before Windows 2000 grew it: Windows 95 and NT 4 refuse the larger one.
// The name field holds MAX_PATH characters; a longer initial name is cut.
std::optional<SaveFileChoice> Win32Dialogs::SaveFile(const SaveFileRequest& request) {
  const std::string filter = SystemFilter(request.filter);
  std::vector<char> name(MAX_PATH, '\0');
  request.fileName.copy(name.data(), name.size() - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  ofn.hwndOwner = static_cast<HWND>(owner_);
  ofn.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = static_cast<DWORD>(request.filterIndex);
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.Flags = SystemSaveFlags(request);
  if (!GetSaveFileNameA(&ofn)) return std::nullopt;
  return SaveFileChoice{name.data(), static_cast<int>(ofn.nFilterIndex)};
}

}  // namespace sorel
