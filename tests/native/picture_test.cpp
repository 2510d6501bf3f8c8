// The picture decoders against ImageMagick's reading of the same files (tests/data/images, made by
// its regenerate script), and against damaged and hostile input.
#include "toolkit/image/picture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#ifndef SOREL_IMAGES_PATH
#error "SOREL_IMAGES_PATH must name tests/data/images (tests/CMakeLists.txt)"
#endif

// The largest single allocation since the last reset: a huge picture must be refused before it
// takes memory, and only counting can show that. GCC cannot see that this new and this delete
// pair malloc with free.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
static std::size_t g_largestAllocation = 0;
void* operator new(std::size_t n) {
  g_largestAllocation = std::max(g_largestAllocation, n);
  if (void* p = std::malloc(n != 0 ? n : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace sorel {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Decoder = Picture (*)(const std::uint8_t*, std::size_t);

Bytes Load(const std::string& name) {
  std::ifstream in(std::string(SOREL_IMAGES_PATH) + "/" + name, std::ios::binary);
  EXPECT_TRUE(in) << name;
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

Picture Decode(Decoder decode, const Bytes& b) { return decode(b.data(), b.size()); }

void Put16(Bytes& b, std::size_t at, unsigned v) { b[at] = v & 0xFF, b[at + 1] = v >> 8 & 0xFF; }
void Put32(Bytes& b, std::size_t at, std::uint32_t v) { Put16(b, at, v & 0xFFFF), Put16(b, at + 2, v >> 16); }
void PutBe16(Bytes& b, std::size_t at, unsigned v) { b[at] = v >> 8 & 0xFF, b[at + 1] = v & 0xFF; }

// The frame header of a JPEG: height and width (big-endian) at +5 and +7.
std::size_t FindSof(const Bytes& b) {
  for (std::size_t i = 0; i + 9 < b.size(); ++i)
    if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) return i;
  ADD_FAILURE() << "no frame header";
  return 0;
}

struct ReferenceCase {
  const char* file;
  Decoder decode;
  int width, height;
  int tolerance;  // per channel; JPEG: libjpeg versions round the inverse DCT differently
};

const ReferenceCase kReferences[] = {
    {"bmp1.bmp", DecodeBmp, 13, 9, 0},
    {"bmp1_topdown.bmp", DecodeBmp, 13, 9, 0},
    {"bmp4.bmp", DecodeBmp, 13, 9, 0},
    {"bmp8.bmp", DecodeBmp, 7, 5, 0},
    {"bmp8_short.bmp", DecodeBmp, 7, 5, 0},
    {"os2_8.bmp", DecodeBmp, 7, 5, 0},
    {"os2_24.bmp", DecodeBmp, 13, 9, 0},
    {"bmp16.bmp", DecodeBmp, 13, 9, 0},
    {"bmp16_555.bmp", DecodeBmp, 13, 9, 0},
    {"bmp16_565.bmp", DecodeBmp, 7, 5, 0},
    {"bmp24.bmp", DecodeBmp, 13, 9, 0},
    {"bmp24_topdown.bmp", DecodeBmp, 13, 9, 0},
    {"bmp24_v4.bmp", DecodeBmp, 13, 9, 0},
    {"bmp24_v5.bmp", DecodeBmp, 13, 9, 0},
    {"bmp32.bmp", DecodeBmp, 13, 9, 0},
    {"bmp32_alpha.bmp", DecodeBmp, 13, 9, 0},
    {"rle8.bmp", DecodeBmp, 13, 9, 0},
    {"rle8_moves.bmp", DecodeBmp, 13, 9, 0},
    {"rle4_moves.bmp", DecodeBmp, 13, 9, 0},
    {"gif89.gif", DecodeGif, 13, 9, 0},
    {"gif87_local.gif", DecodeGif, 13, 9, 0},
    {"gif_interlaced.gif", DecodeGif, 13, 9, 0},
    {"gif_transparent.gif", DecodeGif, 13, 9, 0},
    {"gif_2frames.gif", DecodeGif, 13, 9, 0},
    {"gif_codesize1.gif", DecodeGif, 13, 9, 0},  // the reference from its indices, checked with giflib
    {"jpeg_color.jpg", DecodeJpeg, 31, 23, 4},
    {"jpeg_progressive.jpg", DecodeJpeg, 31, 23, 4},
    {"jpeg_no_end.jpg", DecodeJpeg, 31, 23, 4},  // jpeg_progressive.jpg without its end-of-image marker
    {"jpeg_gray.jpg", DecodeJpeg, 31, 23, 4},
};

// The reference's R G B A bytes as our pixels; every decoder gives a transparent pixel as 0.
std::vector<std::uint32_t> Reference(const std::string& file) {
  const Bytes rgba = Load(file.substr(0, file.rfind('.')) + ".rgba");
  std::vector<std::uint32_t> pixels;
  for (std::size_t i = 0; i + 3 < rgba.size(); i += 4)
    pixels.push_back(rgba[i + 3] == 0
                         ? 0
                         : std::uint32_t{rgba[i + 3]} << 24 | rgba[i] << 16 | rgba[i + 1] << 8 | rgba[i + 2]);
  return pixels;
}

TEST(PictureTest, DecodesAsImageMagickReadsTheSameFile) {
  const Decoder all[] = {DecodeBmp, DecodeGif, DecodeJpeg};
  for (const ReferenceCase& c : kReferences) {
    SCOPED_TRACE(c.file);
    const Bytes file = Load(c.file);
    const Picture p = Decode(c.decode, file);
    ASSERT_EQ(p.width, c.width);
    ASSERT_EQ(p.height, c.height);
    const std::vector<std::uint32_t> expected = Reference(c.file);
    ASSERT_EQ(p.pixels.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      for (int shift = 0; shift < 32; shift += 8) {
        const int got = p.pixels[i] >> shift & 0xFF, want = expected[i] >> shift & 0xFF;
        ASSERT_LE(std::abs(got - want), c.tolerance) << "x " << i % c.width << " y " << i / c.width << ": "
                                                     << std::hex << p.pixels[i] << " for " << expected[i];
      }
    }
    // The signature picks the same decoder, and the other decoders refuse the file.
    EXPECT_EQ(Decode(DecodeImage, file).pixels, p.pixels);
    for (Decoder other : all) {
      if (other != c.decode) {
        EXPECT_THROW(Decode(other, file), ImageError);
      }
    }
  }
}

// Damage after the last pixel: the picture is already complete.
TEST(PictureTest, AcceptsAFileCutAfterItsLastPixel) {
  const struct {
    const char* file;
    Decoder decode;
    std::size_t cut;  // bytes kept
  } cases[] = {
      {"gif89.gif", DecodeGif, 102},  // no trailer
      {"gif89.gif", DecodeGif, 101},  // nor the image data's terminating block
      {"rle8.bmp", DecodeBmp, 1348},  // no end-of-bitmap escape after the last row's end
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.file) + " cut at " + std::to_string(c.cut));
    const Bytes whole = Load(c.file);
    const Bytes cut(whole.begin(), whole.begin() + c.cut);
    EXPECT_EQ(Decode(c.decode, cut).pixels, Decode(c.decode, whole).pixels);
  }
}

using Edit = std::function<void(Bytes&)>;
Edit Cut(std::size_t n) {
  return [n](Bytes& b) { b.resize(n); };
}

// A 40-byte-header bitmap of w x h with a palette of two colours and the given pixel data.
Bytes Bmp(int w, int h, int bits, int compression, const Bytes& pixels) {
  Bytes b(14 + 40 + 8 + pixels.size());
  b[0] = 'B', b[1] = 'M';
  Put32(b, 10, 14 + 40 + 8);
  Put32(b, 14, 40), Put32(b, 18, w), Put32(b, 22, h), Put16(b, 26, 1), Put16(b, 28, bits);
  Put32(b, 30, compression), Put32(b, 46, 2);
  Put32(b, 54, 0x0000FF), Put32(b, 58, 0xFF0000);
  std::copy(pixels.begin(), pixels.end(), b.begin() + 14 + 40 + 8);
  return b;
}

TEST(PictureTest, RefusesDamagedFiles) {
  const struct {
    const char* what;
    const char* file;  // edited, or empty when the edit makes the file
    Decoder decode;
    Edit edit;
  } cases[] = {
      {"bitmap: empty", "bmp24.bmp", DecodeBmp, Cut(0)},
      {"bitmap: in the file header", "bmp24.bmp", DecodeBmp, Cut(13)},
      {"bitmap: in the info header", "bmp24.bmp", DecodeBmp, Cut(30)},
      {"bitmap: no pixels", "bmp24.bmp", DecodeBmp, Cut(54)},
      {"bitmap: half the pixels", "bmp24.bmp", DecodeBmp, Cut(200)},
      {"bitmap: last pixel short", "bmp24.bmp", DecodeBmp, Cut(412)},
      {"bitmap: in the palette", "bmp4.bmp", DecodeBmp, Cut(100)},
      {"OS/2 bitmap: in the palette", "os2_8.bmp", DecodeBmp, Cut(300)},
      {"bitmap: in the masks", "bmp16_565.bmp", DecodeBmp, Cut(100)},
      {"run-length: half the data", "rle8.bmp", DecodeBmp, Cut(1200)},
      {"run-length: the last row's end", "rle8.bmp", DecodeBmp, Cut(1346)},
      {"RLE4: half the data", "rle4_moves.bmp", DecodeBmp, Cut(120)},
      {"bitmap: width 0", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 18, 0); }},
      {"bitmap: width -13", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 18, -13); }},
      {"bitmap: height 0", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 22, 0); }},
      {"bitmap: lowest height", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 22, 0x80000000u); }},
      {"bitmap: 3 bits", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put16(b, 28, 3); }},
      {"bitmap: JPEG inside", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 30, 4); }},
      {"bitmap: unknown header", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 14, 41); }},
      {"bitmap: pixels past the end", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 10, 415); }},
      {"bitmap: pixels in the header", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 10, 40); }},
      {"bitmap: RLE8 at 4 bits", "rle8.bmp", DecodeBmp, [](Bytes& b) { Put16(b, 28, 4); }},
      {"bitmap: mask with a gap", "bmp16_565.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 54, 0xF00F); }},
      {"move right out", "", DecodeBmp,
       [](Bytes& b) {
         b = Bmp(13, 2, 8, 1, {0, 2, 14, 0, 0, 1});
       }},
      {"move up out", "", DecodeBmp,
       [](Bytes& b) {
         b = Bmp(13, 2, 8, 1, {0, 2, 0, 3, 0, 1});
       }},
      {"run above the top row", "", DecodeBmp,
       [](Bytes& b) {
         b = Bmp(13, 2, 8, 1, {0, 2, 0, 2, 1, 1, 0, 1});
       }},
      {"copy above the top row", "", DecodeBmp,
       [](Bytes& b) {
         b = Bmp(3, 1, 8, 1, {0, 2, 0, 1, 0, 3, 1, 1, 1, 0, 0, 1});
       }},
      {"RLE4 run above the top row", "", DecodeBmp,
       [](Bytes& b) {
         b = Bmp(13, 1, 4, 2, {0, 2, 0, 1, 3, 0x01, 0, 1});
       }},
      {"run-length without its end", "", DecodeBmp,
       [](Bytes& b) {
         b = Bmp(13, 2, 8, 1, {13, 1});
       }},
      {"GIF: in the signature", "gif89.gif", DecodeGif, Cut(3)},
      {"GIF: in the screen", "gif89.gif", DecodeGif, Cut(10)},
      {"GIF: in the colour table", "gif89.gif", DecodeGif, Cut(20)},
      {"GIF: in the control extension", "gif89.gif", DecodeGif, Cut(40)},
      {"GIF: in the image descriptor", "gif89.gif", DecodeGif, Cut(50)},
      {"GIF: before the code size", "gif89.gif", DecodeGif, Cut(55)},
      {"GIF: in the image data", "gif89.gif", DecodeGif, Cut(70)},
      {"GIF: interlaced, in the image data", "gif_interlaced.gif", DecodeGif, Cut(80)},
      {"GIF: screen width 0", "gif89.gif", DecodeGif, [](Bytes& b) { Put16(b, 6, 0); }},
      {"GIF: frame height 0", "gif89.gif", DecodeGif, [](Bytes& b) { Put16(b, 52, 0); }},
      {"GIF: code size 13", "gif89.gif", DecodeGif, [](Bytes& b) { b[55] = 13; }},
      {"GIF: code size 0", "gif89.gif", DecodeGif, [](Bytes& b) { b[55] = 0; }},
      {"GIF: unknown block", "gif89.gif", DecodeGif, [](Bytes& b) { b[37] = 0x99; }},
      {"GIF: trailer first", "gif89.gif", DecodeGif, [](Bytes& b) { b[37] = 0x3B; }},
      {"JPEG: half", "jpeg_color.jpg", DecodeJpeg, [](Bytes& b) { b.resize(b.size() / 2); }},
      {"JPEG: progressive, half", "jpeg_progressive.jpg", DecodeJpeg,
       [](Bytes& b) { b.resize(b.size() / 2); }},
      {"JPEG: start of image only", "jpeg_color.jpg", DecodeJpeg, Cut(2)},
      {"JPEG: in the tables", "jpeg_color.jpg", DecodeJpeg, Cut(100)},
      {"JPEG: width 0", "jpeg_color.jpg", DecodeJpeg, [](Bytes& b) { PutBe16(b, FindSof(b) + 7, 0); }},
      {"JPEG: garbage after the start", "jpeg_color.jpg", DecodeJpeg,
       [](Bytes& b) { std::fill(b.begin() + 3, b.end(), 0x5A); }},
      {"JPEG: CMYK", "jpeg_cmyk.jpg", DecodeJpeg, [](Bytes&) {}},
      {"JPEG: one scan 150 times more", "jpeg_scans.jpg", DecodeJpeg, [](Bytes&) {}},
      {"unknown signature", "bmp24.bmp", DecodeImage, [](Bytes& b) { b[1] = 'N'; }},
      {"nothing", "", DecodeImage, [](Bytes&) {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b = *c.file != 0 ? Load(c.file) : Bytes();
    c.edit(b);
    EXPECT_THROW(Decode(c.decode, b), ImageError);
  }
}

struct Code {
  int value, width;
};

// LZW codes each at its width, least significant bit first, as one data sub-block, its
// terminator and the trailer.
void AppendCodes(Bytes& b, const std::vector<Code>& codes) {
  Bytes data;
  unsigned bits = 0, count = 0;
  for (const Code& code : codes) {
    bits |= static_cast<unsigned>(code.value) << count, count += code.width;
    for (; count >= 8; count -= 8, bits >>= 8) data.push_back(bits & 0xFF);
  }
  if (count > 0) data.push_back(bits & 0xFF);
  b.push_back(static_cast<std::uint8_t>(data.size()));
  b.insert(b.end(), data.begin(), data.end());
  b.insert(b.end(), {0, 0x3B});
}

// A GIF of a 2x2 frame on a 3x2 screen, four colours, LZW code size 2 (clear 4, end 5, first new
// code 6); the codes, all 3 bits wide, in the order given, then the end of the data.
Bytes Gif(const std::vector<int>& codes, bool colorTable = true) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a', 3, 0, 2, 0, static_cast<std::uint8_t>(colorTable ? 0x81 : 0),
             0,   0};
  if (colorTable) b.insert(b.end(), {255, 0, 0, 0, 255, 0, 0, 0, 255, 9, 9, 9});
  b.insert(b.end(), {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0, 2});
  std::vector<Code> widths;
  for (int code : codes) widths.push_back({code, 3});
  AppendCodes(b, widths);
  return b;
}

TEST(PictureTest, ReadsLzwCodesOrRefusesThem) {
  constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00;
  const struct {
    const char* what;
    std::vector<int> codes;
    std::vector<std::uint32_t> pixels;  // empty: refused
  } cases[] = {
      {"a new code", {4, 0, 1, 6}, {R, G, 0, R, G, 0}},
      {"the code being added", {4, 0, 6, 1}, {R, R, 0, R, G, 0}},
      {"no clear code first", {0, 1, 6}, {R, G, 0, R, G, 0}},
      {"a code not yet in the table", {4, 0, 7}, {}},
      {"a new code right after clear", {4, 6}, {}},
      {"the end code before the last pixel", {4, 0, 5}, {}},
      {"the data ends before the last pixel", {4, 0}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes gif = Gif(c.codes);
    if (c.pixels.empty()) {
      EXPECT_THROW(Decode(DecodeGif, gif), ImageError);
    } else {
      EXPECT_EQ(Decode(DecodeGif, gif).pixels, c.pixels);
    }
  }
  EXPECT_THROW(Decode(DecodeGif, Gif({4, 0, 1, 6}, false)), ImageError) << "no colour table";
}

// A GIF whose one frame fills its w x 1 screen, colours red and green, LZW minimum code size 1.
Bytes GifOfCodeSize1(int w, const std::vector<Code>& codes) {
  Bytes b = {'G', 'I', 'F', '8', '9', 'a', static_cast<std::uint8_t>(w), 0, 1, 0, 0x80, 0, 0,
             255, 0,   0,   0,   255, 0};
  b.insert(b.end(), {0x2C, 0, 0, 0, 0, static_cast<std::uint8_t>(w), 0, 1, 0, 0, 1});
  AppendCodes(b, codes);
  return b;
}

// Minimum code size 1: clear 2, end 3; the first code after a clear 2 bits wide, then 3, as the
// next may already be the entry about to be added (4); 4 bits once the table holds 8 codes. The
// pixels are those giflib reads from the same codes.
TEST(PictureTest, ReadsLzwCodeSize1) {
  constexpr std::uint32_t R = 0xFFFF0000, G = 0xFF00FF00;
  const struct {
    const char* what;
    std::vector<Code> codes;
    std::vector<std::uint32_t> pixels;  // empty: refused
  } cases[] = {
      {"3 bits from the second code: the code being added, then 4 bits at 8 codes",
       {{2, 2}, {0, 2}, {4, 3}, {1, 3}, {6, 3}, {1, 4}, {0, 4}, {3, 4}},
       {R, R, R, G, G, G, G, R}},
      {"a clear code mid-way: 2 bits again for one code", {{2, 2}, {1, 2}, {2, 3}, {0, 2}, {1, 3}, {3, 3}}, {G, R, G}},
      {"no clear code first", {{1, 2}, {0, 3}, {4, 3}, {3, 3}}, {G, R, G, R}},
      {"the end code in 3 bits after the first", {{2, 2}, {0, 2}, {3, 3}}, {}},
      {"a code past the one being added", {{2, 2}, {0, 2}, {5, 3}}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes gif = GifOfCodeSize1(c.pixels.empty() ? 2 : static_cast<int>(c.pixels.size()), c.codes);
    if (c.pixels.empty()) {
      EXPECT_THROW(Decode(DecodeGif, gif), ImageError);
    } else {
      EXPECT_EQ(Decode(DecodeGif, gif).pixels, c.pixels);
    }
  }
}

// Entropy-coded JPEG data: bits most significant first, a 0 stuffed after each 0xFF byte, the
// last byte padded with 1 bits.
class JpegBits {
 public:
  void Put(unsigned value, int count) {
    for (int i = count - 1; i >= 0; --i) Bit(value >> i & 1);
  }
  // The bytes so far, padded; the next Put starts afresh, as after a restart marker.
  Bytes Finish() {
    while (count_ != 0) Bit(1);
    Bytes done;
    done.swap(out_);
    return done;
  }

 private:
  void Bit(unsigned bit) {
    byte_ = byte_ << 1 | bit;
    if (++count_ < 8) return;
    out_.push_back(static_cast<std::uint8_t>(byte_));
    if (byte_ == 0xFF) out_.push_back(0);
    byte_ = 0, count_ = 0;
  }
  Bytes out_;
  unsigned byte_ = 0;
  int count_ = 0;
};

// A marker segment: the marker, the length of what follows counting itself, the body.
void JpegSegment(Bytes& b, std::uint8_t marker, const Bytes& body) {
  b.insert(b.end(), {0xFF, marker, static_cast<std::uint8_t>((body.size() + 2) >> 8),
                     static_cast<std::uint8_t>((body.size() + 2) & 0xFF)});
  b.insert(b.end(), body.begin(), body.end());
}

// The start of a grey JPEG of one 8-bit component, quantization steps all 1, frame marker sof,
// and DC table 0 of one code, "0", for difference category 0: every block's DC is 0, mid-grey.
Bytes GreyJpegStart(std::uint8_t sof, int width, int height) {
  Bytes b = {0xFF, 0xD8};
  Bytes quantization(65, 1);
  quantization[0] = 0;
  JpegSegment(b, 0xDB, quantization);
  JpegSegment(b, sof, {8, static_cast<std::uint8_t>(height >> 8), static_cast<std::uint8_t>(height & 0xFF),
                       static_cast<std::uint8_t>(width >> 8), static_cast<std::uint8_t>(width & 0xFF), 1, 1, 0x11, 0});
  Bytes dc(17, 0);
  dc[1] = 1;
  dc.push_back(0);
  JpegSegment(b, 0xC4, dc);
  return b;
}

long long JpegBlocks(int width, int height) { return static_cast<long long>((width + 7) / 8) * ((height + 7) / 8); }

// A baseline uniform mid-grey JPEG, each block coded as DC difference 0 and end of block, with a
// restart marker after every restartInterval blocks.
Bytes RestartJpeg(int width, int height, int restartInterval) {
  Bytes b = GreyJpegStart(0xC0, width, height);
  Bytes ac(17, 0);  // AC table 0: end of block only, code "0"
  ac[0] = 0x10, ac[1] = 1;
  ac.push_back(0x00);
  JpegSegment(b, 0xC4, ac);
  JpegSegment(b, 0xDD, {static_cast<std::uint8_t>(restartInterval >> 8), static_cast<std::uint8_t>(restartInterval & 0xFF)});
  JpegSegment(b, 0xDA, {1, 1, 0x00, 0, 63, 0});
  JpegBits bits;
  for (long long i = 0, restarts = 0; i < JpegBlocks(width, height); ++i) {
    if (i > 0 && i % restartInterval == 0) {
      const Bytes data = bits.Finish();
      b.insert(b.end(), data.begin(), data.end());
      b.insert(b.end(), {0xFF, static_cast<std::uint8_t>(0xD0 + restarts++ % 8)});
    }
    bits.Put(0, 2);
  }
  const Bytes data = bits.Finish();
  b.insert(b.end(), data.begin(), data.end());
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

// A progressive grey JPEG of a uniform mid-grey (every coefficient 0): its DC scan, then the
// same AC scan, one end-of-band run over every block, acScans times, as a file of a repeated
// scan header is made. Each scan takes a few bytes but refines every pixel again.
Bytes RepeatedScanJpeg(int width, int height, int acScans) {
  Bytes b = GreyJpegStart(0xC2, width, height);
  Bytes ac(17, 0);  // AC table 0: the runs EOB0 to EOB14 (symbol r * 16), r's code r in 4 bits
  ac[0] = 0x10, ac[4] = 15;
  for (int r = 0; r < 15; ++r) ac.push_back(static_cast<std::uint8_t>(r << 4));
  JpegSegment(b, 0xC4, ac);
  const long long blocks = JpegBlocks(width, height);
  JpegSegment(b, 0xDA, {1, 1, 0x00, 0, 0, 0x00});
  JpegBits dcBits;
  for (long long i = 0; i < blocks; ++i) dcBits.Put(0, 1);
  const Bytes dcData = dcBits.Finish();
  b.insert(b.end(), dcData.begin(), dcData.end());
  JpegBits acBits;
  for (long long left = blocks; left > 0;) {
    const int run = static_cast<int>(std::min(left, 32767LL));
    int r = 0;
    while (2 << r <= run) ++r;
    acBits.Put(static_cast<unsigned>(r), 4);
    acBits.Put(static_cast<unsigned>(run - (1 << r)), r);
    left -= run;
  }
  const Bytes acData = acBits.Finish();
  for (int i = 0; i < acScans; ++i) {
    JpegSegment(b, 0xDA, {1, 1, 0x00, 1, 63, 0x00});
    b.insert(b.end(), acData.begin(), acData.end());
  }
  b.insert(b.end(), {0xFF, 0xD9});
  return b;
}

// Scans are counted as they come and refused past the bounds, each bound tried from both sides.
TEST(PictureTest, RefusesJpegScansPastTheBounds) {
  const struct {
    const char* what;
    int width, height, scans;
    bool shown;
  } cases[] = {
      {"a small picture in 10 scans", 64, 48, 10, true},
      {"as many scans as allowed", 64, 48, kMaxJpegScans, true},
      {"one scan more", 64, 48, kMaxJpegScans + 1, false},
      {"a scan header repeated 2000 times", 64, 48, 2001, false},
      {"2.56 M pixels in as many scans as allowed", 1600, 1600, kMaxJpegScans, true},
      {"the largest picture in 16 scans", 8192, 2048, 16, true},
      {"the largest picture in 17 scans", 8192, 2048, 17, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Bytes jpeg = RepeatedScanJpeg(c.width, c.height, c.scans - 1);
    if (!c.shown) {
      EXPECT_THROW(Decode(DecodeJpeg, jpeg), ImageError);
      continue;
    }
    const Picture p = Decode(DecodeJpeg, jpeg);
    ASSERT_EQ(p.width, c.width);
    ASSERT_EQ(p.height, c.height);
    EXPECT_EQ(std::count(p.pixels.begin(), p.pixels.end(), 0xFF808080u), static_cast<long>(p.pixels.size()));
  }
}

// Where the marker of that code first stands, or the size.
std::size_t MarkerAt(const Bytes& b, std::uint8_t code, bool last = false) {
  std::size_t at = b.size();
  for (std::size_t i = 0; i + 1 < b.size(); ++i)
    if (b[i] == 0xFF && b[i + 1] == code && (at == b.size() || last)) at = i;
  return at;
}

// A JPEG whose data are all there but for the end-of-image marker shows as the whole file does
// (libjpeg is given the marker the file lacks); one cut inside a scan or before a restart marker
// is refused; one cut between two scans shows the scans it has.
TEST(PictureTest, ReadsAJpegWithoutItsEndMarker) {
  enum class Shows { AsTheWhole, Something, Nothing };
  const Bytes restarts = RestartJpeg(64, 16, 4);  // 16 blocks: four intervals of one byte each
  const struct {
    const char* what;
    Bytes jpeg;
    std::function<std::size_t(const Bytes&)> keep;  // how many bytes of it
    Shows shows;
  } cases[] = {
      {"baseline, no end marker", Load("jpeg_color.jpg"), [](const Bytes& b) { return b.size() - 2; }, Shows::AsTheWhole},
      {"baseline, half the end marker", Load("jpeg_color.jpg"), [](const Bytes& b) { return b.size() - 1; },
       Shows::AsTheWhole},
      {"grey, no end marker", Load("jpeg_gray.jpg"), [](const Bytes& b) { return b.size() - 2; }, Shows::AsTheWhole},
      {"progressive, no end marker", Load("jpeg_progressive.jpg"), [](const Bytes& b) { return b.size() - 2; },
       Shows::AsTheWhole},
      {"restart markers, no end marker", restarts, [](const Bytes& b) { return b.size() - 2; }, Shows::AsTheWhole},
      {"baseline, the last byte of data missing", Load("jpeg_color.jpg"), [](const Bytes& b) { return b.size() - 3; },
       Shows::Nothing},
      {"progressive, the last byte of data missing", Load("jpeg_progressive.jpg"),
       [](const Bytes& b) { return b.size() - 3; }, Shows::Nothing},
      {"restart markers, cut before one", restarts, [](const Bytes& b) { return MarkerAt(b, 0xD1); }, Shows::Nothing},
      {"restart markers, cut inside an interval", restarts, [](const Bytes& b) { return MarkerAt(b, 0xD1) - 1; },
       Shows::Nothing},
      {"progressive, cut before the last scan", Load("jpeg_progressive.jpg"),
       [](const Bytes& b) { return MarkerAt(b, 0xDA, true); }, Shows::Something},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::size_t keep = c.keep(c.jpeg);
    ASSERT_LT(keep, c.jpeg.size());
    const Bytes cut(c.jpeg.begin(), c.jpeg.begin() + static_cast<std::ptrdiff_t>(keep));
    if (c.shows == Shows::Nothing) {
      EXPECT_THROW(Decode(DecodeJpeg, cut), ImageError);
      continue;
    }
    const Picture whole = Decode(DecodeJpeg, c.jpeg), part = Decode(DecodeJpeg, cut);
    EXPECT_EQ(part.width, whole.width);
    EXPECT_EQ(part.height, whole.height);
    if (c.shows == Shows::AsTheWhole) {
      EXPECT_EQ(part.pixels, whole.pixels);
    } else {
      EXPECT_NE(part.pixels, whole.pixels);  // its last refinement missing
    }
  }
}

TEST(PictureTest, RefusesHugePicturesBeforeTakingMemory) {
  const struct {
    const char* what;
    const char* file;
    Decoder decode;
    Edit edit;
  } cases[] = {
      {"bitmap wider than the limit", "bmp24.bmp", DecodeBmp,
       [](Bytes& b) { Put32(b, 18, kMaxImageSide + 1); }},
      {"bitmap of too many pixels", "bmp24.bmp", DecodeBmp,
       [](Bytes& b) { Put32(b, 18, kMaxImageSide), Put32(b, 22, -kMaxImageSide); }},
      {"bitmap of the largest width", "bmp24.bmp", DecodeBmp, [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF); }},
      {"bitmap within the limits, rows missing", "bmp24.bmp", DecodeBmp,
       [](Bytes& b) { Put32(b, 18, kMaxImageSide), Put32(b, 22, 2048); }},
      {"GIF screen", "gif89.gif", DecodeGif, [](Bytes& b) { Put16(b, 6, 65535), Put16(b, 8, 65535); }},
      {"GIF frame", "gif89.gif", DecodeGif, [](Bytes& b) { Put16(b, 50, 65535), Put16(b, 52, 65535); }},
      {"GIF frame within the limits, data missing", "gif89.gif", DecodeGif,
       [](Bytes& b) { Put16(b, 50, 4096), Put16(b, 52, 4096); }},
      {"JPEG", "jpeg_color.jpg", DecodeJpeg,
       [](Bytes& b) { PutBe16(b, FindSof(b) + 5, 65000), PutBe16(b, FindSof(b) + 7, 65000); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Bytes b = Load(c.file);
    c.edit(b);
    g_largestAllocation = 0;
    EXPECT_THROW(Decode(c.decode, b), ImageError);
    EXPECT_LT(g_largestAllocation, std::size_t{1} << 20);
  }
}

}  // namespace
}  // namespace sorel
