#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "BmpLayout.h"

namespace azuz::bmp {

// Whether the file holds every uncompressed row; checked before the picture is allocated.
bool RowsPresent(std::span<const std::uint8_t> bytes, const BmpLayout& layout, std::string& why);

// Uncompressed rows: palette indices, 16/24/32-bit colour or bit fields. `picture` has its size
// and pixel storage already.
bool DecodeBmpRows(std::span<const std::uint8_t> bytes, const BmpLayout& layout, Picture& picture,
                   std::string& why);

}  // namespace azuz::bmp
