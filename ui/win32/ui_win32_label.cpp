// The Win32 label: a STATIC window with a font of its own, a background that can let the parent's
// show through, and a size that can follow its caption.
#include <cstring>

#include "platform/win32/gdi_font_win32.h"
#include "ui/win32/ui_win32_private.h"

namespace sorel::win32ui {
namespace {

class Win32Label : public NativeCaptioned<Label> {
 public:
  using NativeCaptioned::NativeCaptioned;
  ~Win32Label() override {
    // The window outlives this destructor; it must not keep a font deleted here.
    if (!font_) return;
    if (hwnd && IsWindow(hwnd)) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    DeleteObject(font_);
  }

  void SetCaption(const std::string& caption) override {
    RECT before = AreaInParent();
    NativeCaptioned::SetCaption(caption);
    Fit();
    RepaintBehind(before);
  }

  void SetFont(const FontSpec& font) override {
    HFONT made = CreateGdiFont(font, ScreenLogPixelsY());
    if (!made) return;  // GDI found nothing at all: the caption keeps the font it has
    RECT before = AreaInParent();
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (font_) DeleteObject(font_);
    font_ = made;
    Fit();
    RepaintBehind(before);
  }

  // The parent paints under a transparent label even when it clips its children
  // (WS_EX_TRANSPARENT), and its WM_CTLCOLORSTATIC gives no brush (StaticColors).
  void SetTransparent(bool transparent) override {
    transparent_ = transparent;
    LONG exStyle = GetWindowLongA(hwnd, GWL_EXSTYLE);
    SetWindowLongA(hwnd, GWL_EXSTYLE, transparent ? exStyle | WS_EX_TRANSPARENT : exStyle & ~WS_EX_TRANSPARENT);
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE);
    RepaintBehind(AreaInParent());
  }
  bool Transparent() override { return transparent_; }

  // Fitted, the label draws what it measured: no hot-key marks (SS_NOPREFIX), no word wrap.
  void SetFitToText(bool fit) override {
    fit_ = fit;
    UpdateStyle();
    Fit();
  }
  void SetAlignment(TextAlign align) override {
    align_ = align;
    UpdateStyle();
  }

  HBRUSH StaticColors(HDC dc) override {
    if (link_) SetTextColor(dc, RGB(0, 0, 255));
    if (!transparent_) return NativeCaptioned::StaticColors(dc);
    SetBkMode(dc, TRANSPARENT);
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  }

  void SetLink(bool link) override {
    link_ = link;
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  HCURSOR Cursor() override { return link_ ? LoadCursor(nullptr, IDC_HAND) : nullptr; }
  // SS_NOTIFY: the label reports clicks.
  void Command(WORD code) override {
    if (code == STN_CLICKED && OnClick) Guarded(app, OnClick);
  }

 private:
  // Alignment and fitting share the style's type bits.
  void UpdateStyle() {
    const LONG type = fit_ ? SS_LEFTNOWORDWRAP | SS_NOPREFIX : align_ == TextAlign::Center ? SS_CENTER : SS_LEFT;
    SetWindowLongA(hwnd, GWL_STYLE, (GetWindowLongA(hwnd, GWL_STYLE) & ~(SS_TYPEMASK | SS_NOPREFIX)) | type);
    InvalidateRect(hwnd, nullptr, TRUE);
  }
  void Fit() {
    if (!fit_) return;
    SIZE size = TextSize();
    Rect r = Bounds();
    SetBounds({r.left, r.top, static_cast<int>(size.cx), static_cast<int>(size.cy)});
  }

  // The caption's extent in the label's font, measured as the static control draws it. An empty
  // caption is as high as one line, and no wider than nothing.
  SIZE TextSize() {
    const std::string caption = Caption();
    const char* text = caption.empty() ? " " : caption.c_str();
    HDC dc = GetDC(hwnd);
    HFONT font = font_ ? font_ : reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
    HGDIOBJ old = SelectObject(dc, font ? font : UiFont());
    RECT rc{0, 0, 0, 0};
    DrawTextA(dc, text, static_cast<int>(strlen(text)), &rc, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS | DT_LEFT);
    SelectObject(dc, old);
    ReleaseDC(hwnd, dc);
    return SIZE{caption.empty() ? 0 : rc.right - rc.left, rc.bottom - rc.top};
  }

  RECT AreaInParent() {
    RECT rc;
    GetWindowRect(hwnd, &rc);
    MapWindowPoints(HWND_DESKTOP, GetParent(hwnd), reinterpret_cast<POINT*>(&rc), 2);
    return rc;
  }

  // A transparent label draws no background of its own: the parent paints over the old text
  // first, then the label draws the new one.
  void RepaintBehind(const RECT& before) {
    if (!transparent_) return;
    RECT now = AreaInParent(), both;
    UnionRect(&both, &before, &now);
    RedrawWindow(GetParent(hwnd), &both, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  }

  HFONT font_ = nullptr;  // owned; nullptr: the parent's
  bool transparent_ = false, fit_ = false, link_ = false;
  TextAlign align_ = TextAlign::Left;
};

}  // namespace

std::unique_ptr<Label> MakeLabel(Win32Application& app, Container& parent, const std::string& name) {
  if (auto* box = dynamic_cast<ScrollBox*>(&parent)) return MakeBoxLabel(*box, name);
  return MakeNative<Win32Label>(app, CreateChild(app, parent, "STATIC", SS_LEFT | SS_NOTIFY), name);
}

}  // namespace sorel::win32ui
