// Message boxes through MessageBoxA, the save dialog through GetSaveFileNameA.
#pragma once
#include <string>

#include "platform/dialogs.h"

namespace sorel {

// The MessageBoxA flags for a box with these buttons and this icon.
unsigned MessageBoxFlags(Buttons buttons, Icon icon);
// The answer a MessageBoxA result (ID*) stands for; None for 0 (no box) or any other.
Answer AnswerOf(int result);

class Win32Dialogs : public Dialogs {
 public:
  Answer MessageBox(const std::string& text, const std::string& caption, Buttons buttons, Icon icon) override;
  std::optional<SaveFileChoice> SaveFile(const SaveFileRequest& request) override;
  // The window that owns the boxes and the dialog (an HWND); none until set.
  void SetOwner(void* hwnd) { owner_ = hwnd; }

 private:
  void* owner_ = nullptr;
};

}  // namespace sorel
