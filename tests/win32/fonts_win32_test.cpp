// Font enumeration through GDI under Wine: what Win32Fonts reports, and the inventory and tree built on it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "engine/font_inventory.h"
#include "engine/font_tree.h"
#include "tests/fakes/memory_compare.h"
#include "platform/win32/compare_win32.h"
#include "platform/win32/fonts_win32.h"
#include "tests/support/fonts_contract.h"

namespace sorel {
namespace {

// The host's fonts that Wine 8 shows in a fresh prefix on the project's machines (fonts-dejavu).
// Wine reports this face in nine character sets: 0 Western, 161 Greek, 162 Turkish,
// 163 Vietnamese, 177 Hebrew, 178 Arabic, 186 Baltic, 204 Cyrillic, 238 Central European.
const char* const kHostFace = "DejaVu Sans";

// A raster font of printable ASCII in one size, as a Windows 2.0 FNT file: the prefix has no
// raster fonts of its own, and this one lives only for this process (FR_PRIVATE).
class PrivateRasterFont {
 public:
  explicit PrivateRasterFont(const std::string& face) {
    char temp[MAX_PATH] = {};
    GetTempPathA(sizeof(temp), temp);
    path_ = std::string(temp) + "sorel_raster_" + std::to_string(GetCurrentProcessId()) + ".fnt";
    std::vector<unsigned char> bytes = Fnt(face);
    HANDLE file = CreateFileA(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    if (file != INVALID_HANDLE_VALUE) {
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
      CloseHandle(file);
    }
    added_ = written == bytes.size() && AddFontResourceExA(path_.c_str(), FR_PRIVATE, nullptr) > 0;
  }
  ~PrivateRasterFont() {
    if (added_) RemoveFontResourceExA(path_.c_str(), FR_PRIVATE, nullptr);
    DeleteFileA(path_.c_str());
  }
  bool Added() const { return added_; }

 private:
  static void Put16(std::vector<unsigned char>& b, std::size_t at, unsigned v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
  }
  static void Put32(std::vector<unsigned char>& b, std::size_t at, unsigned v) {
    Put16(b, at, v & 0xFFFF);
    Put16(b, at + 2, v >> 16);
  }
  // Header (118 bytes), character table (width and bitmap offset per character, one more for
  // the sentinel), blank 8 x 8 bitmaps, face name.
  static std::vector<unsigned char> Fnt(const std::string& face) {
    const unsigned first = 32, last = 126, count = last - first + 1, height = 8;
    const std::size_t table = 118, bits = table + 4 * (count + 1), faceAt = bits + height * (count + 1);
    std::vector<unsigned char> b(faceAt + face.size() + 1, 0);
    Put16(b, 0, 0x200);  // version 2.0
    Put32(b, 2, static_cast<unsigned>(b.size()));
    Put16(b, 68, 6);    // points
    Put16(b, 70, 96);   // vertical resolution
    Put16(b, 72, 96);   // horizontal resolution
    Put16(b, 74, 7);    // ascent
    Put16(b, 83, 400);  // weight
    b[85] = ANSI_CHARSET;
    Put16(b, 86, 8);  // pixel width
    Put16(b, 88, height);
    b[90] = FF_MODERN;
    Put16(b, 91, 8);  // average width
    Put16(b, 93, 8);  // maximum width
    b[95] = first;
    b[96] = last;
    Put16(b, 99, 2 * (count + 1));  // bytes per row
    Put32(b, 105, static_cast<unsigned>(faceAt));
    Put32(b, 113, static_cast<unsigned>(bits));
    for (unsigned i = 0; i <= count; ++i) {
      Put16(b, table + 4 * i, 8);
      Put16(b, table + 4 * i + 2, static_cast<unsigned>(bits + height * i));
    }
    std::memcpy(&b[faceAt], face.data(), face.size());
    return b;
  }

  std::string path_;
  bool added_ = false;
};

std::vector<ReportedFont> AllFonts() {
  Win32Fonts fonts;
  std::vector<ReportedFont> all;
  fonts.GetScreenDC()->ForEachFont([&](const ReportedFont& font) { all.push_back(font); });
  return all;
}

std::vector<ReportedScript> ScriptsOf(const std::string& face) {
  Win32Fonts fonts;
  std::vector<ReportedScript> all;
  fonts.GetScreenDC()->ForEachFaceScript(face, [&](const ReportedScript& script) { all.push_back(script); });
  return all;
}

std::set<int> CharsetsOf(const std::vector<ReportedFont>& fonts, const std::string& face, bool raster) {
  std::set<int> charsets;
  for (const auto& font : fonts) {
    if (font.face == face && font.raster == raster) charsets.insert(font.charset);
  }
  return charsets;
}

TEST(Win32Fonts, EveryFaceIsReportedOncePerCharacterSet) {
  std::vector<ReportedFont> all = AllFonts();
  ASSERT_FALSE(all.empty());
  for (const auto& font : all) {
    EXPECT_FALSE(font.face.empty());
    EXPECT_LE(font.face.size(), 31u) << font.face;
    EXPECT_EQ(font.face.find('\0'), std::string::npos) << font.face;
  }
  std::set<int> charsets = CharsetsOf(all, kHostFace, false);
  for (int charset : {ANSI_CHARSET, GREEK_CHARSET, RUSSIAN_CHARSET, EASTEUROPE_CHARSET}) {
    EXPECT_TRUE(charsets.count(charset)) << kHostFace << " in " << charset;
  }
  EXPECT_TRUE(CharsetsOf(all, kHostFace, true).empty());
}

TEST(Win32Fonts, ARasterFaceCarriesTheRasterBit) {
  PrivateRasterFont raster("Sorel Raster");
  ASSERT_TRUE(raster.Added());
  std::vector<ReportedFont> all = AllFonts();
  EXPECT_EQ(CharsetsOf(all, "Sorel Raster", true), std::set<int>{ANSI_CHARSET});
  EXPECT_TRUE(CharsetsOf(all, "Sorel Raster", false).empty());
}

TEST(Win32Fonts, FaceScriptsComeOncePerStyleWithTheirNames) {
  std::vector<ReportedScript> scripts = ScriptsOf(kHostFace);
  std::set<std::pair<int, std::string>> distinct;
  for (const auto& s : scripts) distinct.insert({s.charset, s.script});
  for (const auto& expected : std::set<std::pair<int, std::string>>{
           {ANSI_CHARSET, "Western"}, {GREEK_CHARSET, "Greek"}, {RUSSIAN_CHARSET, "Cyrillic"},
           {EASTEUROPE_CHARSET, "Central European"}}) {
    EXPECT_TRUE(distinct.count(expected)) << expected.first << "=" << expected.second;
  }
  // Book, Bold, Oblique, Bold Oblique: each character set comes more than once.
  EXPECT_GT(scripts.size(), distinct.size());
  // The system matches the face ignoring letter case; a face it does not know reports nothing.
  EXPECT_EQ(ScriptsOf("DEJAVU sans").size(), scripts.size());
  EXPECT_TRUE(ScriptsOf("Sorel No Such Face").empty());
}

// The inventory and the tree on the real system: faces filtered and sorted by CompareStringA, the
// host face's scripts from EnumFontFamiliesExA, its states from a table.
TEST(Win32Fonts, InventoryAndTreeFromTheRealFonts) {
  PrivateRasterFont raster("Sorel Raster");
  ASSERT_TRUE(raster.Added());
  Win32Fonts fonts;
  Win32TextCompare compare;
  SortedTextList names(compare);
  EnumerateFonts(fonts, true, names);
  EXPECT_NE(names.IndexOf(kHostFace), -1);
  EXPECT_EQ(names.IndexOf("Sorel Raster"), -1);
  for (int i = 1; i < names.Count(); ++i) EXPECT_LT(compare.CompareIgnoreCase(names[i - 1], names[i]), 0) << names[i];
  // The emulation sorts the real names the same way.
  MemoryTextCompare emulated;
  SortedTextList emulatedNames(emulated);
  for (const auto& name : names.Items()) emulatedNames.Add(name);
  EXPECT_EQ(emulatedNames.Items(), names.Items());

  SortedTextList faceScripts(compare);
  EnumFaceScripts(*fonts.GetScreenDC(), kHostFace, faceScripts);
  std::set<std::string> charsets;
  for (const auto& text : faceScripts.Items()) charsets.insert(text.substr(0, text.find('=')));
  EXPECT_EQ(charsets.size(), static_cast<std::size_t>(faceScripts.Count())) << "one text per character set";
  EXPECT_EQ(faceScripts[0], "0=Western");
  EXPECT_NE(faceScripts.IndexOf("238=Central European"), -1);

  SortedTextList onlyHost(compare), scripts(compare), scriptNames(compare);
  onlyHost.Add(kHostFace);
  TFontList records;
  SubstTable table = {"DEJAVU SANS ce,238=dejavu sans,238", "DejaVu Sans,0=DejaVu Sans,204"};
  KeyValueList suffixes;
  suffixes.lines = {"238=CE", "204=CYR", "161=Greek"};
  ItemId lastId = 0;
  FontTreeContext context{fonts, compare, true, onlyHost, scripts, scriptNames, records, table, suffixes, lastId};
  std::vector<FaceItem> faces;
  BuildFontTree(context, faces);
  ASSERT_EQ(faces.size(), 1u);
  EXPECT_EQ(faces[0].face, kHostFace);
  EXPECT_EQ(faces[0].check, Check::Mixed);  // one script of several enabled
  std::vector<std::string> children;
  for (const ScriptItem& script : faces[0].scripts) {
    children.push_back(script.text + (script.check == Check::On ? " [on]" : " [off]"));
  }
  EXPECT_EQ(static_cast<int>(children.size()), records.Count());
  EXPECT_EQ(static_cast<int>(children.size()), faceScripts.Count() - 1);
  EXPECT_NE(std::find(children.begin(), children.end(), "DejaVu Sans (Central European) [on]"), children.end());
  EXPECT_NE(std::find(children.begin(), children.end(), "DejaVu Sans (Cyrillic) -> [Western] [off]"), children.end());
  EXPECT_NE(std::find(children.begin(), children.end(), "DejaVu Sans (Greek) [off]"), children.end());
}

// The checks every font enumeration must pass, against GDI with the host's face.
class Win32FontsContract : public testing::TestWithParam<test::FontsContractCase> {};

TEST_P(Win32FontsContract, Holds) {
  Win32Fonts fonts;
  test::FontsUnderTest f{fonts, kHostFace};
  GetParam().check(f);
}

INSTANTIATE_TEST_SUITE_P(Fonts, Win32FontsContract, testing::ValuesIn(test::FontsContractCases()),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace sorel
