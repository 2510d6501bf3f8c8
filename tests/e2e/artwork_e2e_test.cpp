// The rendered artwork inside SorelAssistant.exe, read through the loaders the program uses: each
// picture keeps its size, the glyphs' grey becomes the system's button colour, the tree's strip keeps
// its transparent colour, and the icon has entries that Windows 95 and 98 can read.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <utility>

#include "tests/e2e/driver.h"

namespace e2e {
namespace {

// Face: loaded with LR_LOADMAP3DCOLORS (toolbox, menus, preview), so its corner takes the system's
// button colour. Mask: the tree's strip, whose corner is the transparent magenta. Own: paints itself.
enum class Background { Face, Mask, Own };

struct Picture {
  const char* name;
  int width, height;
  Background background;
};

const Picture kPictures[] = {
    {"SPLASH", 288, 360, Background::Own},         {"SIDEBAR", 108, 300, Background::Own},
    {"IMAGELIST1", 96, 16, Background::Mask},      {"IMAGE4", 24, 24, Background::Face},
    {"IMAGE5", 24, 24, Background::Face},          {"IMAGE6", 24, 24, Background::Face},
    {"IMAGE7", 24, 24, Background::Face},          {"GLYPH_WESTERN", 24, 24, Background::Face},
    {"GLYPH_ARROW", 8, 24, Background::Face},      {"MENU4", 16, 16, Background::Face},
    {"MENU5", 16, 16, Background::Face},           {"GLYPH_PREVIEW", 24, 24, Background::Face},
    {"GLYPH_SAMPLES", 24, 24, Background::Face},   {"GLYPH_BOLD", 24, 24, Background::Face},
    {"GLYPH_ITALIC", 24, 24, Background::Face},    {"GLYPH_PRINTSETUP", 24, 24, Background::Face},
    {"GLYPH_PRINT", 24, 24, Background::Face},     {"GLYPH_LANGCHOOSE", 24, 24, Background::Face},
    {"GLYPH_LANGRESEDIT", 24, 24, Background::Face}, {"GLYPH_FONTSFOLDER", 24, 24, Background::Face},
    {"GLYPH_WEBUPDATE", 24, 24, Background::Face},
};

class ArtworkE2E : public testing::Test {
 protected:
  void SetUp() override {
    module_ = LoadLibraryExA(g_exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module_, nullptr) << g_exePath;
  }
  void TearDown() override {
    if (module_) FreeLibrary(module_);
  }
  HMODULE module_ = nullptr;
};

TEST_F(ArtworkE2E, EveryPictureHasItsSizeAndTheBackgroundItsLoaderExpects) {
  HDC dc = CreateCompatibleDC(nullptr);
  for (const Picture& picture : kPictures) {
    SCOPED_TRACE(picture.name);
    const UINT flags = picture.background == Background::Face ? LR_LOADMAP3DCOLORS : 0;
    auto bitmap = static_cast<HBITMAP>(LoadImageA(module_, picture.name, IMAGE_BITMAP, 0, 0, flags));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info{};
    GetObjectA(bitmap, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, picture.width);
    EXPECT_EQ(info.bmHeight, picture.height);
    HGDIOBJ old = SelectObject(dc, bitmap);
    const COLORREF corner = GetPixel(dc, 0, 0);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    if (picture.background == Background::Face) {
      EXPECT_EQ(corner, GetSysColor(COLOR_3DFACE));
    } else if (picture.background == Background::Mask) {
      EXPECT_EQ(corner, RGB(255, 0, 255));
    }
  }
  DeleteDC(dc);
}

// An icon group as stored in a resource (GRPICONDIR and its entries, packed to two bytes).
#pragma pack(push, 2)
struct GroupEntry {
  BYTE width, height, colours, reserved;
  WORD planes, bitCount;
  DWORD bytes;
  WORD id;
};
struct GroupHeader {
  WORD reserved, type, count;
};
#pragma pack(pop)

TEST_F(ArtworkE2E, IconHasBitmapEntriesOfEachSizeInFourEightAndThirtyTwoBits) {
  HRSRC group = FindResourceA(module_, "MAINICON", MAKEINTRESOURCEA(14));  // RT_GROUP_ICON
  ASSERT_NE(group, nullptr);
  auto* header = static_cast<const GroupHeader*>(LockResource(LoadResource(module_, group)));
  auto* entries = reinterpret_cast<const GroupEntry*>(header + 1);
  std::set<std::pair<int, int>> found;
  for (int i = 0; i < header->count; ++i) {
    found.insert({entries[i].width, entries[i].bitCount});
    HRSRC icon = FindResourceA(module_, MAKEINTRESOURCEA(entries[i].id), MAKEINTRESOURCEA(3));  // RT_ICON
    ASSERT_NE(icon, nullptr);
    DWORD headerSize = 0;  // a BITMAPINFOHEADER, not a PNG signature, which the old systems cannot read
    std::memcpy(&headerSize, LockResource(LoadResource(module_, icon)), sizeof(headerSize));
    EXPECT_EQ(headerSize, sizeof(BITMAPINFOHEADER)) << "entry " << i;
  }
  const std::set<std::pair<int, int>> expected = {{16, 4}, {16, 8}, {16, 32}, {32, 4}, {32, 8},
                                                  {32, 32}, {48, 4}, {48, 8}, {48, 32}};
  EXPECT_EQ(found, expected);
}

}  // namespace
}  // namespace e2e
