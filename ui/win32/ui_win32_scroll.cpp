// The Win32 scroll box: a borderless window of our class whose children stand on a content area
// larger than its client area, with the window's own scroll bars shown as that content needs.
// Its labels have no windows: the box draws them.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/win32/gdi_font_win32.h"
#include "ui/win32/ui_win32_private.h"

namespace sorel::win32ui {
namespace {

// Pixels a scroll-bar arrow moves, and lines a wheel notch moves.
constexpr int kLineStep = 8;
constexpr int kWheelLines = 3;

class Win32ScrollBox;

// A label that the scroll box it stands in draws, in content coordinates. The preview rebuilds a
// sheet of these on every step through the tree; as windows, making, painting and destroying them
// took Wine about a hundred milliseconds a sheet.
class DrawnLabel : public Label {
 public:
  DrawnLabel(Win32ScrollBox& box, const std::string& name) : Label(name), box_(&box) {}
  ~DrawnLabel() override;

  void SetBounds(const Rect& r) override { Change([&] { rect_ = r; }); }
  Rect Bounds() override { return rect_; }
  Rect ScreenRect() override;
  // Drawn by its box, it stays in it.
  void SetParent(Container&) override {}
  void SetVisible(bool visible) override { Change([&] { visible_ = visible; }); }
  bool Visible() override;
  void SetEnabled(bool enabled) override { Change([&] { enabled_ = enabled; }); }
  bool Enabled() override { return enabled_; }
  void SetCaption(const std::string& caption) override { Change([&] { caption_ = caption; }); }
  std::string Caption() override { return caption_; }
  void SetFont(const FontSpec& font) override {
    HFONT made = CreateGdiFont(font, ScreenLogPixelsY());
    if (!made) return;  // GDI found nothing at all: the caption keeps the font it has
    Change([&] {
      if (font_) DeleteObject(font_);
      font_ = made;
    });
  }
  void SetTransparent(bool transparent) override { Change([&] { transparent_ = transparent; }); }
  bool Transparent() override { return transparent_; }
  void SetFitToText(bool fit) override { Change([&] { fit_ = fit; }); }
  void SetLink(bool link) override { Change([&] { link_ = link; }); }
  void SetAlignment(TextAlign align) override { Change([&] { align_ = align; }); }
  bool Link() const { return link_ && visible_; }
  // Whether a point of the content stands on the label.
  bool Covers(POINT at) const {
    return visible_ && at.x >= rect_.left && at.x < rect_.left + rect_.width && at.y >= rect_.top &&
           at.y < rect_.top + rect_.height;
  }

  // Draws the label with the content's origin at origin of the box's client area.
  void Paint(HDC dc, POINT origin);
  // The box is going away before the label.
  void Detach() { box_ = nullptr; }

 private:
  // Repaints where the label stood and where it stands after the change, measured again; the box
  // hears of a new place or size.
  template <class F>
  void Change(F&& change) {
    const Rect before = rect_;
    Invalidate();
    change();
    Fit();
    Invalidate();
    const bool moved = before.left != rect_.left || before.top != rect_.top || before.width != rect_.width ||
                       before.height != rect_.height;
    if (moved) Moved();
  }
  void Moved();
  void Fit();
  void Invalidate();
  UINT Format() const {
    const UINT align = align_ == TextAlign::Center && !fit_ ? DT_CENTER : DT_LEFT;
    return align | DT_EXPANDTABS | (fit_ ? DT_NOPREFIX : DT_WORDBREAK);
  }
  HFONT Font() const { return font_ ? font_ : UiFont(); }

  Win32ScrollBox* box_;  // nullptr once the box is gone
  Rect rect_;
  std::string caption_;
  HFONT font_ = nullptr;  // owned; nullptr: the box's
  bool visible_ = true, enabled_ = true, transparent_ = false, fit_ = false, link_ = false;
  TextAlign align_ = TextAlign::Left;
};

class Win32ScrollBox : public Native<ScrollBox> {
 public:
  using Native::Native;
  ~Win32ScrollBox() override {
    for (DrawnLabel* label : labels_) label->Detach();
  }

  std::unique_ptr<Label> AddLabel(const std::string& name) {
    auto label = std::make_unique<DrawnLabel>(*this, name);
    labels_.push_back(label.get());
    ChildrenChanged();
    return label;
  }
  void RemoveLabel(DrawnLabel* label) {
    labels_.erase(std::remove(labels_.begin(), labels_.end(), label), labels_.end());
    ChildrenChanged();
  }

  // Labels only mark what they cover for the next paint, so a sheet rebuilt label by label is
  // drawn once, whole, with the bars set for all of it.
  void SuspendRange() override { ++suspended_; }
  void ResumeRange() override {
    if (suspended_ > 0 && --suspended_ == 0) Recompute();
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
      case WM_PAINT:
      case WM_PRINTCLIENT:
        PaintLabels(msg, reinterpret_cast<HDC>(wParam));
        result = 0;
        return true;
      case WM_SETCURSOR:
        // The windows around it first, as the system's default does: the form shows the hint.
        if (LOWORD(lParam) != HTCLIENT || !LinkAt(CursorIn(hwnd))) return false;
        if (!SendMessageA(GetParent(hwnd), WM_SETCURSOR, wParam, lParam)) SetCursor(LoadCursor(nullptr, IDC_HAND));
        result = TRUE;
        return true;
      case WM_LBUTTONUP:
        if (DrawnLabel* link = LinkAt(POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
            link && link->OnClick)
          Guarded(app, link->OnClick);
        result = 0;
        return true;
      case WM_SIZE:
        // A new client size changes the pages; a bar shown or hidden by UpdateBars itself
        // resizes the client area too, and UpdateBars sees to that.
        if (!updatingBars_) UpdateBars();
        return false;
      default:
        return AnswerTextRequest(msg, wParam, lParam, [this] { return LabelsText(); }, result);
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
    for (DrawnLabel* label : labels_) {
      const Rect r = label->Bounds();
      range_.width = std::max(range_.width, r.left + r.width);
      range_.height = std::max(range_.height, r.top + r.height);
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
    SetScrollInfo(hwnd, bar, &info, FALSE);
    RepaintBars();
  }

  // Drawn with the next paint: drawing a bar at once costs Wine milliseconds, and a sheet sets
  // both bars several times before it is shown.
  void RepaintBars() {
    RECT none{0, 0, 0, 0};  // the frame alone
    RedrawWindow(hwnd, &none, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOERASE);
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
    SetScrollInfo(hwnd, bar, &info, FALSE);
    RepaintBars();
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

  // The topmost label at a client point when it is a link, nullptr otherwise.
  DrawnLabel* LinkAt(POINT at) {
    at.x += x_;
    at.y += y_;
    for (auto it = labels_.rbegin(); it != labels_.rend(); ++it)
      if ((*it)->Covers(at)) return (*it)->Link() ? *it : nullptr;
    return nullptr;
  }

  // WM_PAINT, or WM_PRINTCLIENT into the given device context: the labels over the background.
  void PaintLabels(UINT msg, HDC given) {
    PAINTSTRUCT ps;
    HDC dc = msg == WM_PAINT ? BeginPaint(hwnd, &ps) : given;
    if (msg == WM_PRINTCLIENT) {
      RECT client;
      GetClientRect(hwnd, &client);
      FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
    }
    for (DrawnLabel* label : labels_) label->Paint(dc, ContentOrigin());
    if (msg == WM_PAINT) EndPaint(hwnd, &ps);
  }

  // The box's text is its labels' captions, a line each, so that whoever reads window texts (a
  // screen reader, a test) reads the sheet.
  std::string LabelsText() const {
    std::string text;
    for (DrawnLabel* label : labels_) text += (text.empty() ? "" : "\r\n") + label->Caption();
    return text;
  }

  std::vector<DrawnLabel*> labels_;  // in the order made, which is the order drawn
  Rect range_;
  int x_ = 0, y_ = 0;
  int suspended_ = 0;
  bool updatingBars_ = false;
};

DrawnLabel::~DrawnLabel() {
  if (box_) {
    Invalidate();
    box_->RemoveLabel(this);
  }
  if (font_) DeleteObject(font_);
}

void DrawnLabel::Moved() {
  if (box_) box_->ChildrenChanged();
}

bool DrawnLabel::Visible() { return visible_ && box_ && IsWindowVisible(box_->hwnd); }

Rect DrawnLabel::ScreenRect() {
  if (!box_) return rect_;
  POINT at = box_->ContentOrigin();
  ClientToScreen(box_->hwnd, &at);
  return Rect{at.x + rect_.left, at.y + rect_.top, rect_.width, rect_.height};
}

// A fitted label is as large as its caption drawn in its font; an empty caption is one line high.
void DrawnLabel::Fit() {
  if (!fit_) return;
  static HDC measure = CreateCompatibleDC(nullptr);  // the screen's metrics, for the program's life
  const char* text = caption_.empty() ? " " : caption_.c_str();
  HGDIOBJ old = SelectObject(measure, Font());
  RECT rc{0, 0, 0, 0};
  DrawTextA(measure, text, static_cast<int>(strlen(text)), &rc, Format() | DT_CALCRECT);
  SelectObject(measure, old);
  rect_.width = caption_.empty() ? 0 : rc.right;
  rect_.height = rc.bottom;
}

void DrawnLabel::Invalidate() {
  if (!box_ || rect_.width <= 0 || rect_.height <= 0) return;
  const POINT origin = box_->ContentOrigin();
  RECT rc{rect_.left + origin.x, rect_.top + origin.y, rect_.left + origin.x + rect_.width,
          rect_.top + origin.y + rect_.height};
  InvalidateRect(box_->hwnd, &rc, TRUE);
}

// Opaque labels fill their area with the page colour; the text takes the window text colour, grey
// when disabled, and keeps within the label.
void DrawnLabel::Paint(HDC dc, POINT origin) {
  if (!visible_) return;
  RECT rc{rect_.left + origin.x, rect_.top + origin.y, rect_.left + origin.x + rect_.width,
          rect_.top + origin.y + rect_.height};
  RECT visible;
  if (!GetClipBox(dc, &visible) || !IntersectRect(&visible, &visible, &rc)) return;
  if (!transparent_) FillRect(dc, &rc, GetSysColorBrush(COLOR_BTNFACE));
  HGDIOBJ old = SelectObject(dc, Font());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, !enabled_ ? GetSysColor(COLOR_GRAYTEXT) : link_ ? RGB(0, 0, 255) : GetSysColor(COLOR_WINDOWTEXT));
  DrawTextA(dc, caption_.c_str(), static_cast<int>(caption_.size()), &rc, Format());
  SelectObject(dc, old);
}

}  // namespace

std::unique_ptr<Label> MakeBoxLabel(ScrollBox& box, const std::string& name) {
  return static_cast<Win32ScrollBox&>(box).AddLabel(name);
}

// No WS_CLIPCHILDREN: the box paints its background under transparent labels before they draw.
std::unique_ptr<ScrollBox> MakeScrollBox(Win32Application& app, Container& parent, const std::string& name) {
  auto box = MakeNative<Win32ScrollBox>(app, CreateChild(app, parent, kWindowClass, 0, WS_EX_CONTROLPARENT), name);
  box->Init();
  return box;
}

}  // namespace sorel::win32ui
