// Windows and OS/2 bitmaps: uncompressed 1, 4, 8, 16, 24 and 32 bits per pixel, bit fields, RLE4
// and RLE8.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <iterator>
#include <string>

#include "toolkit/image/picture.h"
#include "toolkit/image/picture_limits.h"

namespace sorel {

namespace {

// Compression codes of the info header.
constexpr std::uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3, kAlphaBitFields = 6;
constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kOpaque = 0xFF000000u;

[[noreturn]] void Refuse(const char* why) { throw ImageError(std::string("BMP: ") + why); }

// One channel of a 16- or 32-bit pixel: the mask's bits, widened to eight by repeating them so
// that the largest value becomes 255 (5 bits 11111 give 11111111, not 11111000).
class Channel {
 public:
  explicit Channel(std::uint32_t mask) : mask_(mask) {
    if (mask == 0) return;  // absent: always 0
    shift_ = std::countr_zero(mask);
    const std::uint32_t bits = mask >> shift_;
    if ((bits & (bits + 1)) != 0) Refuse("colour mask with gaps");
    width_ = std::popcount(bits);
    if (width_ >= 8) return;
    for (std::uint32_t v = 0; v < (1u << width_); ++v) {
      std::uint32_t wide = 0;
      int filled = 0;
      for (; filled < 8; filled += width_) wide = wide << width_ | v;
      table_[v] = static_cast<std::uint8_t>(wide >> (filled - 8));
    }
  }
  bool present() const { return mask_ != 0; }
  std::uint32_t Get(std::uint32_t pixel) const {
    const std::uint32_t v = (pixel & mask_) >> shift_;
    return width_ >= 8 ? v >> (width_ - 8) : table_[v];
  }

 private:
  std::uint32_t mask_;
  int shift_ = 0, width_ = 0;
  std::uint8_t table_[128] = {};  // 2^7 values at most: wider masks shift instead
};

struct Header {
  std::int64_t width = 0, height = 0;  // height negative for top-down rows
  int bits = 0;
  std::uint32_t compression = kRgb;
  std::uint32_t masks[4] = {};  // red, green, blue, alpha
  std::size_t paletteStart = 0, paletteEntrySize = 4, paletteCount = 0;
  std::size_t pixelOffset = 0;
};

bool Supported(int bits, std::uint32_t compression) {
  switch (compression) {
    case kRgb: return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case kRle8: return bits == 8;
    case kRle4: return bits == 4;
    case kBitFields:
    case kAlphaBitFields: return bits == 16 || bits == 32;
    default: return false;
  }
}

// The file header (14 bytes: "BM", file size, reserved, offset of the pixels) and the info header
// that follows: BITMAPCOREHEADER (12 bytes, 16-bit sides, 3-byte palette entries) or
// BITMAPINFOHEADER (40) and its extensions (52 and 56 add the masks, OS/2 2.x 64, V4 108, V5 124).
// Masks for bit fields follow a 40-byte header; the palette follows the header and masks, cut
// short by the pixel offset when the file says it holds fewer entries. The file size field is
// often wrong and is not read.
Header ReadHeader(const std::uint8_t* data, std::size_t size) {
  if (size < kFileHeaderSize + 4) Refuse("truncated");
  if (data[0] != 'B' || data[1] != 'M') Refuse("not a bitmap");
  Header h;
  h.pixelOffset = Le32(data + 10);
  const std::uint32_t infoSize = Le32(data + kFileHeaderSize);
  const std::uint8_t* info = data + kFileHeaderSize;
  if (infoSize != 12 && infoSize != 40 && infoSize != 52 && infoSize != 56 && infoSize != 64 &&
      infoSize != 108 && infoSize != 124)
    Refuse("unknown header");
  if (size - kFileHeaderSize < infoSize) Refuse("truncated");
  std::size_t headerEnd = kFileHeaderSize + infoSize;
  std::uint32_t colorsUsed = 0;
  if (infoSize == 12) {
    h.width = Le16(info + 4);
    h.height = Le16(info + 6);
    h.bits = Le16(info + 10);
    h.paletteEntrySize = 3;
  } else {
    h.width = static_cast<std::int32_t>(Le32(info + 4));
    h.height = static_cast<std::int32_t>(Le32(info + 8));
    h.bits = Le16(info + 14);
    h.compression = Le32(info + 16);
    colorsUsed = Le32(info + 32);
  }
  if (!Supported(h.bits, h.compression)) Refuse("unsupported bit depth or compression");
  if (h.compression == kBitFields || h.compression == kAlphaBitFields) {
    const std::uint8_t* masks = info + 40;
    int count = infoSize == 52 ? 3 : 4;  // the later headers hold the alpha mask too
    if (infoSize == 40) {
      count = h.compression == kAlphaBitFields ? 4 : 3;
      if (size - headerEnd < static_cast<std::size_t>(count) * 4) Refuse("truncated");
      masks = data + headerEnd;
      headerEnd += static_cast<std::size_t>(count) * 4;
    } else if (infoSize == 64) {
      Refuse("bit fields without masks");  // OS/2 2.x has none
    }
    for (int i = 0; i < count; ++i) h.masks[i] = Le32(masks + 4 * i);
  } else if (h.bits == 16) {
    h.masks[0] = 0x7C00, h.masks[1] = 0x03E0, h.masks[2] = 0x001F;
  } else if (h.bits == 32) {
    h.masks[0] = 0xFF0000, h.masks[1] = 0xFF00, h.masks[2] = 0xFF;
  }
  if (h.pixelOffset < headerEnd || h.pixelOffset > size) Refuse("bad pixel data offset");
  if (h.bits <= 8) {
    const std::size_t full = std::size_t{1} << h.bits;
    h.paletteStart = headerEnd;
    h.paletteCount = colorsUsed != 0 && colorsUsed < full ? colorsUsed : full;
    h.paletteCount = std::min(h.paletteCount, (h.pixelOffset - headerEnd) / h.paletteEntrySize);
    if (h.paletteCount == 0) Refuse("no palette");
  }
  CheckPictureSize(h.width, h.height < 0 ? -h.height : h.height, "BMP");
  return h;
}

// Rows in the order the file stores them: the last row of the picture first unless top-down.
class RowOrder {
 public:
  explicit RowOrder(const Header& h)
      : topDown_(h.height < 0), rows_(static_cast<int>(topDown_ ? -h.height : h.height)) {}
  int rows() const { return rows_; }
  int PictureRow(int fileRow) const { return topDown_ ? fileRow : rows_ - 1 - fileRow; }

 private:
  bool topDown_;
  int rows_;
};

std::size_t Stride(const Header& h) { return (static_cast<std::size_t>(h.width) * h.bits + 31) / 32 * 4; }

// Uncompressed rows, each padded to four bytes; the last row need not carry its padding. Checked
// before the picture takes memory, so that a small file cannot claim a large picture.
void CheckRowsPresent(const Header& h, std::size_t size) {
  const std::size_t rowBytes = (static_cast<std::size_t>(h.width) * h.bits + 7) / 8;
  const std::size_t rows = static_cast<std::size_t>(RowOrder(h).rows());
  const std::size_t available = size - h.pixelOffset;
  if (available < rowBytes || (available - rowBytes) / Stride(h) < rows - 1) Refuse("truncated pixel data");
}

void ReadRows(const Header& h, const std::uint8_t* data, const std::uint32_t* palette, Picture& picture) {
  const RowOrder order(h);
  const std::size_t width = static_cast<std::size_t>(picture.width);
  const std::size_t stride = Stride(h);
  const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]), alpha(h.masks[3]);
  for (int r = 0; r < order.rows(); ++r) {
    const std::uint8_t* src = data + h.pixelOffset + r * stride;
    std::uint32_t* out = &picture.pixels[static_cast<std::size_t>(order.PictureRow(r)) * width];
    switch (h.bits) {
      case 1:
        for (std::size_t x = 0; x < width; ++x) out[x] = palette[src[x / 8] >> (7 - x % 8) & 1];
        break;
      case 4:
        for (std::size_t x = 0; x < width; ++x)
          out[x] = palette[x % 2 != 0 ? src[x / 2] & 15 : src[x / 2] >> 4];
        break;
      case 8:
        for (std::size_t x = 0; x < width; ++x) out[x] = palette[src[x]];
        break;
      case 24:
        for (std::size_t x = 0; x < width; ++x, src += 3)
          out[x] = kOpaque | static_cast<std::uint32_t>(src[2]) << 16 | src[1] << 8 | src[0];
        break;
      default:  // 16 or 32 bits with masks
        for (std::size_t x = 0; x < width; ++x) {
          const std::uint32_t v = h.bits == 16 ? Le16(src + 2 * x) : Le32(src + 4 * x);
          const std::uint32_t a = alpha.present() ? alpha.Get(v) : 255;
          // Every decoder gives a transparent pixel as 0, whatever colour the file left in it.
          out[x] = a == 0 ? 0 : a << 24 | red.Get(v) << 16 | green.Get(v) << 8 | blue.Get(v);
        }
    }
  }
}

// Run-length data, in two-byte commands: a count and a colour index (RLE8) or two alternating
// indices (RLE4, high nibble first); or 0 and an escape: 0 ends the row, 1 ends the picture, 2 moves
// right and up by the next two bytes, and 3 to 255 copy that many indices from the bytes that
// follow, padded to an even count of bytes. Pixels no command reaches stay transparent. Pixels
// past the end of a row are dropped: encoders such as ImageMagick's run over the row's padding too.
// Pixels or moves past the last row are refused, and the data must end in the escape that ends
// the picture or in the row ends that complete it.
void ReadRle(const Header& h, const std::uint8_t* data, std::size_t size, const std::uint32_t* palette,
             Picture& picture) {
  const RowOrder order(h);
  const bool four = h.compression == kRle4;
  const int width = picture.width, rows = order.rows();
  std::size_t pos = h.pixelOffset;
  int x = 0, y = 0;  // y counts rows in file order
  auto row = [&]() {
    return &picture.pixels[static_cast<std::size_t>(order.PictureRow(y)) * static_cast<std::size_t>(width)];
  };
  for (;;) {
    if (size - pos < 2) Refuse("truncated run-length data");
    const int count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {
      if (y >= rows) Refuse("run past the last row");
      std::uint32_t* out = row();
      const std::uint32_t colors[2] = {palette[four ? value >> 4 : value],
                                       palette[four ? value & 15 : value]};
      const int n = std::min(count, width - x);
      for (int i = 0; i < n; ++i) out[x + i] = colors[i & 1];
      x += n;
      continue;
    }
    switch (value) {
      case 0:
        x = 0;
        if (++y >= rows) return;
        break;
      case 1: return;
      case 2:
        if (size - pos < 2) Refuse("truncated run-length data");
        x += data[pos];
        y += data[pos + 1];
        pos += 2;
        if (x > width || y > rows) Refuse("move past the end of the picture");
        break;
      default: {
        const int n = value;
        const std::size_t bytes = four ? (n + 1) / 2 : n;
        if (size - pos < bytes) Refuse("truncated run-length data");
        if (y >= rows) Refuse("run past the last row");
        std::uint32_t* out = row();
        const int shown = std::min(n, width - x);
        for (int i = 0; i < shown; ++i) {
          const int index = four ? (data[pos + i / 2] >> (i % 2 ? 0 : 4)) & 15 : data[pos + i];
          out[x + i] = palette[index];
        }
        x += shown;
        pos += std::min(size - pos, (bytes + 1) & ~std::size_t{1});
      }
    }
  }
}

}  // namespace

Picture DecodeBmp(const std::uint8_t* data, std::size_t size) {
  const Header h = ReadHeader(data, size);
  // Indices past a short palette show opaque black.
  std::uint32_t palette[256];
  std::fill(std::begin(palette), std::end(palette), kOpaque);
  for (std::size_t i = 0; i < h.paletteCount; ++i) {
    const std::size_t at = h.paletteStart + i * h.paletteEntrySize;
    palette[i] = kOpaque | static_cast<std::uint32_t>(data[at + 2]) << 16 | data[at + 1] << 8 | data[at];
  }
  const int width = static_cast<int>(h.width), height = RowOrder(h).rows();
  if (h.compression == kRle4 || h.compression == kRle8) {
    Picture picture = NewPicture(width, height, 0);
    ReadRle(h, data, size, palette, picture);
    return picture;
  }
  CheckRowsPresent(h, size);
  Picture picture = NewPicture(width, height, 0);
  ReadRows(h, data, palette, picture);
  return picture;
}

}  // namespace sorel
