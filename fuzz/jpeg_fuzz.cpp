// Fuzz target: the JPEG decoder (libjpeg behind our error handling) over arbitrary bytes.
#include "fuzz/picture_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return sorel::FuzzDecoder(sorel::DecodeJpeg, data, size);
}
