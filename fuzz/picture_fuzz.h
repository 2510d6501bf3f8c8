// What every picture decoder's fuzz target checks: arbitrary bytes give ImageError or a picture
// that holds exactly its width times its height of pixels, within the limits. Anything else aborts.
#pragma once
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "toolkit/image/picture.h"

namespace sorel {

inline int FuzzDecoder(Picture (*decode)(const std::uint8_t*, std::size_t), const std::uint8_t* data,
                       std::size_t size) {
  try {
    const Picture p = decode(data, size);
    if (p.width <= 0 || p.height <= 0 || p.width > kMaxImageSide || p.height > kMaxImageSide ||
        p.pixels.size() != static_cast<std::size_t>(p.width) * static_cast<std::size_t>(p.height)) {
      std::fprintf(stderr, "picture broken: %d x %d with %zu pixels\n", p.width, p.height, p.pixels.size());
      std::abort();
    }
  } catch (const ImageError&) {
  }
  return 0;
}

}  // namespace sorel
