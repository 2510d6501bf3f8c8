// The Win32 text fields: a single-line EDIT and a multi-line one with both scroll bars and a font of
// its own.
#include "platform/text.h"
#include "platform/win32/gdi_font_win32.h"
#include "ui/win32/ui_win32_private.h"

namespace sorel::win32ui {
namespace {

class Win32Edit : public Native<Edit> {
 public:
  using Native::Native;
  void SetText(const std::string& text) override { SetWindowTextA(hwnd, text.c_str()); }
  std::string Text() override { return WindowText(hwnd); }
};

class Win32Memo : public Native<Memo> {
 public:
  using Native::Native;
  ~Win32Memo() override {
    // The window outlives this destructor; it must not keep a font deleted here.
    if (!font_) return;
    if (hwnd && IsWindow(hwnd)) SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(UiFont()), FALSE);
    DeleteObject(font_);
  }
  // The edit control breaks lines at CR LF only; a lone CR or LF would show as a mark.
  void SetText(const std::string& text) override { SetWindowTextA(hwnd, CrLfLineBreaks(text).c_str()); }
  std::string Text() override { return WindowText(hwnd); }
  void SetFont(const FontSpec& font) override {
    HFONT made = CreateGdiFont(font, ScreenLogPixelsY());
    if (!made) return;  // GDI found nothing at all: the text keeps the font it has
    SendMessageA(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(made), TRUE);
    if (font_) DeleteObject(font_);
    font_ = made;
  }

 private:
  HFONT font_ = nullptr;  // owned; nullptr: the dialog font
};

}  // namespace

std::unique_ptr<Edit> MakeEdit(Win32Application& app, Container& parent, const std::string& name) {
  return MakeNative<Win32Edit>(app, CreateChild(app, parent, "EDIT", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE),
                               name);
}

// ES_WANTRETURN: Enter starts a new line instead of pressing the form's default button.
std::unique_ptr<Memo> MakeMemo(Win32Application& app, Container& parent, const std::string& name) {
  auto memo = MakeNative<Win32Memo>(
      app,
      CreateChild(app, parent, "EDIT",
                  ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | ES_NOHIDESEL | WS_VSCROLL |
                      WS_HSCROLL | WS_TABSTOP,
                  WS_EX_CLIENTEDGE),
      name);
  // The typing limit starts at 30,000 characters; 0 lifts it to what the system's edit can hold.
  SendMessageA(memo->hwnd, EM_SETLIMITTEXT, 0, 0);
  return memo;
}

}  // namespace sorel::win32ui
