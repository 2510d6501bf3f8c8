// The Win32 form: a top-level window of our class, its close query and its modal loop.
#include "platform/win32/ui_win32_private.h"

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
  bool OwnMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (msg == WM_SIZE && OnResize) Guarded(app, OnResize);
    return false;  // the system's own handling goes on
  }
  void SetTopmost(bool topmost) override {
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  void CenterOnScreen() override {
    Rect r = Bounds();
    SetWindowPos(hwnd, nullptr, (app.ScreenWidth() - r.width) / 2, (app.ScreenHeight() - r.height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER);
  }
  // Every way a form is shown or hidden comes here, so OnShow and OnHide run once per change.
  void SetVisible(bool visible) override {
    bool was = Visible();
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
    if (visible && !was && OnShow) Guarded(app, OnShow);
    if (!visible && was && OnHide) Guarded(app, OnHide);
  }
  void ShowAndPaint() override {
    SetVisible(true);
    UpdateWindow(hwnd);
  }
  bool HandleAllocated() override { return hwnd != nullptr; }
  void Close() override { SendMessageA(hwnd, WM_CLOSE, 0, 0); }
  bool Closed() override { return closed_; }

  // A modal loop of our own: the owner is disabled meanwhile, as the system's dialogs do it.
  int ShowModal() override {
    modalResult_ = 0;
    modal_ = true;
    HWND owner = app.MainWindow();
    bool ownerWasEnabled = owner && IsWindowEnabled(owner);
    if (ownerWasEnabled) EnableWindow(owner, FALSE);
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
    // The owner comes back before the form goes, so that the system activates it, not another
    // program's window.
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    SetVisible(false);
    modal_ = false;
    return modalResult_ ? modalResult_ : 2;
  }
  void EndModal(int result) override {
    if (modal_) modalResult_ = result;
  }
  // The dialog manager finds the cancel button by its id (GetDlgItem) and sends IDCANCEL for
  // Escape; the id also keeps the button's own clicks on that path.
  void SetCancelButton(Button* button) override {
    cancel_ = button ? dynamic_cast<NativeControl*>(button) : nullptr;
    if (cancel_) SetWindowLongPtrA(cancel_->hwnd, GWLP_ID, IDCANCEL);
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
