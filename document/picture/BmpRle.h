#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "BmpLayout.h"

namespace azuz::bmp {

// RLE8, RLE4 and the OS/2 RLE24. Pixels the codes skip stay as they are (white).
bool DecodeBmpRle(std::span<const std::uint8_t> bytes, const BmpLayout& layout, Picture& picture,
                  std::string& why);

}  // namespace azuz::bmp
