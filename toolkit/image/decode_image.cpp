// The decoder chosen by the file's first bytes.
#include <cstring>

#include "toolkit/image/picture.h"

namespace sorel {

Picture DecodeImage(const std::uint8_t* data, std::size_t size) {
  auto starts = [&](const char* signature, std::size_t n) {
    return size >= n && std::memcmp(data, signature, n) == 0;
  };
  if (starts("BM", 2)) return DecodeBmp(data, size);
  if (starts("GIF87a", 6) || starts("GIF89a", 6)) return DecodeGif(data, size);
  if (starts("\xFF\xD8\xFF", 3)) return DecodeJpeg(data, size);
  throw ImageError("not a BMP, GIF or JPEG picture");
}

}  // namespace sorel
