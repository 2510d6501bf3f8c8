// The Win32 HTML viewer: a window of our class that lays a local page out with the toolkit's
// parser and layout, paints it with GDI, scrolls it, lets the user select and copy its text, and
// follows its links unless the program takes them over.
#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <tuple>

#include "platform/win32/files_win32.h"
#include "ui/win32/ui_win32_private.h"
#include "toolkit/html/html_document.h"
#include "toolkit/html/html_layout.h"
#include "toolkit/html/html_links.h"
#include "toolkit/image/picture.h"

namespace sorel::win32ui {
namespace {

constexpr int kLineStep = 16;  // pixels an arrow moves
constexpr int kWheelLines = 3;

std::string ReadWholeFile(const std::string& path, bool& ok) {
  try {
    std::string bytes = Win32FileSystem().ReadAll(path);
    ok = true;
    return bytes;
  } catch (const std::exception&) {
    ok = false;
    return "";
  }
}

std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '<' ? "&lt;" : c == '&' ? "&amp;" : std::string(1, c);
  return out;
}

COLORREF Colour(std::uint32_t rgb) { return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF); }

// GDI fonts for the layout's styles, made once each, measured in a memory device context.
class GdiMetrics : public TextMetrics {
 public:
  GdiMetrics() : dc_(CreateCompatibleDC(nullptr)) {
    HDC screen = GetDC(nullptr);
    dpi_ = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen) ReleaseDC(nullptr, screen);
  }
  ~GdiMetrics() override {
    for (auto& entry : fonts_) DeleteObject(entry.second.font);
    DeleteDC(dc_);
  }
  GdiMetrics(const GdiMetrics&) = delete;
  GdiMetrics& operator=(const GdiMetrics&) = delete;

  int Width(const TextStyle& style, std::string_view text) override {
    Select(style);
    SIZE size{0, 0};
    GetTextExtentPoint32A(dc_, text.data(), static_cast<int>(text.size()), &size);
    return size.cx;
  }
  int LineHeight(const TextStyle& style) override { return Font(style).height; }
  int Ascent(const TextStyle& style) override { return Font(style).ascent; }
  HFONT Handle(const TextStyle& style) { return Font(style).font; }

 private:
  struct Made {
    HFONT font;
    int height, ascent;
  };
  using Key = std::tuple<std::string, int, bool, bool, bool>;
  Made& Font(const TextStyle& style) {
    const Key key{style.font.face, style.font.points, style.font.bold, style.font.italic, style.font.underline};
    auto it = fonts_.find(key);
    if (it != fonts_.end()) return it->second;
    const std::string face = style.font.face.substr(0, LF_FACESIZE - 1);
    HFONT font = CreateFontA(-MulDiv(style.font.points, dpi_, 72), 0, 0, 0, style.font.bold ? FW_BOLD : FW_NORMAL,
                             style.font.italic, style.font.underline, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
    HGDIOBJ old = SelectObject(dc_, font);
    TEXTMETRICA tm{};
    GetTextMetricsA(dc_, &tm);
    SelectObject(dc_, old);
    return fonts_.emplace(key, Made{font, static_cast<int>(tm.tmHeight), static_cast<int>(tm.tmAscent)}).first->second;
  }
  void Select(const TextStyle& style) { SelectObject(dc_, Font(style).font); }

  HDC dc_;
  int dpi_ = 96;
  std::map<Key, Made> fonts_;
};

// The pictures of one page by their src as written, read beside the page when the layout first
// asks for their size; a picture that cannot be read has no entry and gets a placeholder.
class PagePictures : public ImageSizes {
 public:
  void Load(const std::string& src) {
    if (pictures_.count(src) || failed_.count(src)) return;
    bool ok = false;
    const std::string data = ReadWholeFile(ResolveLink(page, src).file, ok);
    try {
      if (!ok) throw ImageError("unreadable");
      pictures_[src] = DecodeImage(reinterpret_cast<const std::uint8_t*>(data.data()), data.size());
    } catch (const ImageError&) {
      failed_[src] = true;
    }
  }
  bool Size(const std::string& src, int& width, int& height) override {
    Load(src);
    auto it = pictures_.find(src);
    if (it == pictures_.end()) return false;
    width = it->second.width;
    height = it->second.height;
    return true;
  }
  const Picture* Find(const std::string& src) const {
    auto it = pictures_.find(src);
    return it == pictures_.end() ? nullptr : &it->second;
  }
  void Clear() {
    pictures_.clear();
    failed_.clear();
  }
  std::string page;  // the file whose pictures these are

 private:
  std::map<std::string, Picture> pictures_;
  std::map<std::string, bool> failed_;
};

// A place in the page's text: an item and a character offset in it.
struct TextPoint {
  int item = -1;
  int offset = 0;
  bool operator<(const TextPoint& o) const { return item < o.item || (item == o.item && offset < o.offset); }
  bool operator==(const TextPoint& o) const { return item == o.item && offset == o.offset; }
};

class Win32HtmlViewer : public Native<HtmlViewer> {
 public:
  using Native::Native;

  void LoadFromFile(const std::string& path) override {
    const LinkTarget target = SplitPlace(path);
    if (target.file != file_ || !loaded_) Read(target.file);
    ScrollTo(target.place.empty() ? 0 : PlaceTop(target.place));
  }
  std::string CurrentFile() override { return file_; }

  bool OwnMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
    switch (msg) {
      case WM_PAINT:
        Paint();
        break;
      case WM_ERASEBKGND:
        result = 1;  // the paint fills everything, off screen
        return true;
      case WM_SIZE:
        Layout();
        return false;
      case WM_VSCROLL:
        ScrollBy(LOWORD(wParam));
        break;
      case WM_GETDLGCODE:
        result = DLGC_WANTARROWS | DLGC_WANTCHARS;
        return true;
      case WM_KEYDOWN:
        if (!Key(wParam)) return false;
        break;
      case WM_LBUTTONDOWN:
        Press(Point(lParam));
        break;
      case WM_MOUSEMOVE:
        if (GetCapture() == hwnd) Drag(Point(lParam));
        break;
      case WM_LBUTTONUP:
        Release(Point(lParam));
        break;
      case WM_SETCURSOR:
        // The windows around it first, as the system's default does: the form shows the hint.
        if (LOWORD(lParam) != HTCLIENT) return false;
        if (!SendMessageA(GetParent(hwnd), WM_SETCURSOR, wParam, lParam))
          SetCursor(LoadCursor(nullptr, CursorAt(CursorIn(hwnd))));
        result = TRUE;
        return true;
      case WM_COPY:
        Copy();
        break;
      default:
        return AnswerTextRequest(msg, wParam, lParam, [this] { return ShownText(); }, result);
    }
    result = 0;
    return true;
  }
  bool Wheel(int delta) override {
    ScrollTo(y_ - delta * kWheelLines * kLineStep / WHEEL_DELTA);
    return true;
  }

 private:
  // Reads and parses the file; a file that cannot be read shows a short page that says so.
  void Read(const std::string& file) {
    file_ = file;
    loaded_ = true;
    bool ok = false;
    std::string html = ReadWholeFile(file, ok);
    if (!ok) html = "<html><body><p>Cannot open <b>" + Escaped(file) + "</b>.</p></body></html>";
    pictures_.Clear();
    pictures_.page = file;
    document_ = std::make_unique<HtmlDocument>(ParseHtml(html));
    bitmaps_.clear();
    width_ = -1;
    Layout();
  }

  void Layout() {
    RECT client;
    GetClientRect(hwnd, &client);
    if (!document_) return;
    if (client.right == width_) return ScrollTo(y_);  // a new height: the bar's page and range
    width_ = client.right;
    LayoutOptions options;
    options.width = std::max<int>(1, client.right);
    options.base = TextStyle{{"MS Sans Serif", 0, 10}};
    options.preformattedFace = "Courier New";
    page_ = LayoutHtml(*document_, options, metrics_, pictures_);
    anchor_ = focus_ = TextPoint{};
    ScrollTo(y_);
  }

  int PlaceTop(const std::string& place) const {
    auto it = page_.anchors.find(place);
    return it == page_.anchors.end() ? 0 : it->second;
  }

  int PageHeight() {
    RECT client;
    GetClientRect(hwnd, &client);
    return client.bottom;
  }

  void ScrollTo(int y) {
    const int page = PageHeight();
    y_ = std::clamp(y, 0, std::max(0, page_.height - page));
    SCROLLINFO info{};
    info.cbSize = sizeof(info);
    info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    info.nMax = std::max(0, page_.height - 1);
    info.nPage = static_cast<UINT>(std::max(0, page));
    info.nPos = y_;
    SetScrollInfo(hwnd, SB_VERT, &info, TRUE);
    InvalidateRect(hwnd, nullptr, FALSE);
  }

  void ScrollBy(WORD code) {
    const int page = PageHeight();
    switch (code) {
      case SB_LINEUP: ScrollTo(y_ - kLineStep); break;
      case SB_LINEDOWN: ScrollTo(y_ + kLineStep); break;
      case SB_PAGEUP: ScrollTo(y_ - page); break;
      case SB_PAGEDOWN: ScrollTo(y_ + page); break;
      case SB_TOP: ScrollTo(0); break;
      case SB_BOTTOM: ScrollTo(page_.height); break;
      case SB_THUMBTRACK:
      case SB_THUMBPOSITION: {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(hwnd, SB_VERT, &info);
        ScrollTo(info.nTrackPos);
        break;
      }
      default: break;
    }
  }

  bool Key(WPARAM key) {
    const bool control = GetKeyState(VK_CONTROL) < 0;
    switch (key) {
      case VK_UP: ScrollBy(SB_LINEUP); return true;
      case VK_DOWN: ScrollBy(SB_LINEDOWN); return true;
      case VK_PRIOR: ScrollBy(SB_PAGEUP); return true;
      case VK_NEXT: ScrollBy(SB_PAGEDOWN); return true;
      case VK_HOME: ScrollBy(SB_TOP); return true;
      case VK_END: ScrollBy(SB_BOTTOM); return true;
      case 'C':
      case VK_INSERT:
        if (!control) return false;
        Copy();
        return true;
      case 'A':
        if (!control) return false;
        SelectAll();
        return true;
      default: return false;
    }
  }

  static POINT Point(LPARAM lParam) { return POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))}; }

  // The item under a client point, -1 when none.
  int ItemAt(POINT at) const {
    const int y = at.y + y_;
    for (std::size_t i = 0; i < page_.items.size(); ++i) {
      const LayoutBox& b = page_.items[i].box;
      if (at.x >= b.x && at.x < b.x + b.width && y >= b.y && y < b.y + b.height) return static_cast<int>(i);
    }
    return -1;
  }
  int LinkAt(POINT at) const {
    const int item = ItemAt(at);
    return item < 0 ? -1 : page_.items[item].link;
  }
  LPCSTR CursorAt(POINT at) const {
    const int item = ItemAt(at);
    if (item >= 0 && page_.items[item].link >= 0) return IDC_HAND;
    return item >= 0 && page_.items[item].kind == DrawItem::Kind::Text ? IDC_IBEAM : IDC_ARROW;
  }

  // The text place nearest to a point: the character boundary in the text item of the line there.
  TextPoint TextAt(POINT at) {
    const int y = at.y + y_;
    TextPoint best;
    for (std::size_t i = 0; i < page_.items.size(); ++i) {
      const DrawItem& item = page_.items[i];
      if (item.kind != DrawItem::Kind::Text) continue;
      if (y < item.box.y) break;  // items are in reading order: past the line
      if (y >= item.box.y + item.box.height) {
        best = TextPoint{static_cast<int>(i), static_cast<int>(item.text.size())};
        continue;
      }
      if (at.x < item.box.x) return best.item < 0 ? TextPoint{static_cast<int>(i), 0} : best;
      best = TextPoint{static_cast<int>(i), OffsetIn(item, at.x - item.box.x)};
      if (at.x < item.box.x + item.box.width) return best;
    }
    return best;
  }
  // The character boundary nearest to x pixels into the item.
  int OffsetIn(const DrawItem& item, int x) {
    const int n = static_cast<int>(item.text.size());
    std::vector<INT> ends(n + 1);  // ends[k]: the width of the first k + 1 characters
    int fit = 0;
    SIZE size;
    HDC dc = GetDC(hwnd);
    HGDIOBJ old = SelectObject(dc, metrics_.Handle(item.style));
    GetTextExtentExPointA(dc, item.text.c_str(), n, 1 << 30, &fit, ends.data(), &size);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    for (int k = 0; k < n; ++k)
      if (x < ((k ? ends[k - 1] : 0) + ends[k]) / 2) return k;
    return n;
  }

  void Press(POINT at) {
    SetFocus(hwnd);
    SetCapture(hwnd);
    pressedLink_ = LinkAt(at);
    anchor_ = focus_ = TextAt(at);
    InvalidateRect(hwnd, nullptr, FALSE);
  }
  void Drag(POINT at) {
    const TextPoint now = TextAt(at);
    if (now == focus_) return;
    focus_ = now;
    InvalidateRect(hwnd, nullptr, FALSE);
  }
  void Release(POINT at) {
    if (GetCapture() == hwnd) ReleaseCapture();
    const int link = pressedLink_;
    pressedLink_ = -1;
    if (link < 0 || LinkAt(at) != link || !(anchor_ == focus_)) return;
    Follow(page_.links[link]);
  }

  // The program may take the link over; otherwise the viewer shows where it leads.
  void Follow(const std::string& target) {
    bool handled = false;
    if (OnHotSpotClick) Guarded(app, [&] { OnHotSpotClick(target, handled); });
    if (handled) return;
    const LinkTarget link = ResolveLink(file_, target);
    LoadFromFile(link.place.empty() ? link.file : link.file + "#" + link.place);
  }

  void SelectAll() {
    anchor_ = focus_ = TextPoint{};
    for (std::size_t i = 0; i < page_.items.size(); ++i) {
      if (page_.items[i].kind != DrawItem::Kind::Text) continue;
      if (anchor_.item < 0) anchor_ = TextPoint{static_cast<int>(i), 0};
      focus_ = TextPoint{static_cast<int>(i), static_cast<int>(page_.items[i].text.size())};
    }
    InvalidateRect(hwnd, nullptr, FALSE);
  }

  // The selected characters of item i: [from, to).
  bool Selected(int i, int& from, int& to) const {
    TextPoint a = anchor_, b = focus_;
    if (b < a) std::swap(a, b);
    if (a.item < 0 || a == b || i < a.item || i > b.item) return false;
    const int size = static_cast<int>(page_.items[i].text.size());
    from = i == a.item ? std::min(a.offset, size) : 0;
    to = i == b.item ? std::min(b.offset, size) : size;
    return from < to;
  }

  // The selection as text: lines end with CR LF, runs on one line are apart where the page
  // leaves a gap between them.
  std::string SelectedText() const {
    std::string text;
    const DrawItem* previous = nullptr;
    for (std::size_t i = 0; i < page_.items.size(); ++i) {
      int from, to;
      const DrawItem& item = page_.items[i];
      if (item.kind != DrawItem::Kind::Text || !Selected(static_cast<int>(i), from, to)) continue;
      text += Joint(previous, item) + item.text.substr(from, to - from);
      previous = &item;
    }
    return text;
  }

  // The window's text is the page's text from the first line in view, as a reader would read on
  // from there.
  std::string ShownText() const {
    std::string text;
    const DrawItem* previous = nullptr;
    for (const DrawItem& item : page_.items) {
      if (item.kind != DrawItem::Kind::Text || item.box.y + item.box.height <= y_) continue;
      text += Joint(previous, item) + item.text;
      previous = &item;
    }
    return text;
  }
  // What stands between two runs of text: a line break, a blank where the page leaves a gap.
  static std::string Joint(const DrawItem* previous, const DrawItem& item) {
    if (!previous) return "";
    if (item.lineStart) return "\r\n";
    return item.box.x > previous->box.x + previous->box.width ? " " : "";
  }

  void Copy() {
    const std::string text = SelectedText();
    if (text.empty() || !OpenClipboard(hwnd)) return;
    EmptyClipboard();
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
      memcpy(GlobalLock(memory), text.c_str(), text.size() + 1);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_TEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
  }

  // Pictures become device-independent bitmaps once, over the page's background.
  HBITMAP BitmapOf(const std::string& src, COLORREF background) {
    auto it = bitmaps_.find(src);
    if (it != bitmaps_.end()) return it->second.get();
    const Picture* picture = pictures_.Find(src);
    HBITMAP bitmap = nullptr;
    if (picture && picture->width > 0 && picture->height > 0) {
      BITMAPINFO info{};
      info.bmiHeader.biSize = sizeof(info.bmiHeader);
      info.bmiHeader.biWidth = picture->width;
      info.bmiHeader.biHeight = -picture->height;
      info.bmiHeader.biPlanes = 1;
      info.bmiHeader.biBitCount = 32;
      void* bits = nullptr;
      bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
      if (bitmap) {
        auto* out = static_cast<std::uint32_t*>(bits);
        const int br = GetRValue(background), bg = GetGValue(background), bb = GetBValue(background);
        for (std::size_t i = 0; i < picture->pixels.size(); ++i) {
          const std::uint32_t p = picture->pixels[i];
          const int a = p >> 24;
          auto mix = [a](int c, int under) { return (c * a + under * (255 - a)) / 255; };
          out[i] = (mix((p >> 16) & 0xFF, br) << 16) | (mix((p >> 8) & 0xFF, bg) << 8) | mix(p & 0xFF, bb);
        }
      }
    }
    bitmaps_.emplace(src, Bitmap(bitmap, &DeleteObject));
    return bitmap;
  }

  void Paint() {
    PAINTSTRUCT ps;
    HDC screen = BeginPaint(hwnd, &ps);
    RECT client;
    GetClientRect(hwnd, &client);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, std::max<int>(1, client.right), std::max<int>(1, client.bottom));
    HGDIOBJ oldCanvas = SelectObject(dc, canvas);
    const COLORREF background = page_.background == 0xFFFFFFFF ? GetSysColor(COLOR_WINDOW) : Colour(page_.background);
    HBRUSH fill = CreateSolidBrush(background);
    FillRect(dc, &client, fill);
    DeleteObject(fill);
    SetBkMode(dc, TRANSPARENT);
    for (std::size_t i = 0; i < page_.items.size(); ++i) {
      const DrawItem& item = page_.items[i];
      RECT box{item.box.x, item.box.y - y_, item.box.x + item.box.width, item.box.y - y_ + item.box.height};
      if (box.bottom < 0 || box.top > client.bottom) continue;
      switch (item.kind) {
        case DrawItem::Kind::Fill: {
          HBRUSH brush = CreateSolidBrush(Colour(item.color));
          FillRect(dc, &box, brush);
          DeleteObject(brush);
          break;
        }
        case DrawItem::Kind::Image:
          PaintImage(dc, item, box, background);
          break;
        case DrawItem::Kind::Text:
          PaintText(dc, static_cast<int>(i), box);
          break;
      }
    }
    BitBlt(screen, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    SelectObject(dc, oldCanvas);
    DeleteObject(canvas);
    DeleteDC(dc);
    EndPaint(hwnd, &ps);
  }

  void PaintImage(HDC dc, const DrawItem& item, const RECT& box, COLORREF background) {
    HBITMAP bitmap = BitmapOf(item.text, background);
    const Picture* picture = pictures_.Find(item.text);
    if (!bitmap || !picture) {  // a frame where the picture would be
      FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
      return;
    }
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(source, bitmap);
    SetStretchBltMode(dc, COLORONCOLOR);
    StretchBlt(dc, box.left, box.top, box.right - box.left, box.bottom - box.top, source, 0, 0, picture->width,
               picture->height, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
  }

  // The selected part on the highlight colour, the rest in the item's colour.
  void PaintText(HDC dc, int i, const RECT& box) {
    const DrawItem& item = page_.items[i];
    HGDIOBJ old = SelectObject(dc, metrics_.Handle(item.style));
    SetTextColor(dc, Colour(item.style.color));
    TextOutA(dc, box.left, box.top, item.text.c_str(), static_cast<int>(item.text.size()));
    int from, to;
    if (Selected(i, from, to)) {
      SIZE before, part;
      GetTextExtentPoint32A(dc, item.text.c_str(), from, &before);
      GetTextExtentPoint32A(dc, item.text.c_str() + from, to - from, &part);
      RECT mark{box.left + before.cx, box.top, box.left + before.cx + part.cx, box.bottom};
      FillRect(dc, &mark, GetSysColorBrush(COLOR_HIGHLIGHT));
      SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
      TextOutA(dc, mark.left, box.top, item.text.c_str() + from, to - from);
    }
    SelectObject(dc, old);
  }

  using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, decltype(&DeleteObject)>;

  std::string file_;
  bool loaded_ = false;
  std::unique_ptr<HtmlDocument> document_;
  GdiMetrics metrics_;
  PagePictures pictures_;
  std::map<std::string, Bitmap> bitmaps_;
  LaidOutPage page_;
  int width_ = -1, y_ = 0;
  TextPoint anchor_, focus_;
  int pressedLink_ = -1;
};

}  // namespace

// A single border, the vertical bar always there so that the page's width stays.
std::unique_ptr<HtmlViewer> MakeHtmlViewer(Win32Application& app, Container& parent, const std::string& name) {
  return MakeNative<Win32HtmlViewer>(
      app, CreateChild(app, parent, kWindowClass, WS_BORDER | WS_VSCROLL | WS_TABSTOP), name);
}

}  // namespace sorel::win32ui
