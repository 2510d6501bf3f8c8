// Message boxes through MessageBoxA, the save dialog through GetSaveFileNameA.
#pragma once
#include <string>

#include "platform/dialogs.h"

namespace sorel {

class Win32Dialogs : public Dialogs {
 public:
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  std::optional<SaveFileChoice> SaveFile(const SaveFileRequest& request) override;
  // The window that owns the boxes and the dialog (an HWND); none until set.
  void SetOwner(void* hwnd) { owner_ = hwnd; }

 private:
  void* owner_ = nullptr;
};

}  // namespace sorel
