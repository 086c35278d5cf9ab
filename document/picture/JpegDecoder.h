#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "Picture.h"

namespace azuz {

// JPEG through libjpeg; CMYK and YCCK files are converted to RGB. `why`, when given, receives
// the reason there is no picture.
// `pixelBudget` is what the picture may take of its design's budget (Picture.h).
std::optional<Picture> DecodeJpeg(std::span<const std::uint8_t> bytes, std::string* why = nullptr,
                                  std::int64_t pixelBudget = kDesignPicturePixels);

}  // namespace azuz
