#pragma once

#include <cstdint>
#include <vector>

#include "Canvas.h"

namespace azuz {

// The printer's one-bit image: 9-byte header, then ceil(W/8) bytes per row, top row first.
using WatermarkImage = std::vector<std::uint8_t>;

// Packs the canvas: a dot prints unless its red, green and blue are all 255; the leftmost dot
// of a row is the top bit of its first byte, and bits past the last dot stay 0. The header is
// 00 08 'W' 'D' 01, the padded width and the height as 16-bit little-endian. May throw
// std::bad_alloc; no partial image is returned.
WatermarkImage PackCanvas(const Canvas& canvas);

}  // namespace azuz
