#include "Shapes.h"

#include <algorithm>

#include "ClippedPainter.h"
#include "ThinLine.h"
#include "WidePen.h"

namespace azuz {

void DrawRectangle(Canvas& canvas, const Box& box, const ShapeStyle& style) {
  if (box.Width() <= 0 || box.Height() <= 0) {
    return;
  }
  const std::int64_t l = box.left;
  const std::int64_t t = box.top;
  const std::int64_t r = box.right;
  const std::int64_t b = box.bottom;
  ClippedPainter painter(canvas);
  painter.Narrow(l, t, r, b);
  if (painter.Empty()) {
    return;
  }
  if (!style.hasPen) {
    if (style.hasFill) {
      painter.Rect(l, t, r - 1, b - 1, style.fill);
    }
    return;
  }
  const std::int64_t w = style.penWidth;
  if (w == 1) {
    if (style.hasFill) {
      painter.Rect(l + 1, t + 1, r - 1, b - 1, style.fill);
    }
    DrawThinLine(painter, r - 1, t, l, t, style.pen);
    DrawThinLine(painter, l, t, l, b - 1, style.pen);
    DrawThinLine(painter, l, b - 1, r - 1, b - 1, style.pen);
    DrawThinLine(painter, r - 1, b - 1, r - 1, t, style.pen);
    return;
  }
  // Inside frame: the pen's centre line runs w/2 dots in from the left and top edges and
  // (w-1)/2 + 1 in from the right and bottom ones, so each side is w dots thick inside the box.
  const std::int64_t cl = l + w / 2;
  const std::int64_t ct = t + w / 2;
  const std::int64_t cr = r - (w - 1) / 2 - 1;
  const std::int64_t cb = b - (w - 1) / 2 - 1;
  if (style.hasFill) {
    painter.Rect(std::min(cl, cr), std::min(ct, cb), std::max(cl, cr), std::max(ct, cb),
                 style.fill);
  }
  const WidePen pen(w);
  const std::int64_t xs[4] = {cr, cl, cl, cr};
  const std::int64_t ys[4] = {ct, ct, cb, cb};
  for (int i = 0; i < 4; ++i) {
    const int next = (i + 1) % 4;
    pen.Dot(painter, xs[i], ys[i], style.pen);
    pen.Segment(painter, xs[i], ys[i], xs[next], ys[next], style.pen);
  }
}

}  // namespace azuz
