#pragma once

#include <cstdint>
#include <optional>

#include "Picture.h"

// A picture that decodes is whole: an allowed size, every pixel present and opaque. Traps
// otherwise, so the fuzzer reports the input.
inline int CheckDecodedPicture(const std::optional<azuz::Picture>& picture) {
  if (!picture) {
    return 0;
  }
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
