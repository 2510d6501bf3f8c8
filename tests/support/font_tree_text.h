// The font tree as lines of text, for tests that compare a built or changed tree with a table.
#pragma once
#include <string>
#include <vector>

#include "engine/font_tree.h"
#include "engine/fontsub_types.h"

namespace sorel::test {

inline std::string CheckName(Check check) {
  switch (check) {
    case Check::None:
      return "none";
    case Check::Off:
      return "off";
    case Check::On:
      return "on";
    case Check::Mixed:
      return "mixed";
  }
  return "?";
}

// The faces as lines "text [check]", each face's scripts under it indented by two blanks.
inline std::vector<std::string> TreeLines(const std::vector<FaceItem>& faces) {
  std::vector<std::string> lines;
  for (const FaceItem& face : faces) {
    lines.push_back(face.face + " [" + CheckName(face.check) + "]");
    for (const ScriptItem& script : face.scripts) lines.push_back("  " + script.text + " [" + CheckName(script.check) + "]");
  }
  return lines;
}

}  // namespace sorel::test
