// Pictures decoded from the files a help page shows: Windows bitmaps, GIF (first frame) and JPEG.
// Every decoder refuses what it cannot read with ImageError and never reads past its input.
#pragma once
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace sorel {

// Rows from top to bottom, each pixel 0xAARRGGBB; alpha 0 is transparent, 255 opaque.
struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // width * height
};

class ImageError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Larger pictures are refused before any memory is taken for them.
constexpr int kMaxImageSide = 8192;
constexpr std::size_t kMaxImagePixels = std::size_t{16} << 20;

// Each scan of a JPEG (a progressive one has several, a refinement of every pixel each) costs
// about the whole picture again, however few bytes it takes: a file of a scan header repeated
// thousands of times would keep the decoder busy for minutes. So a JPEG of more scans than
// kMaxJpegScans (libjpeg's own progressive pictures have 10), or whose scans times its pixels
// exceed kMaxJpegScanPixels (16 scans of the largest picture; every scan allowed up to 2.6 M
// pixels), is refused when its data reach the scan past the bound.
constexpr int kMaxJpegScans = 100;
constexpr std::uint64_t kMaxJpegScanPixels = std::uint64_t{16} * kMaxImagePixels;

Picture DecodeBmp(const std::uint8_t* data, std::size_t size);
Picture DecodeGif(const std::uint8_t* data, std::size_t size);
Picture DecodeJpeg(const std::uint8_t* data, std::size_t size);
// Chooses the decoder by the file's signature ("BM", "GIF87a"/"GIF89a", FF D8 FF).
Picture DecodeImage(const std::uint8_t* data, std::size_t size);

}  // namespace sorel
