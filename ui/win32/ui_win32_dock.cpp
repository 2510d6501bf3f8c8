// What dockable bars need of the system: the mouse held during a drag, the outline of where the
// bar would land, and the monitors' work areas a floating window must stay within.
#include <algorithm>

#include "ui/win32/ui_win32_private.h"

namespace sorel {
namespace win32ui {

namespace {

void Raise(NativeControl& self, Container& on, DragAction action, POINT at) {
  if (on.OnDrag) Guarded(self.app, [&] { on.OnDrag(action, Point{at.x, at.y}); });
}

POINT ClientPointOnScreen(HWND hwnd, LPARAM lParam) {
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  ClientToScreen(hwnd, &at);
  return at;
}

}  // namespace

void DragTracker::Start(NativeControl& self, Container& on, POINT screen) {
  // A second press soon and near is a double click; the window class does not ask for them, so
  // that the other windows of the class keep seeing two presses.
  const DWORD now = GetTickCount();
  const bool twice = now - lastPress_ <= GetDoubleClickTime() && std::abs(screen.x - lastAt_.x) <= GetSystemMetrics(SM_CXDOUBLECLK) / 2 &&
                     std::abs(screen.y - lastAt_.y) <= GetSystemMetrics(SM_CYDOUBLECLK) / 2;
  if (twice) {
    lastPress_ = 0;
    Raise(self, on, DragAction::DoubleClick, screen);
    return;
  }
  lastPress_ = now;
  lastAt_ = screen;
  active_ = true;
  SetCapture(self.hwnd);
  Raise(self, on, DragAction::Press, screen);
}

bool DragTracker::Handle(NativeControl& self, Container& on, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  if (!on.OnDrag) return false;
  result = 0;
  switch (msg) {
    case WM_LBUTTONDOWN:
      Start(self, on, ClientPointOnScreen(self.hwnd, lParam));
      return true;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      // The caption only: the system's own move would keep the bar from landing in a dock.
      if (wParam != HTCAPTION) return false;
      Start(self, on, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
      return true;
    case WM_MOUSEMOVE:
      if (!active_) return false;
      Raise(self, on, DragAction::Move, ClientPointOnScreen(self.hwnd, lParam));
      return true;
    case WM_LBUTTONUP:
      if (!active_) return false;
      active_ = false;
      ReleaseCapture();
      Raise(self, on, DragAction::Release, ClientPointOnScreen(self.hwnd, lParam));
      return true;
    case WM_CAPTURECHANGED:
      // Another window took the mouse (a message box, a switch to another program).
      if (!active_) return false;
      active_ = false;
      Raise(self, on, DragAction::Cancel, POINT{0, 0});
      return true;
    default:
      return false;
  }
}

namespace {

const char* const kOutlineClass = "SorelDragOutline";
constexpr int kOutlineWidth = 3;
HWND outline = nullptr;

HWND Outline(Win32Application& app) {
  if (outline) return outline;
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = app.Instance();
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_3DDKSHADOW + 1);
  wc.lpszClassName = kOutlineClass;
  RegisterClassA(&wc);  // fails harmlessly when registered before
  outline = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kOutlineClass, "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                            app.Instance(), nullptr);
  return outline;
}

}  // namespace

// A frame-shaped window rather than drawing on the screen: it works the same on every system and
// under Wine, and it never leaves traces on the windows it passes over.
void ShowDragOutline(Win32Application& app, const Rect& r) {
  HWND window = Outline(app);
  if (!window) return;
  HRGN frame = CreateRectRgn(0, 0, r.width, r.height);
  HRGN inside = CreateRectRgn(kOutlineWidth, kOutlineWidth, std::max(kOutlineWidth, r.width - kOutlineWidth),
                              std::max(kOutlineWidth, r.height - kOutlineWidth));
  CombineRgn(frame, frame, inside, RGN_DIFF);
  DeleteObject(inside);
  SetWindowRgn(window, frame, TRUE);  // the window owns the region now
  SetWindowPos(window, HWND_TOPMOST, r.left, r.top, r.width, r.height, SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

void HideDragOutline() {
  if (outline) ShowWindow(outline, SW_HIDE);
}

}  // namespace win32ui

using namespace win32ui;

void Win32Ui::ShowDragFrame(const Rect& screen) { ShowDragOutline(app_, screen); }
void Win32Ui::HideDragFrame() { HideDragOutline(); }

namespace {

// The functions for several monitors came with Windows 98 and 2000; Windows 95 has one screen.
using EnumMonitors = BOOL(WINAPI*)(HDC, LPCRECT, MONITORENUMPROC, LPARAM);
using MonitorInfo = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);

struct MonitorList {
  MonitorInfo info;
  std::vector<Rect> areas;
};

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
  auto* list = reinterpret_cast<MonitorList*>(data);
  MONITORINFO mi{};
  mi.cbSize = sizeof(mi);
  if (!list->info(monitor, &mi)) return TRUE;
  const Rect area{mi.rcWork.left, mi.rcWork.top, mi.rcWork.right - mi.rcWork.left, mi.rcWork.bottom - mi.rcWork.top};
  if (mi.dwFlags & MONITORINFOF_PRIMARY) list->areas.insert(list->areas.begin(), area);
  else list->areas.push_back(area);
  return TRUE;
}

}  // namespace

std::vector<Rect> Win32Application::WorkAreas() {
  HMODULE user = GetModuleHandleA("user32.dll");
  auto enumerate = user ? reinterpret_cast<EnumMonitors>(reinterpret_cast<void*>(GetProcAddress(user, "EnumDisplayMonitors"))) : nullptr;
  auto info = user ? reinterpret_cast<MonitorInfo>(reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA"))) : nullptr;
  if (enumerate && info) {
    MonitorList list{info, {}};
    enumerate(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
    if (!list.areas.empty()) return list.areas;
  }
  RECT work;
  if (SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0))
    return {Rect{work.left, work.top, work.right - work.left, work.bottom - work.top}};
  return {Rect{0, 0, ScreenWidth(), ScreenHeight()}};
}

}  // namespace sorel
