#include <cstdint>
#include <span>

#include "PictureLoader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::optional<azuz::Picture> picture = azuz::DecodeGif({data, size});
  if (!picture) {
    return 0;
  }
  // A picture that decodes is whole: an allowed size, every pixel present and opaque.
  const auto count =
      static_cast<std::size_t>(picture->width) * static_cast<std::size_t>(picture->height);
  if (!azuz::PictureSizeAllowed(picture->width, picture->height) ||
      picture->pixels.size() != count) {
    __builtin_trap();
  }
  for (const std::uint32_t pixel : picture->pixels) {
    if ((pixel >> 24) != 0xFF) {
      __builtin_trap();
    }
  }
  return 0;
}
