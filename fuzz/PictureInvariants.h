#pragma once

#include <cstdint>
#include <optional>

#include "Picture.h"

// A picture that decodes is whole: an allowed size within the budget, every row stored or
// blank, every stored pixel opaque. Traps otherwise, so the fuzzer reports the input.
inline int CheckDecodedPicture(const std::optional<azuz::Picture>& picture) {
  if (!picture) {
    return 0;
  }
  if (!azuz::PictureSizeAllowed(picture->width, picture->height) || !picture->Consistent() ||
      picture->StoredPixels() > azuz::kDesignPicturePixels) {
    __builtin_trap();
  }
  for (const std::uint32_t pixel : picture->pixels) {
    if ((pixel >> 24) != 0xFF) {
      __builtin_trap();
    }
  }
  return 0;
}
