#pragma once

#include <cstdint>

#include "ClippedPainter.h"

namespace azuz {

// A one-dot line from (x1, y1) towards (x2, y2): the start point is drawn, the end point is
// not. The dot of each step of the major axis takes the ideal line's minor coordinate rounded
// to nearest, exact halves to the smaller coordinate, whichever way the line runs. Only the
// steps that land in the painter's clip are visited.
void DrawThinLine(ClippedPainter& painter, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                  std::int64_t y2, std::uint32_t pixel);

}  // namespace azuz
