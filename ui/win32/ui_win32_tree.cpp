// The Win32 tree view: nodes are the tree's own items, with state images and the presses, keys and
// double clicks the windows handle.
#include <vector>

#include "ui/win32/ui_win32_private.h"

namespace sorel::win32ui {
namespace {

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
  // Item data is the tree's own: the sort below lends it to its callback.
  void SetParam(NodeId node, void* data) {
    TVITEMA item{};
    item.mask = TVIF_PARAM;
    item.hItem = Item(node);
    item.lParam = reinterpret_cast<LPARAM>(data);
    SendMessageA(hwnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
  }
  void* Param(NodeId node) {
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
    for (NodeId c = FirstChild(node); c; c = NextSibling(c)) entries.push_back({c, Text(c), Param(c)});
    // Most faces arrive with their scripts in order already; sorting is what costs.
    bool sorted = true;
    for (std::size_t i = 1; i < entries.size() && sorted; ++i)
      sorted = lstrcmpA(entries[i - 1].text.c_str(), entries[i].text.c_str()) <= 0;
    if (sorted) return;
    for (std::size_t i = 0; i < entries.size(); ++i) SetParam(entries[i].id, &entries[i]);
    TVSORTCB sort{};
    sort.hParent = node ? Item(node) : TVI_ROOT;
    sort.lpfnCompare = &CompareEntries<Entry>;
    SendMessageA(hwnd, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
    for (auto& e : entries) SetParam(e.id, e.data);
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
    HIMAGELIST images = ImageList_LoadImageA(app.Instance(), resource.c_str(), 16, 0, RGB(255, 0, 255),
                                             IMAGE_BITMAP, LR_CREATEDIBSECTION);
    SendMessageA(hwnd, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images));
  }
  LRESULT Notify(NMHDR* header) override {
    if (header->code == TVN_ITEMEXPANDINGA && OnCollapsing) {
      auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
      bool allow = true;
      if (change->action & TVE_COLLAPSE)
        Guarded(app, [&] { allow = OnCollapsing(static_cast<NodeId>(reinterpret_cast<std::uintptr_t>(change->itemNew.hItem))); });
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
      if (OnContextPopup) Guarded(app, [&] { OnContextPopup(at.x, at.y); });
      return 1;  // handled: no WM_CONTEXTMENU as well
    }
    if (header->code == NM_DBLCLK && OnDblClick) {
      Guarded(app, OnDblClick);
      return 0;
    }
    if (header->code == TVN_SELCHANGEDA && OnChange) {
      auto* change = reinterpret_cast<NMTREEVIEWA*>(header);
      NodeId node = reinterpret_cast<NodeId>(change->itemNew.hItem);
      Guarded(app, [&] { OnChange(node); });
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
        Guarded(tree->app, [&] { tree->OnMouseDown(x, y); });
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
        Guarded(tree->app, [&] { tree->OnKeyPress(key); });
        if (key == '\r') return 0;  // no beep
      }
      break;
    default:
      break;
  }
  return CallWindowProcA(tree->Original(), hwnd, msg, wParam, lParam);
}

}  // namespace

std::unique_ptr<TreeView> MakeTreeView(Win32Application& app, Container& parent, const std::string& name) {
  auto tree = MakeNative<Win32TreeView>(
      app,
      CreateChild(app, parent, WC_TREEVIEWA, TVS_HASLINES | TVS_SHOWSELALWAYS | TVS_DISABLEDRAGDROP | WS_TABSTOP,
                  WS_EX_CLIENTEDGE),
      name);
  SendMessageA(tree->hwnd, TVM_SETINDENT, 19, 0);
  tree->Subclass();
  return tree;
}

}  // namespace sorel::win32ui
