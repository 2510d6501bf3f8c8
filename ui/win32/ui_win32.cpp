// Win32Ui and the simple controls (panels, buttons, combo boxes, status bar, pictures, tabs, progress
// bars): each control object owns one system window and maps its operations to messages. Forms,
// labels, text fields, scroll boxes, trees, menus and the dispatcher have files of their own.
#include "ui/win32/ui_win32.h"

#include <vector>

#include "ui/win32/ui_win32_private.h"

namespace sorel {

namespace win32ui {
namespace {

class Win32Panel : public Native<Panel> {
 public:
  using Native::Native;
  void SetGrip(Grip grip) override {
    if (grip == grip_) return;
    grip_ = grip;
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  Grip GripEdge() override { return grip_; }
  bool OwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    if (msg == WM_PAINT && grip_ != Grip::None) {
      PaintGrip();
      result = 0;
      return true;
    }
    return drag_.Handle(*this, *this, msg, wParam, lParam, result);
  }

 private:
  // Two raised lines along the edge, as tool bars mark where to take them.
  void PaintGrip() {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd, &ps);
    RECT rc;
    GetClientRect(hwnd, &rc);
    for (int line = 0; line < 2; ++line) {
      const int at = 2 + 3 * line;
      RECT r = grip_ == Grip::Left ? RECT{at, 2, at + 3, rc.bottom - 2} : RECT{2, at, rc.right - 2, at + 3};
      DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    EndPaint(hwnd, &ps);
  }
  Grip grip_ = Grip::None;
  DragTracker drag_;
};

class Win32Button : public NativeCaptioned<Button> {
 public:
  using NativeCaptioned::NativeCaptioned;
  void SetGlyph(const std::string& resource) override {
    // Light grey in the picture takes the system's button colour.
    HANDLE bitmap = LoadImageA(app.Instance(), resource.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
    SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | BS_BITMAP);
    HANDLE old = reinterpret_cast<HANDLE>(SendMessageA(hwnd, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
    if (old) DeleteObject(old);
    glyph_ = resource;
  }
  std::string Glyph() override { return glyph_; }
  // A two-state button is a push-like check box whose state the program sets.
  void SetDown(bool down) override {
    if (!(GetWindowLongA(hwnd, GWL_STYLE) & BS_PUSHLIKE)) {
      LONG style = (GetWindowLongA(hwnd, GWL_STYLE) & ~0x0F) | BS_CHECKBOX | BS_PUSHLIKE;
      SetWindowLongA(hwnd, GWL_STYLE, style);
    }
    SendMessageA(hwnd, BM_SETCHECK, down ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  bool Down() override { return SendMessageA(hwnd, BM_GETCHECK, 0, 0) == BST_CHECKED; }
  // A press runs the handler, then ends the modal form the button stands on with its result.
  void Command(WORD code) override {
    if (code != BN_CLICKED) return;
    if (OnClick) Guarded(app, OnClick);
    if (ModalResult == 0) return;
    if (auto* form = ObjectOf(GetAncestor(hwnd, GA_ROOT))) form->EndModal(ModalResult);
  }

 private:
  std::string glyph_;
};

class Win32ComboBox : public Native<ComboBox> {
 public:
  using Native::Native;
  void AddItem(const std::string& text) override {
    SendMessageA(hwnd, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  }
  int Count() override { return static_cast<int>(SendMessageA(hwnd, CB_GETCOUNT, 0, 0)); }
  std::string Item(int index) override {
    LRESULT length = SendMessageA(hwnd, CB_GETLBTEXTLEN, index, 0);
    if (length == CB_ERR) return "";
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    SendMessageA(hwnd, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
  }
  void DeleteItem(int index) override { SendMessageA(hwnd, CB_DELETESTRING, index, 0); }
  int FindExact(const std::string& text) override {
    LRESULT found = SendMessageA(hwnd, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text.c_str()));
    return found == CB_ERR ? -1 : static_cast<int>(found);
  }
  int ItemIndex() override {
    LRESULT index = SendMessageA(hwnd, CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
  }
  void SetItemIndex(int index) override { SendMessageA(hwnd, CB_SETCURSEL, index, 0); }
  // The height of a drop-down list's window includes its open list.
  void SetBounds(const Rect& r) override { Native::SetBounds({r.left, r.top, r.width, r.height + 160}); }
  void Command(WORD code) override {
    if (code == CBN_SELCHANGE && OnChange) Guarded(app, OnChange);
  }
};

class Win32StatusBar : public Native<StatusBar> {
 public:
  using Native::Native;
  // The bar places itself along the bottom edge of its parent.
  void SetBounds(const Rect&) override { SendMessageA(hwnd, WM_SIZE, 0, 0); }
  void SetSimpleText(const std::string& text) override {
    SendMessageA(hwnd, SB_SETTEXTA, SB_SIMPLEID, reinterpret_cast<LPARAM>(text.c_str()));
    text_ = text;
  }
  std::string SimpleText() override { return text_; }

 private:
  std::string text_;
};

class Win32Image : public Native<Image> {
 public:
  using Native::Native;
  void ShowIcon(const std::string& resource) override {
    HANDLE icon = LoadImageA(app.Instance(), resource.c_str(), IMAGE_ICON, 32, 32, 0);
    SetWindowLongA(hwnd, GWL_STYLE, (GetWindowLongA(hwnd, GWL_STYLE) & ~SS_TYPEMASK) | SS_ICON);
    SendMessageA(hwnd, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    picture_ = resource;
  }
  void ShowBitmap(const std::string& resource) override {
    HANDLE bitmap = LoadImageA(app.Instance(), resource.c_str(), IMAGE_BITMAP, 0, 0, 0);
    SetWindowLongA(hwnd, GWL_STYLE, (GetWindowLongA(hwnd, GWL_STYLE) & ~SS_TYPEMASK) | SS_BITMAP);
    SendMessageA(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    picture_ = resource;
  }
  std::string Picture() override { return picture_; }

 private:
  std::string picture_;
};

// The bar keeps its position within its range itself.
class Win32ProgressBar : public Native<ProgressBar> {
 public:
  using Native::Native;
  void SetRange(int min, int max) override { SendMessageA(hwnd, PBM_SETRANGE32, min, max); }
  void SetPosition(int position) override { SendMessageA(hwnd, PBM_SETPOS, position, 0); }
  int Position() override { return static_cast<int>(SendMessageA(hwnd, PBM_GETPOS, 0, 0)); }
};

class Win32TabSheet : public Native<TabSheet> {
 public:
  using Native::Native;
  void SetCaption(const std::string& caption) override {
    caption_ = caption;
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>(caption_.c_str());
    SendMessageA(tabs, TCM_SETITEMA, index, reinterpret_cast<LPARAM>(&item));
  }
  std::string Caption() override { return caption_; }
  HWND tabs = nullptr;
  int index = 0;

 private:
  std::string caption_;
};

class Win32TabControl : public Native<TabControl> {
 public:
  using Native::Native;
  TabSheet& AddSheet(const std::string& name, const std::string& caption) override {
    auto sheet = std::make_unique<Win32TabSheet>(app, name);
    sheet->tabs = hwnd;
    sheet->index = static_cast<int>(sheets_.size());
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>("");
    SendMessageA(hwnd, TCM_INSERTITEMA, sheet->index, reinterpret_cast<LPARAM>(&item));
    sheet->Attach(CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, "", WS_CHILD | WS_CLIPCHILDREN,
                                  0, 0, 10, 10, hwnd, nullptr, app.Instance(), nullptr));
    sheet->SetCaption(caption);
    sheets_.push_back(std::move(sheet));
    Layout();
    return *sheets_.back();
  }
  int ActivePage() override { return static_cast<int>(SendMessageA(hwnd, TCM_GETCURSEL, 0, 0)); }
  void SetActivePage(int index) override {
    SendMessageA(hwnd, TCM_SETCURSEL, index, 0);
    ShowActive();
  }
  void SetBounds(const Rect& r) override {
    Native::SetBounds(r);
    Layout();
  }
  LRESULT Notify(NMHDR* header) override {
    if (header->code == TCN_SELCHANGE) {
      ShowActive();
      if (OnChange) Guarded(app, OnChange);
    }
    return 0;
  }

 private:
  void Layout() {
    RECT rc;
    GetClientRect(hwnd, &rc);
    SendMessageA(hwnd, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&rc));
    for (auto& s : sheets_)
      MoveWindow(s->hwnd, rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top, TRUE);
    ShowActive();
  }
  void ShowActive() {
    int active = ActivePage();
    for (auto& s : sheets_) ShowWindow(s->hwnd, s->index == active ? SW_SHOW : SW_HIDE);
  }
  std::vector<std::unique_ptr<Win32TabSheet>> sheets_;
};

}  // namespace

HWND CreateChild(Win32Application& app, Container& parent, const char* cls, DWORD style, DWORD exStyle) {
  auto* container = dynamic_cast<NativeControl*>(&parent);
  POINT origin = container ? container->ContentOrigin() : POINT{0, 0};
  HWND child = CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, origin.x, origin.y, 10, 10,
                               HandleOf(parent), nullptr, app.Instance(), nullptr);
  if (container) container->ChildrenChanged();
  return child;
}

}  // namespace win32ui

using namespace win32ui;

Win32Ui::Win32Ui(Win32Application& app) : app_(app) {}

std::unique_ptr<Form> Win32Ui::CreateForm(const std::string& name, FormStyle style) {
  return MakeForm(app_, name, style);
}

std::unique_ptr<Panel> Win32Ui::CreatePanel(Container& parent, const std::string& name) {
  return MakeNative<Win32Panel>(app_, CreateChild(app_, parent, kWindowClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT),
                                name);
}
std::unique_ptr<Label> Win32Ui::CreateLabel(Container& parent, const std::string& name) {
  return MakeLabel(app_, parent, name);
}
std::unique_ptr<ScrollBox> Win32Ui::CreateScrollBox(Container& parent, const std::string& name) {
  return MakeScrollBox(app_, parent, name);
}
std::unique_ptr<HtmlViewer> Win32Ui::CreateHtmlViewer(Container& parent, const std::string& name) {
  return MakeHtmlViewer(app_, parent, name);
}
std::unique_ptr<Button> Win32Ui::CreateButton(Container& parent, const std::string& name) {
  return MakeNative<Win32Button>(app_, CreateChild(app_, parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP), name);
}
std::unique_ptr<TabControl> Win32Ui::CreateTabControl(Container& parent, const std::string& name) {
  return MakeNative<Win32TabControl>(app_, CreateChild(app_, parent, WC_TABCONTROLA, WS_CLIPSIBLINGS | WS_TABSTOP),
                                     name);
}
std::unique_ptr<StatusBar> Win32Ui::CreateStatusBar(Container& parent, const std::string& name) {
  auto bar = MakeNative<Win32StatusBar>(app_, CreateChild(app_, parent, STATUSCLASSNAMEA, 0), name);
  SendMessageA(bar->hwnd, SB_SIMPLE, TRUE, 0);
  return bar;
}
std::unique_ptr<Image> Win32Ui::CreateImage(Container& parent, const std::string& name) {
  return MakeNative<Win32Image>(app_, CreateChild(app_, parent, "STATIC", SS_NOTIFY), name);
}
std::unique_ptr<ComboBox> Win32Ui::CreateComboBox(Container& parent, const std::string& name) {
  return MakeNative<Win32ComboBox>(
      app_,
      CreateChild(app_, parent, WC_COMBOBOXA, CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP),
      name);
}
std::unique_ptr<Edit> Win32Ui::CreateEdit(Container& parent, const std::string& name) {
  return MakeEdit(app_, parent, name);
}
std::unique_ptr<Memo> Win32Ui::CreateMemo(Container& parent, const std::string& name) {
  return MakeMemo(app_, parent, name);
}
std::unique_ptr<ProgressBar> Win32Ui::CreateProgressBar(Container& parent, const std::string& name) {
  return MakeNative<Win32ProgressBar>(app_, CreateChild(app_, parent, PROGRESS_CLASSA, 0), name);
}
std::unique_ptr<TreeView> Win32Ui::CreateTreeView(Container& parent, const std::string& name) {
  return MakeTreeView(app_, parent, name);
}
std::unique_ptr<PopupMenu> Win32Ui::CreatePopupMenu(const std::string& name) { return MakePopupMenu(app_, name); }

}  // namespace sorel
