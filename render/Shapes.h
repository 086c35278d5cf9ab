#pragma once

#include <cstdint>

#include "Canvas.h"
#include "DrawObject.h"

namespace azuz {

// An object's rectangle with its edges sorted; right and bottom exclusive. 64-bit, so that
// widths of edges at opposite ends of the 32-bit range do not overflow.
struct Box {
  std::int64_t left;
  std::int64_t top;
  std::int64_t right;
  std::int64_t bottom;
  std::int64_t Width() const { return right - left; }
  std::int64_t Height() const { return bottom - top; }
};
Box NormalisedBox(const DrawObject& object);

// The outline pen and fill brush of a shape, resolved to canvas pixels.
struct ShapeStyle {
  bool hasPen = false;
  std::int64_t penWidth = 1;  // >= 1: the absolute width, 0 counting as 1
  std::uint32_t pen = 0;
  bool hasFill = false;
  std::uint32_t fill = 0;
};
ShapeStyle StyleOf(const DrawObject& object);

// A line from (x1, y1) to (x2, y2) with the outline pen; nothing without one.
void DrawLine(Canvas& canvas, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
              const ShapeStyle& style);
// Outlines keep every dot inside the box; without a pen the fill is one dot narrower and
// shorter than the box.
void DrawRectangle(Canvas& canvas, const Box& box, const ShapeStyle& style);
void DrawEllipse(Canvas& canvas, const Box& box, const ShapeStyle& style);
// Copies the picture 1:1 with its top-left dot at (left, top) over right - left by
// bottom - top dots (unsorted edges); dots beyond the picture keep what was drawn before.
void DrawPicture(Canvas& canvas, const Picture* picture, std::int64_t left, std::int64_t top,
                 std::int64_t right, std::int64_t bottom);
// A solid fill of an unsorted rectangle as the Windows FillRect covers it: a reversed side
// covers [right + 1, left + 1).
void FillReversible(Canvas& canvas, std::int64_t left, std::int64_t top, std::int64_t right,
                    std::int64_t bottom, std::uint32_t pixel);

// Draws one object by its kind, without the fade pass; unknown kinds draw nothing.
void DrawObjectShape(Canvas& canvas, const DrawObject& object);

}  // namespace azuz
