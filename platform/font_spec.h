// The one font value of the program: what the controls, the preview and print jobs ask for.
#pragma once
#include <string>

namespace sorel {

// A font as the program asks for it: the system picks the nearest it has.
struct FontSpec {
  std::string face;
  int charset = 0;  // 0 to 255
  int points = 8;   // size in points, converted with the screen's (or printer's) resolution
  bool bold = false, italic = false, underline = false;
  bool operator==(const FontSpec&) const = default;
};

}  // namespace sorel
