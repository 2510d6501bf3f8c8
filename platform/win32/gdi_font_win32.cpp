// A FontSpec made into a GDI font at a device's resolution.
#include "platform/win32/gdi_font_win32.h"

namespace sorel {

HFONT CreateGdiFont(const FontSpec& font, int logPixelsY) {
  const std::string face = font.face.substr(0, LF_FACESIZE - 1);
  return CreateFontA(-MulDiv(font.points, logPixelsY, 72), 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL,
                     font.italic ? TRUE : FALSE, font.underline ? TRUE : FALSE, FALSE,
                     static_cast<DWORD>(font.charset & 0xFF), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                     DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

int ScreenLogPixelsY() {
  HDC screen = GetDC(nullptr);
  // 96 is what a screen without a device context would most likely have had.
  int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace sorel
