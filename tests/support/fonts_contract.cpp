// The font enumeration checks: each states what the program's code expects and holds for both.
#include "tests/support/fonts_contract.h"

#include <gtest/gtest.h>

#include <cctype>
#include <memory>
#include <set>
#include <stdexcept>

namespace sorel::test {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

// Each style as "bold italic", "bold", "italic" or "regular".
std::set<std::string> StylesOf(Fonts& fonts, const std::string& face, int charset) {
  std::set<std::string> styles;
  fonts.GetScreenDC()->ForEachFaceStyle(face, charset, [&](const FaceStyle& s) {
    styles.insert(s.bold && s.italic ? "bold italic" : s.bold ? "bold" : s.italic ? "italic" : "regular");
  });
  return styles;
}

std::set<int> CharsetsOf(Fonts& fonts, const std::string& face) {
  std::set<int> charsets;
  fonts.GetScreenDC()->ForEachFaceScript(face, [&](const ReportedScript& s) { charsets.insert(s.charset); });
  return charsets;
}

void FaceStylesComeInTheAskedCharacterSetIgnoringCase(FontsUnderTest& f) {
  const std::set<std::string> all = {"regular", "bold", "italic", "bold italic"};
  EXPECT_EQ(StylesOf(f.fonts, f.face, 0), all);
  EXPECT_EQ(StylesOf(f.fonts, Upper(f.face), 238), all);
  EXPECT_TRUE(StylesOf(f.fonts, f.face, 128).empty()) << "a character set the face lacks";
  EXPECT_TRUE(StylesOf(f.fonts, "Sorel No Such Face", 0).empty());
}

void FaceScriptsNameTheFacesCharacterSetsIgnoringCase(FontsUnderTest& f) {
  const std::set<int> charsets = CharsetsOf(f.fonts, f.face);
  EXPECT_TRUE(charsets.count(0) && charsets.count(238));
  EXPECT_FALSE(charsets.count(128));
  EXPECT_EQ(CharsetsOf(f.fonts, Upper(f.face)), charsets);
  EXPECT_TRUE(CharsetsOf(f.fonts, "Sorel No Such Face").empty());
  std::string western;
  f.fonts.GetScreenDC()->ForEachFaceScript(f.face, [&](const ReportedScript& s) {
    if (s.charset == 0) western = s.script;
  });
  EXPECT_EQ(western, "Western");
}

void EveryFontHasAShortFaceAndTheFaceIsAmongThem(FontsUnderTest& f) {
  bool seen = false;
  f.fonts.GetScreenDC()->ForEachFont([&](const ReportedFont& font) {
    EXPECT_FALSE(font.face.empty());
    EXPECT_LE(font.face.size(), 31u) << font.face;
    if (font.face == f.face) seen = true;
  });
  EXPECT_TRUE(seen) << f.face;
}

// The enumerations stop at the first error of the callback and raise it to the caller; the
// error must not unwind through the system.
void ErrorsOfTheCallbackComeBackThroughTheEnumeration(FontsUnderTest& f) {
  std::unique_ptr<ScreenDC> dc = f.fonts.GetScreenDC();
  int calls = 0;
  EXPECT_THROW(dc->ForEachFont([&](const ReportedFont&) {
    ++calls;
    throw std::runtime_error("stop");
  }),
               std::runtime_error);
  EXPECT_THROW(dc->ForEachFaceScript(f.face, [&](const ReportedScript&) {
    ++calls;
    throw std::runtime_error("stop");
  }),
               std::runtime_error);
  EXPECT_THROW(dc->ForEachFaceStyle(f.face, 0, [&](const FaceStyle&) {
    ++calls;
    throw std::runtime_error("stop");
  }),
               std::runtime_error);
  EXPECT_EQ(calls, 3);
  // The device context is still good afterwards.
  int fontsSeen = 0;
  dc->ForEachFont([&](const ReportedFont&) { ++fontsSeen; });
  EXPECT_GT(fontsSeen, 0);
}

}  // namespace

const std::vector<FontsContractCase>& FontsContractCases() {
  static const std::vector<FontsContractCase> cases = {
      {"FaceStylesComeInTheAskedCharacterSetIgnoringCase", FaceStylesComeInTheAskedCharacterSetIgnoringCase},
      {"FaceScriptsNameTheFacesCharacterSetsIgnoringCase", FaceScriptsNameTheFacesCharacterSetsIgnoringCase},
      {"EveryFontHasAShortFaceAndTheFaceIsAmongThem", EveryFontHasAShortFaceAndTheFaceIsAmongThem},
      {"ErrorsOfTheCallbackComeBackThroughTheEnumeration", ErrorsOfTheCallbackComeBackThroughTheEnumeration},
  };
  return cases;
}

}  // namespace sorel::test
