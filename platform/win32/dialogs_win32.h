// Message boxes through MessageBoxA.
#pragma once
#include <string>

#include "platform/dialogs.h"

namespace sorel {

class Win32Dialogs : public Dialogs {
 public:
  int MessageBox(const std::string& text, const std::string& caption, unsigned flags) override;
  // The window that owns the boxes (an HWND); none until set.
  void SetOwner(void* hwnd) { owner_ = hwnd; }

 private:
  void* owner_ = nullptr;
};

}  // namespace sorel
