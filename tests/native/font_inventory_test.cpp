// Unit tests of the font inventory: which faces are listed, and the scripts of one face.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/font_inventory.h"
#include "platform/errors.h"
#include "tests/fakes/memory_compare.h"
#include "tests/fakes/memory_fonts.h"

namespace sorel {
namespace {

using Names = std::vector<std::string>;

TEST(EnumerateFonts, ListsEachScalableWesternFaceOnce) {
  const struct {
    const char* what;
    std::vector<ReportedFont> reported;
    Names listed;
  } cases[] = {
      {"TrueType, vector and device faces alike", {{"Tahoma", false, 0}, {"Modern", false, 0}, {"Arial", false, 0}},
       {"Arial", "Modern", "Tahoma"}},
      {"a raster face", {{"MS Sans Serif", true, 0}, {"Arial", false, 0}}, {"Arial"}},
      {"a raster face also reported as scalable", {{"System", true, 0}, {"System", false, 0}}, {"System"}},
      {"a symbol face", {{"Symbol", false, 2}, {"Wingdings", false, 2}}, {}},
      {"a face reported only in another script", {{"Arial CYR", false, 204}, {"Arial", false, 0}}, {"Arial"}},
      {"a face reported in two character sets", {{"Arial", false, 238}, {"Arial", false, 0}, {"Arial", false, 204}},
       {"Arial"}},
      {"a face reported twice", {{"Arial", false, 0}, {"Arial", false, 0}}, {"Arial"}},
      {"names differing in letter case: the first one stays", {{"DejaVu Sans", false, 0}, {"DEJAVU SANS", false, 0}},
       {"DejaVu Sans"}},
      {"accented names sort with their letters", {{"Zapf", false, 0}, {"\xC9l\xE9gant", false, 0}, {"Eb", false, 0}},
       {"Eb", "\xC9l\xE9gant", "Zapf"}},
      {"a name of the full 31 characters", {{std::string(31, 'X'), false, 0}}, {std::string(31, 'X')}},
      {"nothing reported", {}, {}},
  };
  for (const auto& c : cases) {
    MemoryTextCompare compare;
    MemoryFonts fonts;
    fonts.fonts = c.reported;
    SortedTextList names(compare);
    names.Add("Left Over");  // from an earlier run: replaced
    EnumerateFonts(fonts, true, names);
    EXPECT_EQ(names.Items(), c.listed) << c.what;
    EXPECT_EQ(fonts.screenDCsGot, 1) << c.what;
    EXPECT_EQ(fonts.screenDCsReleased, 1) << c.what;
  }
}

TEST(EnumerateFonts, WithoutTheWindowNothingIsAskedOrChanged) {
  MemoryTextCompare compare;
  MemoryFonts fonts;
  fonts.fonts = {{"Arial", false, 0}};
  SortedTextList names(compare);
  names.Add("Kept");
  EnumerateFonts(fonts, false, names);
  EXPECT_EQ(names.Items(), Names{"Kept"});
  EXPECT_EQ(fonts.screenDCsGot, 0);
}

TEST(EnumerateFonts, AFailingEnumerationKeepsWhatCameBeforeAndReleasesTheDC) {
  MemoryTextCompare compare;
  MemoryFonts fonts;
  fonts.fonts = {{"Tahoma", false, 0}, {"Arial", false, 0}, {"Verdana", false, 0}};
  fonts.reportLimit = 2;
  SortedTextList names(compare);
  EnumerateFonts(fonts, true, names);
  EXPECT_EQ(names.Items(), (Names{"Arial", "Tahoma"}));
  EXPECT_EQ(fonts.screenDCsReleased, 1);

  fonts.throwAtLimit = true;
  EXPECT_THROW(EnumerateFonts(fonts, true, names), PlatformError);
  EXPECT_EQ(names.Items(), (Names{"Arial", "Tahoma"}));
  EXPECT_EQ(fonts.screenDCsGot, 2);
  EXPECT_EQ(fonts.screenDCsReleased, 2);
}

Names FaceScriptsOf(const std::vector<ReportedScript>& reported, const std::string& askedAs = "DejaVu Sans") {
  MemoryTextCompare compare;
  MemoryFonts fonts;
  fonts.SetScripts("DejaVu Sans", reported);
  SortedTextList scripts(compare);
  scripts.Add("999=From the face before");
  auto dc = fonts.GetScreenDC();
  EnumFaceScripts(*dc, askedAs, scripts);
  return scripts.Items();
}

TEST(EnumFaceScripts, OneTextPerCharacterSetInSortedOrder) {
  const std::vector<ReportedScript> styles = {{238, "Central European"}, {0, "Western"}, {161, "Greek"}};
  std::vector<ReportedScript> fourStyles;
  for (int style = 0; style < 4; ++style) fourStyles.insert(fourStyles.end(), styles.begin(), styles.end());
  const struct {
    const char* what;
    std::vector<ReportedScript> reported;
    Names held;
  } cases[] = {
      {"three character sets", styles, {"0=Western", "161=Greek", "238=Central European"}},
      {"four styles of three character sets", fourStyles, {"0=Western", "161=Greek", "238=Central European"}},
      {"a style naming the script in other letter case", {{238, "Central European"}, {238, "CENTRAL european"}},
       {"238=Central European"}},
      {"two styles naming one character set differently", {{238, "Eastern European"}, {238, "Central European"}},
       {"238=Central European", "238=Eastern European"}},
      {"no script name", {{222, ""}, {0, "Western"}}, {"0=Western", "222="}},
      {"an OEM character set and Vietnamese", {{255, "OEM/DOS"}, {163, "Vietnamese"}},
       {"163=Vietnamese", "255=OEM/DOS"}},
      {"a face the system does not know", {}, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(FaceScriptsOf(c.reported), c.held) << c.what;
}

TEST(EnumFaceScripts, AsksForTheFaceAsListed) {
  MemoryFonts fonts;
  MemoryTextCompare compare;
  SortedTextList scripts(compare);
  auto dc = fonts.GetScreenDC();
  EnumFaceScripts(*dc, "Arial Unicode MS", scripts);
  EXPECT_EQ(fonts.scriptQueries, Names{"Arial Unicode MS"});
  EXPECT_EQ(fonts.screenDCsGot, 1);
  EXPECT_EQ(fonts.screenDCsReleased, 0);  // the caller's to release
}

}  // namespace
}  // namespace sorel
