// A FontSpec made into a GDI font at a device's resolution: labels use the screen's, print jobs
// the printer's.
#pragma once
#include <windows.h>

#include "platform/font_spec.h"

namespace sorel {

// CreateFontA with the height -MulDiv(points, logPixelsY, 72) (the character height, without the
// internal leading, as point sizes mean), bold or normal weight, and the face cut to the 31
// characters the system's field holds. The caller owns the font (DeleteObject); nullptr when GDI
// refuses.
HFONT CreateGdiFont(const FontSpec& font, int logPixelsY);

// LOGPIXELSY of the screen.
int ScreenLogPixelsY();

}  // namespace sorel
