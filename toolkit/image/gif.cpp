// GIF 87a and 89a: the first image, placed on its logical screen. A file that ends before the
// image has every pixel is refused, not shown in part; what follows the last pixel is not read.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "toolkit/image/picture.h"
#include "toolkit/image/picture_limits.h"

namespace sorel {

namespace {

constexpr int kMaxCodes = 4096;  // codes are at most 12 bits wide
constexpr std::uint32_t kOpaque = 0xFF000000u;

[[noreturn]] void Refuse(const char* why) { throw ImageError(std::string("GIF: ") + why); }

// A cursor over the file that refuses to read past its end.
class Input {
 public:
  Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
  std::uint8_t Byte() { return *Take(1); }
  std::uint16_t U16() { return Le16(Take(2)); }
  std::size_t remaining() const { return size_ - pos_; }
  const std::uint8_t* Take(std::size_t n) {
    if (size_ - pos_ < n) Refuse("truncated");
    const std::uint8_t* p = data_ + pos_;
    pos_ += n;
    return p;
  }
  // Data sub-blocks: a length byte and that many bytes, until a length of 0.
  void SkipSubBlocks() {
    while (const std::uint8_t n = Byte()) Take(n);
  }

 private:
  const std::uint8_t* data_;
  std::size_t size_, pos_ = 0;
};

// A colour table of 2^(bits+1) RGB triples into the 256 entries an index can reach; the entries
// past a short table stay as they are.
void ReadColorTable(Input& in, int bits, std::uint32_t* colors) {
  const int entries = 2 << bits;
  const std::uint8_t* p = in.Take(static_cast<std::size_t>(entries) * 3);
  for (int i = 0; i < entries; ++i, p += 3)
    colors[i] = kOpaque | static_cast<std::uint32_t>(p[0]) << 16 | p[1] << 8 | p[2];
}

// Codes of a given width, least significant bit first, from the image's data sub-blocks.
class CodeReader {
 public:
  explicit CodeReader(Input& in) : in_(in) {}
  // The next code, or -1 where the sub-blocks end.
  int Next(int width) {
    while (count_ < width) {
      if (left_ == 0) {
        if (ended_ || (left_ = in_.Byte()) == 0) {
          ended_ = true;
          return -1;
        }
      }
      bits_ |= static_cast<std::uint32_t>(in_.Byte()) << count_;
      count_ += 8;
      --left_;
    }
    const int code = static_cast<int>(bits_ & ((1u << width) - 1));
    bits_ >>= width;
    count_ -= width;
    return code;
  }

 private:
  Input& in_;
  std::uint32_t bits_ = 0;  // at most 12 + 7 bits waiting
  int count_ = 0, left_ = 0;
  bool ended_ = false;
};

// Stores the frame's indices row by row, in the four passes of an interlaced image when asked.
class FrameWriter {
 public:
  FrameWriter(std::vector<std::uint8_t>& frame, int width, int height, bool interlaced)
      : frame_(frame),
        width_(width),
        height_(height),
        passes_(interlaced ? kInterlaced : kPlain),
        lastPass_(interlaced ? 3 : 0),
        remaining_(frame.size()) {}
  bool Done() const { return remaining_ == 0; }
  void Put(const std::uint8_t* indices, std::size_t n) {
    while (n > 0 && remaining_ > 0) {
      const std::size_t part = std::min({n, remaining_, static_cast<std::size_t>(width_ - x_)});
      std::memcpy(&frame_[static_cast<std::size_t>(y_) * width_ + x_], indices, part);
      indices += part, n -= part, remaining_ -= part;
      x_ += static_cast<int>(part);
      if (x_ == width_) {
        x_ = 0;
        y_ += passes_[pass_].step;
        while (y_ >= height_ && pass_ < lastPass_) y_ = passes_[++pass_].start;
      }
    }
  }

 private:
  struct Pass {
    int start, step;
  };
  static constexpr Pass kPlain[] = {{0, 1}};
  static constexpr Pass kInterlaced[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};

  std::vector<std::uint8_t>& frame_;
  const int width_, height_;
  const Pass* passes_;
  const int lastPass_;
  std::size_t remaining_;  // while it is not 0, y_ is a row of the frame
  int x_ = 0, y_ = 0, pass_ = 0;
};

// The most indices n codes can give: the k-th code after a clear stands for at most k of them,
// and no code for more than the table holds. A frame larger than this cannot be in the file, and
// is refused before it takes memory.
std::uint64_t MostIndices(std::uint64_t codes) {
  constexpr std::uint64_t kLongest = kMaxCodes;
  if (codes <= kLongest) return codes * (codes + 1) / 2;
  return kLongest * (kLongest + 1) / 2 + (codes - kLongest) * kLongest;
}

// LZW as GIF uses it: codes start one bit wider than the minimum code size and widen, up to 12
// bits, as the table fills; the clear code (2^size) empties the table and the one after it ends
// the data. A full table stays as it is until the next clear code. A code that is neither in the
// table nor the one about to be added is refused, as is data that ends before every pixel has its
// index. GIF89a asks two-colour pictures for a minimum of 2, but some encoders write 1: clear 2,
// end 3, the first code 2 bits wide and every later one 3 or more, as giflib reads them.
void DecodeLzw(Input& in, int minCodeSize, FrameWriter& out) {
  const int clear = 1 << minCodeSize, end = clear + 1;
  std::uint16_t prefix[kMaxCodes], length[kMaxCodes];
  std::uint8_t suffix[kMaxCodes], first[kMaxCodes];
  std::uint8_t text[kMaxCodes + 1];  // one code's string; a string is shorter than the table
  for (int c = 0; c < clear; ++c) {
    suffix[c] = first[c] = static_cast<std::uint8_t>(c);
    length[c] = 1;
  }
  int next = end + 1, width = minCodeSize + 1, previous = -1;
  CodeReader codes(in);
  while (!out.Done()) {
    const int code = codes.Next(width);
    if (code < 0 || code == end) Refuse("image data ends early");
    if (code == clear) {
      next = end + 1;
      width = minCodeSize + 1;
      previous = -1;
      continue;
    }
    // The string of a known code, or for the code about to be added the previous string and
    // its own first index.
    const bool known = code < next;
    if (!known && (code != next || previous < 0)) Refuse("bad LZW code");
    const int base = known ? code : previous;
    const int n = length[base];
    int c = base;
    for (int i = n - 1; i >= 0; --i, c = prefix[c]) text[i] = suffix[c];
    text[n] = first[base];
    out.Put(text, known ? n : n + 1u);
    if (previous >= 0 && next < kMaxCodes) {
      prefix[next] = static_cast<std::uint16_t>(previous);
      suffix[next] = first[base];
      first[next] = first[previous];
      length[next] = static_cast<std::uint16_t>(length[previous] + 1);
      ++next;
    }
    // The next code may be the one about to be added, so codes widen as soon as it needs the
    // bit; checked after the first code of the table too, which adds nothing: with a minimum
    // code size of 1 the table (two indices, clear, end) is full from the start.
    if (next == 1 << width && width < 12) ++width;
    previous = code;
  }
}

// An image descriptor (left, top, width, height, flags) after its 0x2C, its local colour table
// and its LZW data, drawn on a transparent screen; what falls outside the screen is dropped.
Picture ReadImage(Input& in, int screenWidth, int screenHeight, const std::uint32_t* global,
                  int transparent) {
  const int left = in.U16(), top = in.U16(), width = in.U16(), height = in.U16();
  const int flags = in.Byte();
  CheckPictureSize(width, height, "GIF");
  // Indices past the table show black.
  std::uint32_t colors[256];
  for (std::uint32_t& c : colors) c = kOpaque;
  if ((flags & 0x80) != 0) {
    ReadColorTable(in, flags & 7, colors);
  } else if (global != nullptr) {
    std::memcpy(colors, global, sizeof colors);
  } else {
    Refuse("no colour table");
  }
  if (transparent >= 0) colors[transparent] = 0;
  const int minCodeSize = in.Byte();
  if (minCodeSize < 1 || minCodeSize > 8) Refuse("bad LZW code size");
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (MostIndices(in.remaining() * 8 / (minCodeSize + 1)) < pixels) Refuse("truncated");
  std::vector<std::uint8_t> frame(pixels);
  FrameWriter out(frame, width, height, (flags & 0x40) != 0);
  DecodeLzw(in, minCodeSize, out);

  // The screen takes memory only for a frame read whole.
  Picture screen = NewPicture(screenWidth, screenHeight, 0);
  const int shownWidth = std::min(width, std::max(screenWidth - left, 0));
  const int shownHeight = std::min(height, std::max(screenHeight - top, 0));
  for (int y = 0; shownWidth > 0 && y < shownHeight; ++y) {
    const std::uint8_t* src = &frame[static_cast<std::size_t>(y) * width];
    std::uint32_t* dst = &screen.pixels[static_cast<std::size_t>(top + y) * screenWidth + left];
    for (int x = 0; x < shownWidth; ++x) dst[x] = colors[src[x]];
  }
  return screen;
}

}  // namespace

// The header ("GIF87a" or "GIF89a"), the logical screen descriptor (width, height, flags,
// background index, aspect) and its global colour table; then blocks up to the first image:
// extensions (0x21, a label and sub-blocks), of which only the graphic control extension (0xF9)
// matters, for its transparent index. The screen's background colour is not used: what the
// first frame leaves uncovered is transparent.
Picture DecodeGif(const std::uint8_t* data, std::size_t size) {
  Input in(data, size);
  const std::uint8_t* signature = in.Take(6);
  if (std::memcmp(signature, "GIF87a", 6) != 0 && std::memcmp(signature, "GIF89a", 6) != 0)
    Refuse("not a GIF");
  const int screenWidth = in.U16(), screenHeight = in.U16();
  const int flags = in.Byte();
  in.Take(2);
  CheckPictureSize(screenWidth, screenHeight, "GIF");
  std::uint32_t global[256];
  for (std::uint32_t& c : global) c = kOpaque;
  if ((flags & 0x80) != 0) ReadColorTable(in, flags & 7, global);
  int transparent = -1;
  for (;;) {
    switch (in.Byte()) {
      case 0x21:
        if (in.Byte() == 0xF9) {
          // Flags, delay (2 bytes), transparent index; bit 0 of the flags says whether it counts.
          const std::uint8_t n = in.Byte();
          if (n == 0) break;  // no sub-block at all
          const std::uint8_t* block = in.Take(n);
          if (n >= 4) transparent = (block[0] & 1) != 0 ? block[3] : -1;
        }
        in.SkipSubBlocks();
        break;
      case 0x2C:
        return ReadImage(in, screenWidth, screenHeight, (flags & 0x80) != 0 ? global : nullptr, transparent);
      case 0x3B: Refuse("no image");
      default: Refuse("bad block");
    }
  }
}

}  // namespace sorel
