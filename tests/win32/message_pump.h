// Running the thread's message loop inside a test until something has happened.
#pragma once
#include <windows.h>

#include <functional>

namespace sorel::test {

// Handles messages until done() holds (checked after each one) or timeoutMs pass; whether it held.
inline bool PumpUntil(const std::function<bool()>& done, unsigned timeoutMs = 10000) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
      if (done()) return true;
    }
    if (done()) return true;
    if (GetTickCount() - start >= timeoutMs) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

// Handles messages for this long.
inline void PumpFor(unsigned milliseconds) {
  PumpUntil([] { return false; }, milliseconds);
}

}  // namespace sorel::test
