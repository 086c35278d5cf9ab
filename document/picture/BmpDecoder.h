#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "Picture.h"

namespace azuz {

// BMP: 1/4/8/16/24/32 bits per pixel, RLE4, RLE8, bit fields, OS/2 core headers, top-down
// rows. `why`, when given, receives the reason there is no picture.
// `pixelBudget` is what the picture may take of its design's budget (Picture.h).
std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> bytes, std::string* why = nullptr,
                                 std::int64_t pixelBudget = kDesignPicturePixels);

}  // namespace azuz
