#include "Shapes.h"

#include "ClippedPainter.h"
#include "ThinLine.h"
#include "WidePen.h"

namespace azuz {

void DrawLine(Canvas& canvas, std::int64_t x1, std::int64_t y1, std::int64_t x2, std::int64_t y2,
              const ShapeStyle& style) {
  if (!style.hasPen) {
    return;
  }
  ClippedPainter painter(canvas);
  if (style.penWidth == 1) {
    DrawThinLine(painter, x1, y1, x2, y2, style.pen);
    return;
  }
  // Round caps on both ends, so a wide line covers its end point and looks the same drawn
  // either way; the inside-frame style has no effect on lines.
  const WidePen pen(style.penWidth);
  pen.Dot(painter, x1, y1, style.pen);
  pen.DotAfter(painter, x1, y1, x2, y2, style.pen);
  pen.Segment(painter, x1, y1, x2, y2, style.pen);
}

}  // namespace azuz
