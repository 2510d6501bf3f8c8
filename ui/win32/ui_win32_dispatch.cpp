// The dispatcher of our window class and the application object with its message loop.
#include <algorithm>
#include <cstring>

#include "ui/win32/ui_win32_private.h"

namespace sorel {
namespace win32ui {

NativeControl* ObjectOf(HWND hwnd) {
  return hwnd ? static_cast<NativeControl*>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

NativeControl* ParentObjectOf(HWND hwnd) {
  if (!hwnd || !(GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) return nullptr;
  return ObjectOf(GetParent(hwnd));
}

HFONT UiFont() {
  static HFONT font = [] {
    NONCLIENTMETRICSA metrics{};
    metrics.cbSize = sizeof(metrics);
    if (SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
      return CreateFontIndirectA(&metrics.lfMessageFont);
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  }();
  return font;
}

std::string WindowText(HWND hwnd) {
  int length = GetWindowTextLengthA(hwnd);
  std::string text(length + 1, '\0');
  GetWindowTextA(hwnd, text.data(), length + 1);
  text.resize(std::max(0, std::min<int>(length, static_cast<int>(strlen(text.c_str())))));
  return text;
}

bool AnswerTextRequest(UINT msg, WPARAM wParam, LPARAM lParam, const std::function<std::string()>& text,
                       LRESULT& result) {
  if (msg != WM_GETTEXTLENGTH && msg != WM_GETTEXT) return false;
  const std::string contents = text();
  if (msg == WM_GETTEXTLENGTH) {
    result = static_cast<LRESULT>(contents.size());
    return true;
  }
  auto* to = reinterpret_cast<char*>(lParam);
  result = 0;
  if (!to || wParam == 0) return true;
  const std::size_t n = std::min<std::size_t>(contents.size(), wParam - 1);
  memcpy(to, contents.data(), n);
  to[n] = '\0';
  result = static_cast<LRESULT>(n);
  return true;
}

POINT CursorIn(HWND hwnd) {
  POINT at;
  GetCursorPos(&at);
  ScreenToClient(hwnd, &at);
  return at;
}

// Routes each message to the object of the window it concerns: a child's commands and
// notifications to the child, the close box and Escape to the form.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (auto* self = ObjectOf(hwnd)) {
    LRESULT result = 0;
    if (self->OwnMessage(msg, wParam, lParam, result)) return result;
  }
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
        if (auto* self = ObjectOf(hwnd); self && self->Cancel()) return 0;
      }
      if (auto* child = ObjectOf(reinterpret_cast<HWND>(lParam))) {
        child->Command(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (auto* child = ObjectOf(header->hwndFrom)) return child->Notify(header);
      break;
    }
    case WM_SETCURSOR:
      if (auto* self = ObjectOf(hwnd); self && hwnd == GetAncestor(hwnd, GA_ROOT)) {
        NativeControl* under = ObjectOf(reinterpret_cast<HWND>(wParam));
        self->app.SetHint(under ? under->AsControl().Hint() : "");
        if (HCURSOR busy = LOWORD(lParam) == HTCLIENT ? self->BusyCursor() : nullptr) {
          SetCursor(busy);
          return TRUE;
        }
        if (HCURSOR cursor = under && LOWORD(lParam) == HTCLIENT ? under->Cursor() : nullptr) {
          SetCursor(cursor);
          return TRUE;
        }
      }
      break;
    case WM_CLOSE:
      if (auto* self = ObjectOf(hwnd); self && self->CloseQuery()) return 0;
      break;
    case WM_MENUSELECT:
      // Sent to the window that owns an open pop-up menu, for each item highlighted.
      if (auto* self = ObjectOf(hwnd)) self->app.MenuSelect(LOWORD(wParam), HIWORD(wParam));
      break;
    case WM_CTLCOLORSTATIC: {
      auto* dc = reinterpret_cast<HDC>(wParam);
      if (auto* child = ObjectOf(reinterpret_cast<HWND>(lParam))) return reinterpret_cast<LRESULT>(child->StaticColors(dc));
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_CONTEXTMENU:
      // Sent by the window clicked, then passed outwards by the system; the nearest of our
      // controls from the clicked one outwards that has a menu opens it.
      for (HWND at = reinterpret_cast<HWND>(wParam); at;
           at = (GetWindowLongA(at, GWL_STYLE) & WS_CHILD) ? GetParent(at) : nullptr) {
        NativeControl* object = ObjectOf(at);
        if (!object || !object->AsControl().OnContextPopup) continue;
        POINT point{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
        if (lParam == -1) point = POINT{0, 0};  // from the keyboard: the control's corner
        else ScreenToClient(at, &point);
        Guarded(object->app, [&] { object->AsControl().OnContextPopup(point.x, point.y); });
        return 0;
      }
      break;
    case WM_MOUSEWHEEL: {
      // The wheel goes to the window with the focus; what should scroll is the box under the
      // pointer, found from the innermost window there outwards.
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      const int delta = static_cast<short>(HIWORD(wParam));
      for (HWND under = WindowFromPoint(at); under;
           under = (GetWindowLongA(under, GWL_STYLE) & WS_CHILD) ? GetParent(under) : nullptr) {
        if (auto* object = ObjectOf(under); object && object->Wheel(delta)) return 0;
      }
      break;
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

namespace {

void RegisterWindowClass(HINSTANCE instance) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hIcon = LoadIconA(instance, "MAINICON");
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  RegisterClassA(&wc);
}

}  // namespace
}  // namespace win32ui

HWND HandleOf(Control& control) {
  auto* native = dynamic_cast<win32ui::NativeControl*>(&control);
  return native ? native->hwnd : nullptr;
}

Win32Application::Win32Application(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&icc);
  win32ui::RegisterWindowClass(instance);
}

void Win32Application::Terminate() {
  if (!terminated_) PostQuitMessage(0);
  terminated_ = true;
}

bool Win32Application::WindowEnabled() { return main_ && IsWindowEnabled(main_); }
void Win32Application::BringToForeground() { SetForegroundWindow(main_); }

// The help topic of a window: its control's, or that of the nearest control around it with one.
static int HelpContextOf(HWND hwnd) {
  for (HWND at = hwnd; at; at = (GetWindowLongA(at, GWL_STYLE) & WS_CHILD) ? GetParent(at) : nullptr) {
    win32ui::NativeControl* object = win32ui::ObjectOf(at);
    if (object && object->AsControl().HelpContext) return object->AsControl().HelpContext;
  }
  return 0;
}

void Win32Application::Dispatch(MSG& msg) {
  // Before the dialog manager, which would hand the key to the control with the focus (the
  // window a key goes to).
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && OnHelp) {
    if (const int context = HelpContextOf(msg.hwnd)) {
      win32ui::Guarded(*this, [&] { OnHelp(context); });
      return;
    }
  }
  if (main_ && IsDialogMessageA(main_, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageA(&msg);
}

int Win32Application::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  return 0;
}

void Win32Application::ProcessMessages() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The loop that runs the program must still see the end.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
}

void Win32Application::ShowException(const std::exception& e) {
  if (OnException) {
    // A copy: the handler may put an earlier one back while it runs.
    auto handler = OnException;
    try {
      handler(e);
      return;
    } catch (const std::exception& raised) {
      MessageBoxA(main_, raised.what(), title_.c_str(), MB_OK | MB_ICONERROR);
      return;
    } catch (...) {
      return;  // nothing to say about it, and it must not reach the system
    }
  }
  MessageBoxA(main_, e.what(), title_.c_str(), MB_OK | MB_ICONERROR);
}

namespace {

BOOL CALLBACK CollectTopmost(HWND hwnd, LPARAM param) {
  // Our own windows only: the system's tooltips stay on top as they must.
  if (win32ui::ObjectOf(hwnd) && (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST))
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

}  // namespace

void Win32Application::NormalizeTopmosts() {
  if (topmostLevel_++ > 0) return;
  normalized_.clear();
  EnumThreadWindows(GetCurrentThreadId(), CollectTopmost, reinterpret_cast<LPARAM>(&normalized_));
  for (HWND hwnd : normalized_)
    SetWindowPos(hwnd, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void Win32Application::RestoreTopmosts() {
  if (topmostLevel_ == 0 || --topmostLevel_ > 0) return;
  for (HWND hwnd : normalized_) {
    if (IsWindow(hwnd) && win32ui::ObjectOf(hwnd))
      SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  }
  normalized_.clear();
}

void Win32Application::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) win32ui::Guarded(*this, OnHint);
}

void Win32Application::MenuSelect(UINT id, UINT flags) {
  // A submenu's entry reports its position, not a command id: it has no hint of its own here.
  const bool command = flags != 0xFFFF && !(flags & (MF_POPUP | MF_SEPARATOR));
  if (command && openMenu_ && id >= 1 && id <= openMenu_->size()) {
    SetHint((*openMenu_)[id - 1]->Hint());
  } else {
    SetHint("");
  }
}

}  // namespace sorel
