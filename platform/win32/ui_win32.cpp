// Win32 controls: each control object owns one system window and maps its operations to messages.
#include "platform/win32/ui_win32.h"

#include <commctrl.h>

#include <algorithm>
#include <vector>

namespace sorel {

namespace {

const char* const kWindowClass = "SorelWindow";
const char* const kObjectProp = "SorelControl";

// What our window procedure needs from every control object.
class NativeControl {
 public:
  virtual ~NativeControl() = default;
  virtual Control& AsControl() = 0;
  virtual void Command(WORD /*code*/) {}
  virtual LRESULT Notify(NMHDR* /*header*/) { return 0; }
  HWND hwnd = nullptr;
};

NativeControl* ObjectOf(HWND hwnd) {
  return hwnd ? static_cast<NativeControl*>(GetPropA(hwnd, kObjectProp)) : nullptr;
}

Win32Application* g_app = nullptr;  // the one application object; the window procedure needs it

// Runs an event handler; an error ends the handler and is shown in its own words.
template <class F>
void Guarded(F&& handler) {
  try {
    handler();
  } catch (const std::exception& e) {
    if (g_app) g_app->ShowException(e);
  }
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

// Common operations of every control backed by one window.
template <class Base>
class Native : public Base, public NativeControl {
 public:
  explicit Native(const std::string& name) : Base(name) {}
  ~Native() override {
    if (hwnd && IsWindow(hwnd)) {
      RemovePropA(hwnd, kObjectProp);
      DestroyWindow(hwnd);
    }
  }
  Control& AsControl() override { return *this; }

  void Attach(HWND window) {
    hwnd = window;
    SetPropA(hwnd, kObjectProp, static_cast<NativeControl*>(this));
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
  }
  void SetBounds(const Rect& r) override { MoveWindow(hwnd, r.left, r.top, r.width, r.height, TRUE); }
  Rect Bounds() override {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    HWND parent = GetParent(hwnd);
    if (parent && (GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD))
      MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rc), 2);
    return Rect{rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top};
  }
  void SetVisible(bool visible) override { ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE); }
  bool Visible() override { return IsWindowVisible(hwnd) != 0; }
  void SetEnabled(bool enabled) override { EnableWindow(hwnd, enabled); }
  bool Enabled() override { return IsWindowEnabled(hwnd) != 0; }
};

template <class Base>
class NativeCaptioned : public Native<Base> {
 public:
  using Native<Base>::Native;
  void SetCaption(const std::string& caption) override { SetWindowTextA(this->hwnd, caption.c_str()); }
  std::string Caption() override { return WindowText(this->hwnd); }
};

HWND CreateChild(Container& parent, const char* cls, DWORD style, DWORD exStyle = 0) {
  return CreateWindowExA(exStyle, cls, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10,
                         HandleOf(parent), nullptr, g_app->Instance(), nullptr);
}

class Win32Panel : public Native<Panel> {
 public:
  using Native::Native;
};

class Win32Label : public NativeCaptioned<Label> {
 public:
  using NativeCaptioned::NativeCaptioned;
};

void EndModal(HWND anyChild, int result);

// Fills a system menu with an item's sub-items; command ids index into byId.
void BuildMenu(MenuItem& parent, HMENU menu, std::vector<MenuItem*>& byId, std::vector<HBITMAP>& bitmaps) {
  for (int i = 0; i < parent.Count(); ++i) {
    MenuItem& item = parent.Item(i);
    if (item.Caption() == "-") {
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      continue;
    }
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_ID;
    info.fType = MFT_STRING | (item.RadioItem() ? MFT_RADIOCHECK : 0);
    info.fState = item.Checked() ? MFS_CHECKED : 0;
    info.dwTypeData = const_cast<char*>(item.Caption().c_str());
    byId.push_back(&item);
    info.wID = static_cast<UINT>(byId.size());
    if (item.Count() > 0) {
      info.fMask |= MIIM_SUBMENU;
      info.hSubMenu = CreatePopupMenu();
      BuildMenu(item, info.hSubMenu, byId, bitmaps);
    }
    if (!item.Image().empty()) {
      HBITMAP bitmap = static_cast<HBITMAP>(
          LoadImageA(g_app->Instance(), item.Image().c_str(), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS));
      if (bitmap) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = bitmap;
        bitmaps.push_back(bitmap);
      }
    }
    InsertMenuItemA(menu, GetMenuItemCount(menu), TRUE, &info);
  }
}

class Win32PopupMenu : public PopupMenu {
 public:
  explicit Win32PopupMenu(const std::string& name) : root_(name) {}
  MenuItem& Items() override { return root_; }
  void Popup(Control& anchor, int x, int y) override {
    HWND owner = HandleOf(anchor);
    POINT at{x, y};
    ClientToScreen(owner, &at);
    std::vector<MenuItem*> byId;
    std::vector<HBITMAP> bitmaps;
    HMENU menu = CreatePopupMenu();
    BuildMenu(root_, menu, byId, bitmaps);
    HWND window = GetAncestor(owner, GA_ROOT);
    SetForegroundWindow(window);
    UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, at.x, at.y,
                                 0, window, nullptr);
    DestroyMenu(menu);
    for (HBITMAP b : bitmaps) DeleteObject(b);
    if (chosen >= 1 && chosen <= byId.size()) {
      MenuItem* item = byId[chosen - 1];
      if (item->OnClick) Guarded([&] { item->OnClick(*item); });
    }
  }

 private:
  MenuItem root_;
};

class Win32Button : public NativeCaptioned<Button> {
 public:
  using NativeCaptioned::NativeCaptioned;
  void SetGlyph(const std::string& resource) override {
    // Light grey in the picture takes the system's button colour.
    HANDLE bitmap = LoadImageA(g_app->Instance(), resource.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADMAP3DCOLORS);
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

 private:
  std::string glyph_;

 public:
  void Command(WORD code) override {
    if (code != BN_CLICKED) return;
    if (OnClick) Guarded(OnClick);
    if (ModalResult != 0) EndModal(hwnd, ModalResult);
  }
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
  void SetBounds(const Rect& r) override { MoveWindow(hwnd, r.left, r.top, r.width, r.height + 160, TRUE); }
  void Command(WORD code) override {
    if (code == CBN_SELCHANGE && OnChange) Guarded(OnChange);
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
    HANDLE icon = LoadImageA(g_app->Instance(), resource.c_str(), IMAGE_ICON, 32, 32, 0);
    SetWindowLongA(hwnd, GWL_STYLE, (GetWindowLongA(hwnd, GWL_STYLE) & ~SS_TYPEMASK) | SS_ICON);
    SendMessageA(hwnd, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
    picture_ = resource;
  }
  void ShowBitmap(const std::string& resource) override {
    HANDLE bitmap = LoadImageA(g_app->Instance(), resource.c_str(), IMAGE_BITMAP, 0, 0, 0);
    SetWindowLongA(hwnd, GWL_STYLE, (GetWindowLongA(hwnd, GWL_STYLE) & ~SS_TYPEMASK) | SS_BITMAP);
    SendMessageA(hwnd, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
    picture_ = resource;
  }
  std::string Picture() override { return picture_; }

 private:
  std::string picture_;
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
    auto sheet = std::make_unique<Win32TabSheet>(name);
    sheet->tabs = hwnd;
    sheet->index = static_cast<int>(sheets_.size());
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<char*>("");
    SendMessageA(hwnd, TCM_INSERTITEMA, sheet->index, reinterpret_cast<LPARAM>(&item));
    sheet->Attach(CreateWindowExA(WS_EX_CONTROLPARENT, kWindowClass, "", WS_CHILD | WS_CLIPCHILDREN,
                                  0, 0, 10, 10, hwnd, nullptr, g_app->Instance(), nullptr));
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
    if (header->code == TCN_SELCHANGE) ShowActive();
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

template <class Entry>
int CALLBACK CompareEntries(LPARAM a, LPARAM b, LPARAM) {
  return lstrcmpA(reinterpret_cast<Entry*>(a)->text.c_str(), reinterpret_cast<Entry*>(b)->text.c_str());
}

LRESULT CALLBACK TreeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

class Win32TreeView : public Native<TreeView> {
 public:
  using Native::Native;
  // The tree's own messages that the windows need: presses, double clicks, typed characters.
  // Subclassed by replacing the window procedure: SetWindowSubclass exists by name only in the
  // common controls 6, and the program must run with those of Windows 98 and 2000.
  void Subclass() {
    original_ = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TreeProc)));
  }
  ~Win32TreeView() override {
    if (hwnd && original_) SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  }
  WNDPROC Original() const { return original_; }
  NodeId NodeAt(int x, int y) override {
    TVHITTESTINFO hit{};
    hit.pt = {x, y};
    auto item = reinterpret_cast<HTREEITEM>(SendMessageA(hwnd, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
    return (hit.flags & TVHT_ONITEM) ? static_cast<NodeId>(reinterpret_cast<std::uintptr_t>(item)) : 0;
  }

  NodeId AddChild(NodeId parent, const std::string& text) override {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? Item(parent) : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.lParam = 0;
    return static_cast<NodeId>(SendMessageA(hwnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
  }
  void Delete(NodeId node) override { SendMessageA(hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(Item(node))); }
  void Clear() override { SendMessageA(hwnd, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT)); }
  void SetText(NodeId node, const std::string& text) override {
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = Item(node);
    item.pszText = const_cast<char*>(text.c_str());
    SendMessageA(hwnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  std::string Text(NodeId node) override {
    char buffer[1024] = {};
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = Item(node);
    item.pszText = buffer;
    item.cchTextMax = sizeof(buffer);
    SendMessageA(hwnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return buffer;
  }
  void SetStateIndex(NodeId node, int index) override {
    TVITEMA item{};
    item.mask = TVIF_STATE;
    item.hItem = Item(node);
    item.state = INDEXTOSTATEIMAGEMASK(index);
    item.stateMask = TVIS_STATEIMAGEMASK;
    SendMessageA(hwnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  int StateIndex(NodeId node) override {
    UINT state = static_cast<UINT>(SendMessageA(hwnd, TVM_GETITEMSTATE,
                                                reinterpret_cast<WPARAM>(Item(node)), TVIS_STATEIMAGEMASK));
    return static_cast<int>((state & TVIS_STATEIMAGEMASK) >> 12);
  }
  void SetData(NodeId node, void* data) override {
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = Item(node);
    item.lParam = reinterpret_cast<LPARAM>(data);
    SendMessageA(hwnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  void* Data(NodeId node) override {
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = Item(node);
    SendMessageA(hwnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return reinterpret_cast<void*>(item.lParam);
  }
  NodeId Parent(NodeId node) override { return Next(node, TVGN_PARENT); }
  NodeId FirstChild(NodeId node) override { return node ? Next(node, TVGN_CHILD) : Next(0, TVGN_ROOT); }
  NodeId NextSibling(NodeId node) override { return Next(node, TVGN_NEXT); }

  // The sort callback sees only item data, so each child's data is swapped for its place in a
  // table of texts for the time of the sort, and put back afterwards.
  void SortChildren(NodeId node) override {
    struct Entry {
      NodeId id;
      std::string text;
      void* data;
    };
    std::vector<Entry> entries;
    for (NodeId c = FirstChild(node); c; c = NextSibling(c)) entries.push_back({c, Text(c), Data(c)});
    // Most faces arrive with their scripts in order already; the sort is the costly part.
    bool sorted = true;
    for (std::size_t i = 1; i < entries.size() && sorted; ++i)
      sorted = lstrcmpA(entries[i - 1].text.c_str(), entries[i].text.c_str()) <= 0;
    if (sorted) return;
    for (std::size_t i = 0; i < entries.size(); ++i) SetData(entries[i].id, &entries[i]);
    TVSORTCB sort{};
    sort.hParent = node ? Item(node) : TVI_ROOT;
    sort.lpfnCompare = &CompareEntries<Entry>;
    SendMessageA(hwnd, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    for (auto& e : entries) SetData(e.id, e.data);
  }
  void Expand(NodeId node) override { SendMessageA(hwnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(Item(node))); }
  NodeId Selected() override { return Next(0, TVGN_CARET); }
  void Select(NodeId node) override { SendMessageA(hwnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(Item(node))); }
  void BeginUpdate() override { SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0); }
  void EndUpdate() override {
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  void SetStateImages(const std::string& resource) override {
    HIMAGELIST images = ImageList_LoadImageA(g_app->Instance(), resource.c_str(), 16, 0, RGB(255, 0, 255),
                                             IMAGE_BITMAP, LR_CREATEDIBSECTION);
    SendMessageA(hwnd, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images));
  }
  LRESULT Notify(NMHDR* header) override {
    if (header->code == TVN_ITEMEXPANDINGA && OnCollapsing) {
      auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
      bool allow = true;
      if (change->action & TVE_COLLAPSE)
        Guarded([&] { allow = OnCollapsing(static_cast<NodeId>(reinterpret_cast<std::uintptr_t>(change->itemNew.hItem))); });
      refused_ = allow ? nullptr : change->itemNew.hItem;
      return allow ? FALSE : TRUE;
    }
    if (header->code == TVN_ITEMEXPANDEDA) {
      // Wine's tree collapses even when the collapse was refused; open the node again.
      auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
      if ((change->action & TVE_COLLAPSE) && change->itemNew.hItem == refused_)
        PostMessageA(hwnd, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(refused_));
      refused_ = nullptr;
      return 0;
    }
    if (header->code == NM_RCLICK) {
      // A right click selects the node under the pointer, then asks for the context menu there.
      DWORD pos = GetMessagePos();
      POINT at{static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos))};
      ScreenToClient(hwnd, &at);
      if (NodeId node = NodeAt(at.x, at.y)) Select(node);
      if (OnContextPopup) Guarded([&] { OnContextPopup(at.x, at.y); });
      return 1;  // handled: no WM_CONTEXTMENU as well
    }
    if (header->code == NM_DBLCLK && OnDblClick) {
      Guarded(OnDblClick);
      return 0;
    }
    if (header->code == TVN_SELCHANGEDA && OnChange) {
      auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
      NodeId node = reinterpret_cast<NodeId>(change->itemNew.hItem);
      Guarded([&] { OnChange(node); });
    }
    return 0;
  }

 private:
  static HTREEITEM Item(NodeId node) { return reinterpret_cast<HTREEITEM>(node); }
  HTREEITEM refused_ = nullptr;  // the node whose collapse was just refused
  WNDPROC original_ = nullptr;    // the tree class's procedure, which ours passes messages on to
  NodeId Next(NodeId node, UINT relation) {
    return static_cast<NodeId>(SendMessageA(hwnd, TVM_GETNEXTITEM, relation, reinterpret_cast<LPARAM>(Item(node))));
  }
};

class Win32Form : public Native<Form> {
 public:
  Win32Form(const std::string& name, FormStyle style) : Native(name), style_(style) {}
  void SetCaption(const std::string& caption) override { SetWindowTextA(hwnd, caption.c_str()); }
  std::string Caption() override { return WindowText(hwnd); }
  void SetBounds(const Rect& r) override { MoveWindow(hwnd, r.left, r.top, r.width, r.height, TRUE); }
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
  void AddExStyle(std::uint32_t bits) override {
    SetWindowLongA(hwnd, GWL_EXSTYLE, GetWindowLongA(hwnd, GWL_EXSTYLE) | static_cast<LONG>(bits));
  }
  std::uint32_t ExStyle() override { return static_cast<std::uint32_t>(GetWindowLongA(hwnd, GWL_EXSTYLE)); }
  void SetTopmost(bool topmost) override {
    SetWindowPos(hwnd, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  }
  void CenterOnScreen() override {
    Rect r = Bounds();
    SetWindowPos(hwnd, nullptr, (GetSystemMetrics(SM_CXSCREEN) - r.width) / 2,
                 (GetSystemMetrics(SM_CYSCREEN) - r.height) / 2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  }
  void SetVisible(bool visible) override {
    bool was = Visible();
    ShowWindow(hwnd, visible ? SW_SHOW : SW_HIDE);
    if (visible && !was && OnShow) Guarded(OnShow);
  }
  void ShowAndPaint() override {
    ShowWindow(hwnd, SW_SHOW);
    UpdateWindow(hwnd);
  }
  bool HandleAllocated() override { return hwnd != nullptr; }
  void Close() override { SendMessageA(hwnd, WM_CLOSE, 0, 0); }
  bool Closed() override { return closed_; }

  // A modal loop of our own: the owner is disabled meanwhile, as the system's dialogs do it.
  int ShowModal() override {
    modalResult_ = 0;
    modal_ = true;
    HWND owner = g_app ? g_app->MainWindow() : nullptr;
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
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    ShowWindow(hwnd, SW_HIDE);
    modal_ = false;
    return modalResult_ ? modalResult_ : 2;
  }
  void EndModal(int result) {
    if (modal_) modalResult_ = result;
  }
  // The dialog manager finds the cancel button by its id (GetDlgItem) and sends IDCANCEL for
  // Escape; the id also keeps the button's own clicks on that path.
  void SetCancelButton(Button* button) override {
    cancel_ = button ? dynamic_cast<NativeControl*>(button) : nullptr;
    if (cancel_) SetWindowLongPtrA(cancel_->hwnd, GWLP_ID, IDCANCEL);
  }
  // IDCANCEL: Escape or a click of the cancel button. False when the form has none.
  bool Cancel() {
    if (!cancel_) return false;
    // Escape reaches the form whatever the button's state; a click could not have.
    if (IsWindowEnabled(cancel_->hwnd) && IsWindowVisible(cancel_->hwnd)) cancel_->Command(BN_CLICKED);
    return true;
  }

  // WM_CLOSE: the close query decides; an allowed close destroys the window.
  void CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) Guarded([&] { OnCloseQuery(canClose); });
    if (!canClose) return;
    if (modal_) {
      modalResult_ = 2;
      return;
    }
    closed_ = true;
    if (g_app && g_app->MainWindow() == hwnd) g_app->Terminate();
    ShowWindow(hwnd, SW_HIDE);
  }

 private:
  FormStyle style_;
  NativeControl* cancel_ = nullptr;
  bool closed_ = false;
  bool modal_ = false;
  int modalResult_ = 0;
};

LRESULT CALLBACK TreeProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* tree = dynamic_cast<Win32TreeView*>(ObjectOf(hwnd));
  if (!tree) {
    // Not ours any more (being torn down): the tree class's own procedure is the original.
    auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(hwnd, GCLP_WNDPROC));
    return CallWindowProcA(classProc, hwnd, msg, wParam, lParam);
  }
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_LBUTTONDBLCLK:  // the second press of a double click is a press too
    case WM_RBUTTONDBLCLK:
      if (tree->OnMouseDown) {
        int x = static_cast<short>(LOWORD(lParam)), y = static_cast<short>(HIWORD(lParam));
        Guarded([&] { tree->OnMouseDown(x, y); });
      }
      break;
    case WM_GETDLGCODE:
      // Enter belongs to the tree, not to the dialog manager of the window around it.
      if (lParam && reinterpret_cast<MSG*>(lParam)->message == WM_KEYDOWN && wParam == VK_RETURN)
        return DLGC_WANTALLKEYS;
      break;
    case WM_CHAR:
      if (tree->OnKeyPress) {
        char key = static_cast<char>(wParam);
        Guarded([&] { tree->OnKeyPress(key); });
        if (key == '\r') return 0;  // no beep
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(tree->Original(), hwnd, msg, wParam, lParam);
}

void EndModal(HWND anyChild, int result) {
  if (auto* form = dynamic_cast<Win32Form*>(ObjectOf(GetAncestor(anyChild, GA_ROOT)))) form->EndModal(result);
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL && HIWORD(wParam) == BN_CLICKED) {
        if (auto* form = dynamic_cast<Win32Form*>(ObjectOf(hwnd)); form && form->Cancel()) return 0;
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
      if (g_app && hwnd == GetAncestor(hwnd, GA_ROOT)) {
        NativeControl* under = ObjectOf(reinterpret_cast<HWND>(wParam));
        g_app->SetHint(under ? under->AsControl().Hint() : "");
      }
      break;
    case WM_CLOSE:
      if (auto* form = dynamic_cast<Win32Form*>(ObjectOf(hwnd))) {
        form->CloseQuery();
        return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
      // Labels and pictures take the background of the page they stand on.
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

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

HWND HandleOf(Control& control) {
  auto* native = dynamic_cast<NativeControl*>(&control);
  return native ? native->hwnd : nullptr;
}

Win32Application::Win32Application(HINSTANCE instance) : instance_(instance) {
  g_app = this;
  INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_TREEVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES};
  InitCommonControlsEx(&icc);
  RegisterWindowClass(instance);
}

void Win32Application::Terminate() {
  if (!terminated_) PostQuitMessage(0);
  terminated_ = true;
}

bool Win32Application::WindowEnabled() { return main_ && IsWindowEnabled(main_); }
void Win32Application::BringToForeground() { SetForegroundWindow(main_); }

int Win32Application::Run() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (main_ && IsDialogMessageA(main_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

void Win32Application::ShowException(const std::exception& e) {
  MessageBoxA(main_, e.what(), title_.c_str(), MB_OK | MB_ICONERROR);
}

void Win32Application::SetHint(const std::string& hint) {
  if (hint == hint_) return;
  hint_ = hint;
  if (OnHint) Guarded(OnHint);
}

Win32Ui::Win32Ui(Win32Application& app) : app_(app) {}

std::unique_ptr<Form> Win32Ui::CreateForm(const std::string& name, FormStyle style) {
  auto form = std::make_unique<Win32Form>(name, style);
  DWORD ws = style == FormStyle::Dialog ? (WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN)
                                        : (WS_POPUP | WS_CLIPCHILDREN);
  DWORD ex = WS_EX_CONTROLPARENT;
  form->Attach(CreateWindowExA(ex, kWindowClass, "", ws, CW_USEDEFAULT, CW_USEDEFAULT, 100, 100,
                               nullptr, nullptr, app_.Instance(), nullptr));
  return form;
}

template <class T>
static std::unique_ptr<T> Make(const std::string& name, HWND hwnd) {
  auto control = std::make_unique<T>(name);
  control->Attach(hwnd);
  return control;
}

std::unique_ptr<Panel> Win32Ui::CreatePanel(Container& parent, const std::string& name) {
  return Make<Win32Panel>(name, CreateChild(parent, kWindowClass, WS_CLIPCHILDREN, WS_EX_CONTROLPARENT));
}
std::unique_ptr<Label> Win32Ui::CreateLabel(Container& parent, const std::string& name) {
  return Make<Win32Label>(name, CreateChild(parent, "STATIC", SS_LEFT | SS_NOTIFY));
}
std::unique_ptr<Button> Win32Ui::CreateButton(Container& parent, const std::string& name) {
  return Make<Win32Button>(name, CreateChild(parent, "BUTTON", BS_PUSHBUTTON | WS_TABSTOP));
}
std::unique_ptr<TabControl> Win32Ui::CreateTabControl(Container& parent, const std::string& name) {
  return Make<Win32TabControl>(name, CreateChild(parent, WC_TABCONTROLA, WS_CLIPSIBLINGS | WS_TABSTOP));
}
std::unique_ptr<StatusBar> Win32Ui::CreateStatusBar(Container& parent, const std::string& name) {
  auto bar = Make<Win32StatusBar>(name, CreateChild(parent, STATUSCLASSNAMEA, 0));
  SendMessageA(bar->hwnd, SB_SIMPLE, TRUE, 0);
  return bar;
}
std::unique_ptr<Image> Win32Ui::CreateImage(Container& parent, const std::string& name) {
  return Make<Win32Image>(name, CreateChild(parent, "STATIC", SS_NOTIFY));
}
std::unique_ptr<PopupMenu> Win32Ui::CreatePopupMenu(const std::string& name) {
  return std::make_unique<Win32PopupMenu>(name);
}

std::unique_ptr<ComboBox> Win32Ui::CreateComboBox(Container& parent, const std::string& name) {
  auto combo = Make<Win32ComboBox>(name, CreateChild(parent, WC_COMBOBOXA, CBS_DROPDOWNLIST | CBS_SORT | CBS_HASSTRINGS | WS_VSCROLL | WS_TABSTOP));
  return combo;
}

std::unique_ptr<TreeView> Win32Ui::CreateTreeView(Container& parent, const std::string& name) {
  auto tree = Make<Win32TreeView>(
      name, CreateChild(parent, WC_TREEVIEWA, TVS_HASLINES | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | WS_TABSTOP,
                        WS_EX_CLIENTEDGE));
  SendMessageA(tree->hwnd, TVM_SETINDENT, 19, 0);
  tree->Subclass();
  return tree;
}

}  // namespace sorel
