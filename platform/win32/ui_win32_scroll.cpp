// The Win32 scroll box: a borderless window of our class whose children stand on a content area
// larger than its client area, with the window's own scroll bars shown as that content needs.
#include <algorithm>

#include "platform/win32/ui_win32_private.h"

namespace sorel::win32ui {
namespace {

// Pixels a scroll-bar arrow moves, and lines a wheel notch moves.
constexpr int kLineStep = 8;
constexpr int kWheelLines = 3;

class Win32ScrollBox : public Native<ScrollBox> {
 public:
  using Native::Native;

  // A sheet is rebuilt label by label; nothing is drawn until it is whole, then all of it once.
  void SuspendRange() override {
    if (suspended_++ == 0) SendMessageA(hwnd, WM_SETREDRAW, FALSE, 0);
  }
  void ResumeRange() override {
    if (suspended_ == 0 || --suspended_ > 0) return;
    SendMessageA(hwnd, WM_SETREDRAW, TRUE, 0);
    Recompute();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
  }
  Rect Range() override { return range_; }
  void SetScrollPosition(int x, int y) override { ScrollTo(x, y); }
  int ScrollX() override { return x_; }
  int ScrollY() override { return y_; }

  POINT ContentOrigin() override { return POINT{-x_, -y_}; }
  void ChildrenChanged() override {
    if (suspended_ == 0) Recompute();
  }
  bool Wheel(int delta) override {
    ScrollTo(x_, y_ - delta * kWheelLines * kLineStep / WHEEL_DELTA);
    return true;
  }

  bool OwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (msg) {
      case WM_VSCROLL:
      case WM_HSCROLL:
        if (lParam) return false;  // a scroll-bar control of a child, not the box's own bar
        ScrollBy(msg == WM_VSCROLL ? SB_VERT : SB_HORZ, LOWORD(wParam));
        result = 0;
        return true;
      case WM_SIZE:
        // A new client size changes the pages; a bar shown or hidden by UpdateBars itself
        // resizes the client area too, and UpdateBars sees to that.
        if (!updatingBars_) UpdateBars();
        return false;
      default:
        return false;
    }
  }

  // The bars start from an empty range, so the system never shows its default one.
  void Init() { UpdateBars(); }

 private:
  // The children's extent in content coordinates: every child window, shown or not.
  void Recompute() {
    range_ = Rect{};
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT rc;
      GetWindowRect(child, &rc);
      MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&rc), 2);
      range_.width = std::max<int>(range_.width, rc.right + x_);
      range_.height = std::max<int>(range_.height, rc.bottom + y_);
    }
    UpdateBars();
  }

  // Sets both bars from the range and the client area. Showing or hiding one bar narrows or
  // widens the client area and with it the other bar's page, so this repeats until the client
  // area stays; the system clamps the positions, and the content follows them.
  void UpdateBars() {
    updatingBars_ = true;
    for (int pass = 0; pass < 3; ++pass) {
      RECT before;
      GetClientRect(hwnd, &before);
      SetBar(SB_HORZ, range_.width, before.right);
      SetBar(SB_VERT, range_.height, before.bottom);
      RECT after;
      GetClientRect(hwnd, &after);
      if (after.right == before.right && after.bottom == before.bottom) break;
    }
    updatingBars_ = false;
    MoveContent(BarPosition(SB_HORZ), BarPosition(SB_VERT));
  }

  void SetBar(int bar, int extent, int page) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = std::max(0, extent - 1);
    info.nPage = static_cast<UINT>(std::max(0, page));
    SetScrollInfo(hwnd, bar, &info, TRUE);
  }

  int BarPosition(int bar, UINT what = SIF_POS) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = what;
    if (!GetScrollInfo(hwnd, bar, &info)) return 0;
    return what == SIF_TRACKPOS ? info.nTrackPos : info.nPos;
  }

  // The system's bar keeps the position within the range; the content moves to where it says.
  void ScrollTo(int x, int y) {
    MoveContent(SetBarPosition(SB_HORZ, x), SetBarPosition(SB_VERT, y));
  }

  int SetBarPosition(int bar, int position) {
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_POS;
    info.nPos = position;
    SetScrollInfo(hwnd, bar, &info, TRUE);
    return BarPosition(bar);
  }

  void ScrollBy(int bar, WORD code) {
    RECT client;
    GetClientRect(hwnd, &client);
    const int page = bar == SB_VERT ? client.bottom : client.right;
    int& now = bar == SB_VERT ? y_ : x_;
    int to = now;
    switch (code) {
      case SB_LINEUP: to -= kLineStep; break;
      case SB_LINEDOWN: to += kLineStep; break;
      case SB_PAGEUP: to -= page; break;
      case SB_PAGEDOWN: to += page; break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: to = BarPosition(bar, SIF_TRACKPOS); break;  // 32 bits, unlike the message's
      case SB_TOP: to = 0; break;
      case SB_BOTTOM: to = bar == SB_VERT ? range_.height : range_.width; break;
      default: return;
    }
    bar == SB_VERT ? ScrollTo(x_, to) : ScrollTo(to, y_);
  }

  // Each child moves itself: ScrollWindowEx would move none while the box is not yet shown, and
  // one repaint of everything follows.
  void MoveContent(int x, int y) {
    if (x == x_ && y == y_) return;
    for (HWND child = GetWindow(hwnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT rc;
      GetWindowRect(child, &rc);
      MapWindowPoints(HWND_DESKTOP, hwnd, reinterpret_cast<POINT*>(&rc), 2);
      SetWindowPos(child, nullptr, rc.left + x_ - x, rc.top + y_ - y, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    x_ = x;
    y_ = y;
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }

  Rect range_;
  int x_ = 0, y_ = 0;
  int suspended_ = 0;
  bool updatingBars_ = false;
};

}  // namespace

// No WS_CLIPCHILDREN: the box paints its background under transparent labels before they draw.
std::unique_ptr<ScrollBox> MakeScrollBox(Win32Application& app, Container& parent, const std::string& name) {
  auto box = MakeNative<Win32ScrollBox>(app, CreateChild(app, parent, kWindowClass, 0, WS_EX_CONTROLPARENT), name);
  box->Init();
  return box;
}

}  // namespace sorel::win32ui
