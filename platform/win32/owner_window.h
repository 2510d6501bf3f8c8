// The window the services' dialogs and shell calls belong to: the program's main window, which the
// controls own; they hand it over as this function, so the services need nothing of the controls.
#pragma once
#include <functional>

namespace sorel {

// The owner's HWND (void*, so that headers stay free of <windows.h>), nullptr while there is none.
using OwnerWindow = std::function<void*()>;

}  // namespace sorel
