// The Win32 form: a top-level window of our class, its close query, its modal loop and its keys.
#include "ui/win32/ui_win32_private.h"

namespace sorel::win32ui {
namespace {

// The system's styles for what a form is.
struct SystemStyles {
  DWORD style, exStyle;
};

SystemStyles StylesOf(FormStyle style) {
  switch (style) {
    case FormStyle::Splash:
      // A tool window gets no taskbar button.
      return {WS_POPUP | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT | WS_EX_TOOLWINDOW};
    case FormStyle::Sizeable:
      // A sizeable border and the close box, without minimise and maximise boxes.
      return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
    case FormStyle::FixedToolDialog:
      // Without WS_SYSMENU the caption has no icons; the dialog frame as a dialog has it.
      return {WS_OVERLAPPED | WS_CAPTION | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT | WS_EX_DLGMODALFRAME};
    case FormStyle::ToolWindow:
      // A popup's caption without WS_SYSMENU has no close box; the tool window's is the small one.
      return {WS_POPUP | WS_CAPTION | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT | WS_EX_TOOLWINDOW};
    case FormStyle::Dialog:
      break;
  }
  return {WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN, WS_EX_CONTROLPARENT};
}

class Win32Form : public NativeCaptioned<Form> {
 public:
  using NativeCaptioned::NativeCaptioned;
  void SetClientSize(int width, int height) override {
    RECT rc{0, 0, width, height};
    AdjustWindowRectEx(&rc, GetWindowLongA(hwnd, GWL_STYLE), FALSE, GetWindowLongA(hwnd, GWL_EXSTYLE));
    SetWindowPos(hwnd, nullptr, 0, 0, rc.right - rc.left, rc.bottom - rc.top, SWP_NOMOVE | SWP_NOZORDER);
  }
  Rect ClientRect() override {
    RECT rc;
    GetClientRect(hwnd, &rc);
    return Rect{0, 0, rc.right, rc.bottom};
  }
  bool OwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (Style() == FormStyle::ToolWindow && drag_.Handle(*this, *this, msg, wParam, lParam, result)) return true;
    if (msg == WM_SIZE && OnResize) Guarded(app, OnResize);
    // Enter: the dialog manager asks for the default button, then sends its id (which
    // SetDefaultButton made IDOK), as it does when the button itself is clicked.
    if (msg == DM_GETDEFID && default_) {
      result = MAKELRESULT(IDOK, DC_HASDEFID);
      return true;
    }
    if (msg == WM_COMMAND && LOWORD(wParam) == IDOK && HIWORD(wParam) == BN_CLICKED && default_) {
      if (IsWindowEnabled(default_->hwnd) && IsWindowVisible(default_->hwnd)) default_->Command(BN_CLICKED);
      result = 0;
      return true;
    }
    return false;  // the system's own handling goes on
  }
  void SetTopmost(bool topmost) override {
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  bool Topmost() override { return (GetWindowLongA(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }
  void SetOwner(Form* owner) override {
    SetWindowLongPtrA(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner ? HandleOf(*owner) : nullptr));
  }
  void CenterOnScreen() override {
    Rect r = Bounds();
    SetWindowPos(hwnd, nullptr, (app.ScreenWidth() - r.width) / 2, (app.ScreenHeight() - r.height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  }
  // Every way a form is shown or hidden comes here, so OnShow and OnHide run once per change.
  void SetVisible(bool visible) override {
    bool was = Visible();
    // A tool window comes up without taking the activation from the window the user works in.
    ShowWindow(hwnd, !visible ? SW_HIDE : Style() == FormStyle::ToolWindow ? SW_SHOWNA : SW_SHOW);
    if (visible && !was && OnShow) Guarded(app, OnShow);
    if (!visible && was && OnHide) Guarded(app, OnHide);
  }
  void ShowAndPaint() override {
    SetVisible(true);
    UpdateWindow(hwnd);
  }
  bool HandleAllocated() override { return hwnd != nullptr; }
  // The program's close; the user's arrives as WM_CLOSE alone.
  void Close() override {
    programClose_ = true;
    SendMessageA(hwnd, WM_CLOSE, 0, 0);
    programClose_ = false;
  }
  bool Closed() override { return closed_; }

  // A modal loop of our own. Every other top-level window of the program is disabled meanwhile,
  // as the system's dialogs do it for their owners: a floating tool window is not owned by the
  // modal form, and a click there must not start a second dialogue inside this one.
  int ShowModal() override {
    modalResult_ = 0;
    modal_ = true;
    std::vector<HWND> disabled = DisableOtherWindows();
    SetVisible(true);
    SetForegroundWindow(hwnd);
    MSG msg;
    bool quit = false;
    while (modalResult_ == 0) {
      if (GetMessageA(&msg, nullptr, 0, 0) <= 0) {
        quit = true;
        break;
      }
      if (IsDialogMessageA(hwnd, &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
    if (quit) PostQuitMessage(0);  // the outer loop must still see the end
    // The windows come back before the form goes, so that the system activates one of them, not
    // another program's window.
    for (HWND w : disabled)
      if (IsWindow(w)) EnableWindow(w, TRUE);
    SetVisible(false);
    modal_ = false;
    return modalResult_ ? modalResult_ : 2;
  }
  // The shown, enabled top-level windows of this thread but this one, now disabled.
  struct OtherWindows {
    HWND self;
    std::vector<HWND> windows;
  };
  static BOOL CALLBACK CollectOtherWindow(HWND w, LPARAM data) {
    auto* found = reinterpret_cast<OtherWindows*>(data);
    if (w != found->self && IsWindowVisible(w) && IsWindowEnabled(w)) found->windows.push_back(w);
    return TRUE;
  }
  std::vector<HWND> DisableOtherWindows() {
    OtherWindows found{hwnd, {}};
    EnumThreadWindows(GetCurrentThreadId(), CollectOtherWindow, reinterpret_cast<LPARAM>(&found));
    for (HWND w : found.windows) EnableWindow(w, FALSE);
    return found.windows;
  }
  void EndModal(int result) override {
    if (modal_) modalResult_ = result;
  }
  // The loop looks at the result after each message; the posted one wakes it when the call comes
  // from outside a message (a result set before any message arrives).
  void SetModalResult(int result) override {
    modalResult_ = result;
    if (modal_ && result != 0) PostMessageA(hwnd, WM_NULL, 0, 0);
  }
  void SetBusyCursor(bool busy) override {
    busy_ = busy;
    // At once when the pointer stands on the window, not only once it moves.
    POINT at;
    GetCursorPos(&at);
    HWND under = WindowFromPoint(at);
    if (under && GetAncestor(under, GA_ROOT) == hwnd)
      SendMessageA(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
  }
  HCURSOR BusyCursor() override { return busy_ ? LoadCursor(nullptr, IDC_WAIT) : nullptr; }
  // The dialog manager finds the cancel button by its id (GetDlgItem) and sends IDCANCEL for
  // Escape; the id also keeps the button's own clicks on that path.
  void SetCancelButton(Button* button) override {
    cancel_ = button ? dynamic_cast<NativeControl*>(button) : nullptr;
    if (cancel_) SetWindowLongPtrA(cancel_->hwnd, GWLP_ID, IDCANCEL);
  }
  // The default button is drawn with the thicker frame; a button that stops being the default
  // loses it and its id.
  void SetDefaultButton(Button* button) override {
    if (default_ && IsWindow(default_->hwnd)) {
      SendMessageA(default_->hwnd, BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
      if (default_ != cancel_) SetWindowLongPtrA(default_->hwnd, GWLP_ID, 0);
    }
    default_ = button ? dynamic_cast<NativeControl*>(button) : nullptr;
    if (!default_) return;
    SendMessageA(default_->hwnd, BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    if (default_ != cancel_) SetWindowLongPtrA(default_->hwnd, GWLP_ID, IDOK);
  }
  bool Cancel() override {
    if (!cancel_) return false;
    // Escape reaches the form whatever the button's state; a click could not have.
    if (IsWindowEnabled(cancel_->hwnd) && IsWindowVisible(cancel_->hwnd)) cancel_->Command(BN_CLICKED);
    return true;
  }

  // The close query decides; an allowed close hides the window, ends a modal loop with cancel, and
  // on the main window ends the program.
  bool CloseQuery() override {
    // A form without a close box: the user's close does nothing at all.
    if (Style() == FormStyle::FixedToolDialog && !programClose_) return true;
    bool canClose = true;
    if (OnCloseQuery) Guarded(app, [&] { OnCloseQuery(canClose); });
    if (!canClose) return true;
    if (modal_) {
      modalResult_ = 2;
      return true;
    }
    closed_ = true;
    if (app.MainWindow() == hwnd) app.Terminate();
    SetVisible(false);
    return true;
  }

 private:
  NativeControl* cancel_ = nullptr;
  NativeControl* default_ = nullptr;
  DragTracker drag_;
  bool programClose_ = false;
  bool busy_ = false;
  bool closed_ = false;
  bool modal_ = false;
  int modalResult_ = 0;
};

}  // namespace

std::unique_ptr<Form> MakeForm(Win32Application& app, const std::string& name, FormStyle style) {
  SystemStyles s = StylesOf(style);
  HWND hwnd = CreateWindowExA(s.exStyle, kWindowClass, "", s.style, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                              nullptr, nullptr, app.Instance(), nullptr);
  return MakeNative<Win32Form>(app, hwnd, name, style);
}

}  // namespace sorel::win32ui
