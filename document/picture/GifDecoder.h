#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "Picture.h"

namespace azuz {

// GIF: the first image alone at its own size, transparent pixels white. `why`, when given,
// receives the reason there is no picture.
// `pixelBudget` is what the picture may take of its design's budget (Picture.h).
std::optional<Picture> DecodeGif(std::span<const std::uint8_t> bytes, std::string* why = nullptr,
                                 std::int64_t pixelBudget = kDesignPicturePixels);

}  // namespace azuz
