#include <cstdint>
#include <span>

#include "JpegDecoder.h"
#include "PictureInvariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return CheckDecodedPicture(azuz::DecodeJpeg({data, size}));
}
