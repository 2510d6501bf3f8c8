// Fuzz target: the Windows bitmaps decoder over arbitrary bytes.
#include "fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return sorel::FuzzDecoder(sorel::DecodeBmp, data, size);
}
