// In-memory font enumeration: a scripted inventory that tests and benchmarks fill in.
#pragma once
#include <cstddef>
#include <limits>
#include <map>
#include <string>
#include <vector>

#include "platform/fonts.h"

namespace sorel {

// Reports the fonts and scripts it was given, in the order given. Face names in scripts are
// matched ignoring ASCII letter case, as the system matches a requested face.
class MemoryFonts : public Fonts {
 public:
  std::unique_ptr<ScreenDC> GetScreenDC() override;

  // What ForEachFont reports, in order.
  std::vector<ReportedFont> fonts;
  // What ForEachFaceScript reports for a face; a face without scripts reports nothing.
  void SetScripts(const std::string& face, std::vector<ReportedScript> scripts);

  // What ForEachFaceStyle reports for a face in a character set: the style of each font.
  void SetStyles(const std::string& face, int charset, std::vector<FaceStyle> styles);
  const std::vector<FaceStyle>* StylesOf(const std::string& face, int charset) const;

  // Fault injection: every enumeration stops after this many reports, as a failing call would.
  std::size_t reportLimit = std::numeric_limits<std::size_t>::max();
  // Fault injection: once reportLimit is reached the enumeration throws instead of stopping.
  bool throwAtLimit = false;

  // What the tests check: device contexts handed out and released, and the faces whose scripts
  // were asked for, in order.
  int screenDCsGot = 0;
  int screenDCsReleased = 0;
  std::vector<std::string> scriptQueries;

  // The scripts set for face, or nullptr.
  const std::vector<ReportedScript>* ScriptsOf(const std::string& face) const;

 private:
  static std::string FoldCase(const std::string& face);
  std::map<std::string, std::vector<ReportedScript>> scripts_;  // by folded face
  std::map<std::pair<std::string, int>, std::vector<FaceStyle>> styles_;  // by folded face and charset
};

}  // namespace sorel
