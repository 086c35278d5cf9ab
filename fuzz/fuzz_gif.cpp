#include <cstdint>
#include <span>

#include "GifDecoder.h"
#include "PictureInvariants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  return CheckDecodedPicture(azuz::DecodeGif({data, size}));
}
