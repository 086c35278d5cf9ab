#pragma once

#include <array>
#include <cstdint>

#include "Canvas.h"
#include "Colour.h"
#include "TextLayout.h"

namespace azuz {

// Blends one dot of text at grey level 0-16 over `pixel` (0xFFRRGGBB): levels 0 and 1 leave
// it, 16 writes the colour, the others mix by the text output's fixed ramp.
std::uint32_t BlendTextDot(std::uint32_t pixel, int level, Colour colour);

// Blends a block of grey levels (`stride` levels per row) with its top-left dot at (x, y);
// dots off the canvas are skipped.
void BlendLevels(Canvas& canvas, std::int64_t x, std::int64_t y, const std::uint8_t* levels,
                 int width, int height, std::size_t stride, Colour colour);

// Fills the quadrilateral solid, row by row: each whole y between the corners' extremes,
// edges covering [ymin, ymax), spans [ceil(xa), ceil(xb)).
void FillQuadrilateral(Canvas& canvas, const std::array<TextPoint, 4>& corners,
                       std::uint32_t pixel);

}  // namespace azuz
