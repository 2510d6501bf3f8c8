// Font enumeration on the screen's device context through GDI.
#pragma once
#include <memory>

#include "platform/fonts.h"

namespace sorel {

// GetDC(nullptr) when a ScreenDC is made, ReleaseDC when it is destroyed; EnumFontsA for every
// face, EnumFontFamiliesExA (DEFAULT_CHARSET) for the character sets of one face, and
// EnumFontFamiliesExA in one character set for the styles of one face.
class Win32Fonts : public Fonts {
 public:
  std::unique_ptr<ScreenDC> GetScreenDC() override;
};

}  // namespace sorel
