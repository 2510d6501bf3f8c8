// The font inventory: the installed faces, and the character sets and script names of one face.
#include "engine/font_inventory.h"

#include <vector>

namespace sorel {

namespace {
constexpr int kAnsiCharset = 0;
}  // namespace

void EnumerateFonts(Fonts& fonts, bool canEnumerate, SortedTextList& fontNames) {
  if (!canEnumerate) return;
  fontNames.Clear();
  std::unique_ptr<ScreenDC> dc = fonts.GetScreenDC();
  // Raster faces cannot be scaled for the sample sheet and symbol or single-script faces have no
  // Western form to substitute, so only the rest are offered. The list itself drops repeats.
  dc->ForEachFont([&](const ReportedFont& font) {
    if (!font.raster && font.charset == kAnsiCharset) fontNames.Add(font.face);
  });
}

void EnumFaceScripts(ScreenDC& dc, const std::string& face, SortedTextList& faceScripts) {
  faceScripts.Clear();
  // Every style of a face repeats its character sets word for word; such a repeat is surely held
  // already, and spotting it here spares the locale-aware comparison.
  std::vector<ReportedScript> seen;
  dc.ForEachFaceScript(face, [&](const ReportedScript& script) {
    for (const ReportedScript& earlier : seen) {
      if (earlier.charset == script.charset && earlier.script == script.script) return;
    }
    seen.push_back(script);
    faceScripts.Add(std::to_string(script.charset) + "=" + script.script);
  });
}

}  // namespace sorel
