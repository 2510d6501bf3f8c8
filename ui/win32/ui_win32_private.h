// What the Win32 control files share: the object behind each of our windows, the operations every
// control has, and the makers of the controls that live in files of their own. Private to
// platform/win32; the windows see only ui_win32.h.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <utility>

#include "ui/win32/ui_win32.h"

namespace sorel::win32ui {

// Our own window class (forms, panels, tab pages); its procedure is the dispatcher.
inline const char* const kWindowClass = "SorelWindow";
// The window property that leads from a window to its control object.
inline const char* const kObjectProp = "SorelControl";

// Runs an event handler; an error ends the handler and goes to the application's error display
// (or its OnException), so that no exception crosses back into the system.
template <class F>
void Guarded(Application& app, F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    app.ShowException(e);
  } catch (...) {
    app.ShowException(std::runtime_error("Unknown error"));
  }
}

// What the dispatcher needs from a control object. Each object keeps the application it was made
// for, so that a message reaches the application through the window it arrives at.
class NativeControl {
 public:
  explicit NativeControl(Win32Application& application) : app(application) {}
  virtual ~NativeControl() = default;
  virtual Control& AsControl() = 0;
  // A child's WM_COMMAND, with its notification code.
  virtual void Command(WORD /*code*/) {}
  // A child's WM_NOTIFY.
  virtual LRESULT Notify(NMHDR* /*header*/) { return 0; }
  // Forms only. IDCANCEL (Escape or the cancel button): false when there is no cancel button.
  virtual bool Cancel() { return false; }
  // WM_CLOSE: false when the window does not handle it (the system's default then runs).
  virtual bool CloseQuery() { return false; }
  // A button with a modal result was pressed on the form.
  virtual void EndModal(int /*result*/) {}
  // A message to the control's own window that it handles itself (windows of our class only);
  // false passes it on to the dispatcher.
  virtual bool OwnMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/, LRESULT& /*result*/) { return false; }
  // The parent's WM_CTLCOLORSTATIC for this control: the brush its background takes. Labels and
  // pictures take the background of the page they stand on.
  virtual HBRUSH StaticColors(HDC dc) {
    SetBkMode(dc, TRANSPARENT);
    return GetSysColorBrush(COLOR_BTNFACE);
  }
  // Containers: where the origin of the children's coordinates lies in the client area (a
  // scrolled box's content has moved up and left), and that a child came, went or moved.
  virtual POINT ContentOrigin() { return POINT{0, 0}; }
  virtual void ChildrenChanged() {}
  // The mouse wheel turned over this window or one of its children; false: not handled.
  virtual bool Wheel(int /*delta*/) { return false; }
  // The cursor over the control; nullptr: the window class's.
  virtual HCURSOR Cursor() { return nullptr; }
  // Forms only: the cursor over the whole client area and every control on it; nullptr: none.
  virtual HCURSOR BusyCursor() { return nullptr; }

  Win32Application& app;
  HWND hwnd = nullptr;
};

// The object behind one of our windows; nullptr for any other window.
NativeControl* ObjectOf(HWND hwnd);
// The object of a child window's parent; nullptr for a top-level window or a foreign parent.
NativeControl* ParentObjectOf(HWND hwnd);
// The font of dialog texts, shared by every control.
HFONT UiFont();
std::string WindowText(HWND hwnd);
// For windows that give their contents as their text: answers WM_GETTEXTLENGTH and WM_GETTEXT (as
// much as the buffer holds, terminated) with text(); false for any other message.
bool AnswerTextRequest(UINT msg, WPARAM wParam, LPARAM lParam, const std::function<std::string()>& text,
                       LRESULT& result);
// The mouse pointer in a window's client coordinates.
POINT CursorIn(HWND hwnd);

// Common operations of every control backed by one window.
template <class Base>
class Native : public Base, public NativeControl {
 public:
  template <class... Args>
  explicit Native(Win32Application& application, Args&&... args)
      : Base(std::forward<Args>(args)...), NativeControl(application) {}
  ~Native() override {
    if (hwnd && IsWindow(hwnd)) {
      NativeControl* parent = ParentObjectOf(hwnd);
      RemovePropA(hwnd, kObjectProp);
      DestroyWindow(hwnd);
      if (parent) parent->ChildrenChanged();
    }
  }
  Control& AsControl() override { return *this; }

  void Attach(HWND window) {
    hwnd = window;
    SetPropA(hwnd, kObjectProp, static_cast<NativeControl*>(this));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  }
  // Bounds are in the parent's content coordinates; the parent hears of every move.
  void SetBounds(const Rect& r) override {
    NativeControl* parent = ParentObjectOf(hwnd);
    POINT origin = parent ? parent->ContentOrigin() : POINT{0, 0};
    MoveWindow(hwnd, r.left + origin.x, r.top + origin.y, r.width, r.height, TRUE);
    if (parent) parent->ChildrenChanged();
  }
  Rect Bounds() override {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    HWND parent = GetParent(hwnd);
    POINT origin{0, 0};
    if (parent && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD)) {
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
      if (NativeControl* object = ObjectOf(parent)) origin = object->ContentOrigin();
    }
    return Rect{rc.left - origin.x, rc.top - origin.y, rc.right - rc.left, rc.bottom - rc.top};
  }
  Rect ScreenRect() override {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    return Rect{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
  }
  // Both containers hear of it, as of any child that comes or goes.
  void SetParent(Container& parent) override {
    NativeControl* old = ParentObjectOf(hwnd);
    ::SetParent(hwnd, HandleOf(parent));
    if (old) old->ChildrenChanged();
    if (NativeControl* now = ParentObjectOf(hwnd)) now->ChildrenChanged();
  }
  void SetVisible(bool visible) override { ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE); }
  bool Visible() override { return IsWindowVisible(hwnd) != 0; }
  void SetEnabled(bool enabled) override { EnableWindow(hwnd, enabled); }
  bool Enabled() override { return IsWindowEnabled(hwnd) != 0; }
};

// A control whose caption is its window text.
template <class Base>
class NativeCaptioned : public Native<Base> {
 public:
  using Native<Base>::Native;
  void SetCaption(const std::string& caption) override { SetWindowTextA(this->hwnd, caption.c_str()); }
  std::string Caption() override { return WindowText(this->hwnd); }
};

// Makes the control object of type T for a window just created.
template <class T, class... Args>
std::unique_ptr<T> MakeNative(Win32Application& app, HWND hwnd, Args&&... args) {
  auto control = std::make_unique<T>(app, std::forward<Args>(args)...);
  control->Attach(hwnd);
  return control;
}

// A child window of a class, visible, on the parent's window at the origin of its content.
HWND CreateChild(Win32Application& app, Container& parent, const char* cls, DWORD style, DWORD exStyle = 0);

// The controls with files of their own.
std::unique_ptr<Form> MakeForm(Win32Application& app, const std::string& name, FormStyle style);
std::unique_ptr<TreeView> MakeTreeView(Win32Application& app, Container& parent, const std::string& name);
std::unique_ptr<PopupMenu> MakePopupMenu(Win32Application& app, const std::string& name);
std::unique_ptr<Label> MakeLabel(Win32Application& app, Container& parent, const std::string& name);
std::unique_ptr<ScrollBox> MakeScrollBox(Win32Application& app, Container& parent, const std::string& name);
std::unique_ptr<HtmlViewer> MakeHtmlViewer(Win32Application& app, Container& parent, const std::string& name);
std::unique_ptr<Edit> MakeEdit(Win32Application& app, Container& parent, const std::string& name);
std::unique_ptr<Memo> MakeMemo(Win32Application& app, Container& parent, const std::string& name);
// A label in a scroll box, drawn by the box without a window of its own.
std::unique_ptr<Label> MakeBoxLabel(ScrollBox& box, const std::string& name);

// The mouse held on a container for its OnDrag, from the press to the release: a press on the
// client area (panels) or on the caption (tool windows) captures the mouse.
class DragTracker {
 public:
  // Handles a message of the drag; false for any other, which then takes its usual way.
  bool Handle(NativeControl& self, Container& on, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

 private:
  void Start(NativeControl& self, Container& on, POINT screen);
  bool active_ = false;
  DWORD lastPress_ = 0;
  POINT lastAt_{-1000000, -1000000};
};

// The grey outline of a dragged bar's landing place, above every window.
void ShowDragOutline(Win32Application& app, const Rect& screen);
void HideDragOutline();

// The dispatcher of our window class, registered by the application object.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

}  // namespace sorel::win32ui
