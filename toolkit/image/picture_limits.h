// What the decoders share: the size check made before a picture takes memory, and little-endian
// reads from a range the caller has already checked.
#pragma once
#include <cstdint>
#include <string>

#include "toolkit/image/picture.h"

namespace sorel {

// Refuses sides that are not positive or larger than the limits; 64-bit so that no product of two
// file fields can wrap.
inline void CheckPictureSize(std::int64_t width, std::int64_t height, const char* format) {
  if (width <= 0 || height <= 0) throw ImageError(std::string(format) + ": empty picture");
  if (width > kMaxImageSide || height > kMaxImageSide ||
      static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height) > kMaxImagePixels)
    throw ImageError(std::string(format) + ": picture too large");
}

// The picture after CheckPictureSize, every pixel set to fill.
inline Picture NewPicture(int width, int height, std::uint32_t fill) {
  Picture picture;
  picture.width = width;
  picture.height = height;
  picture.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill);
  return picture;
}

inline std::uint16_t Le16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }
inline std::uint32_t Le32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace sorel
