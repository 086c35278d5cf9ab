#include "Shapes.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "ClippedPainter.h"
#include "EllipseRows.h"
#include "WidePen.h"

namespace azuz {

namespace {

// Row visits allowed for painting a wide outline dot by dot. Only pens hundreds of dots wide
// on ellipses much larger than a page come near it; past it the ring between the outer and
// inner ellipse stands in for the outline.
constexpr std::int64_t kOutlineRowBudget = std::int64_t{1} << 21;

constexpr std::int64_t kNone = std::numeric_limits<std::int64_t>::min();

void FillRows(ClippedPainter& painter, const EllipseRows& rows, std::int64_t left, std::int64_t top,
              std::uint32_t pixel) {
  const std::int64_t from = std::max(top, painter.Top());
  const std::int64_t to = std::min(top + rows.Height(), painter.Bottom());
  for (std::int64_t y = from; y < to; ++y) {
    const std::int64_t inset = rows.Inset(y - top);
    if (inset >= 0) {
      painter.Span(y, left + inset, left + rows.Width() - inset, pixel);
    }
  }
}

void ThinOutline(ClippedPainter& painter, const std::vector<OutlinePoint>& points,
                 std::int64_t left, std::int64_t top, std::uint32_t pixel) {
  for (const OutlinePoint& p : points) {
    painter.Dot(left + p.x, top + p.y, pixel);
  }
}

// Returns false, painting nothing, when the outline would cost more than the budget.
bool WideOutline(ClippedPainter& painter, const std::vector<OutlinePoint>& points,
                 std::int64_t left, std::int64_t top, const WidePen& pen, std::uint32_t pixel) {
  const std::int64_t w = pen.Width();
  // A slanted segment's corners may stand a dot or two beyond its end dots' boxes.
  auto touches = [&](const OutlinePoint& p, std::int64_t margin = 0) {
    const std::int64_t x = left + p.x + pen.RowsFrom() - margin;
    const std::int64_t y = top + p.y + pen.RowsFrom() - margin;
    return painter.Touches(x, y, x + w + 2 * margin, y + w + 2 * margin);
  };
  const std::int64_t rowsPerDot = std::min(w, painter.Bottom() - painter.Top());
  std::int64_t cost = 0;
  for (const OutlinePoint& p : points) {
    if (touches(p)) {
      cost += 2 * rowsPerDot;  // its dot and the segment to the next point
      if (cost > kOutlineRowBudget) {
        return false;
      }
    }
  }
  const std::size_t n = points.size();
  for (std::size_t i = 0; i < n; ++i) {
    const OutlinePoint& p = points[i];
    const OutlinePoint& next = points[(i + 1) % n];
    const std::int64_t x = left + p.x;
    const std::int64_t y = top + p.y;
    if (touches(p)) {
      if (i == 0) {
        pen.Dot(painter, x, y, pixel);
      } else {
        const OutlinePoint& prev = points[i - 1];
        pen.DotAfter(painter, left + prev.x, top + prev.y, x, y, pixel);
      }
    }
    if (touches(p, 2) || touches(next, 2)) {
      pen.Segment(painter, x, y, left + next.x, top + next.y, pixel);
    }
  }
  return true;
}

// The outline of an ideal (far larger than any page) ellipse one dot wide: the dots of each
// row's span that its neighbouring rows' spans do not reach, so that it stays 8-connected.
void IdealThinOutline(ClippedPainter& painter, const EllipseRows& rows, std::int64_t left,
                      std::int64_t top, std::uint32_t pixel) {
  auto span = [&rows](std::int64_t i, std::int64_t& s, std::int64_t& e) {
    const std::int64_t inset = rows.Inset(i);
    if (inset < 0) {
      return false;
    }
    s = inset;
    e = rows.Width() - 1 - inset;
    return true;
  };
  const std::int64_t from = std::max(top, painter.Top());
  const std::int64_t to = std::min(top + rows.Height(), painter.Bottom());
  for (std::int64_t y = from; y < to; ++y) {
    const std::int64_t i = y - top;
    std::int64_t s = 0;
    std::int64_t e = 0;
    if (!span(i, s, e)) {
      continue;
    }
    // The narrower neighbour's ends: this row reaches them diagonally.
    std::int64_t reachS = kNone;
    std::int64_t reachE = std::numeric_limits<std::int64_t>::max();
    bool edgeRow = false;
    for (const std::int64_t n : {i - 1, i + 1}) {
      std::int64_t ns = 0;
      std::int64_t ne = 0;
      if (!span(n, ns, ne)) {
        edgeRow = true;
        break;
      }
      reachS = std::max(reachS, ns);
      reachE = std::min(reachE, ne);
    }
    if (edgeRow) {
      painter.Span(y, left + s, left + e + 1, pixel);
      continue;
    }
    painter.Span(y, left + s, left + std::max(s + 1, std::min(e + 1, reachS)), pixel);
    painter.Span(y, left + std::min(e, std::max(s, reachE + 1)), left + e + 1, pixel);
  }
}

// Stand-in for outlines too costly to paint dot by dot: the ring between the ellipse of the
// box and the one w dots further in, over a fill that already covers the inner one.
void RingOutline(ClippedPainter& painter, const Box& box, std::int64_t w, std::uint32_t pixel) {
  const EllipseRows outer(box.Width(), box.Height());
  const std::int64_t innerW = box.Width() - 2 * w;
  const std::int64_t innerH = box.Height() - 2 * w;
  const bool hole = innerW >= 2 && innerH >= 2;
  const EllipseRows inner(hole ? innerW : 2, hole ? innerH : 2);
  const std::int64_t from = std::max(box.top, painter.Top());
  const std::int64_t to = std::min(box.bottom, painter.Bottom());
  for (std::int64_t y = from; y < to; ++y) {
    const std::int64_t inset = outer.Inset(y - box.top);
    if (inset < 0) {
      continue;
    }
    const std::int64_t lo = box.left + inset;
    const std::int64_t hi = box.right - inset;
    const std::int64_t innerInset = hole ? inner.Inset(y - box.top - w) : -1;
    if (innerInset < 0) {
      painter.Span(y, lo, hi, pixel);
      continue;
    }
    painter.Span(y, lo, box.left + w + innerInset, pixel);
    painter.Span(y, box.left + w + innerW - innerInset, hi, pixel);
  }
}

}  // namespace

void DrawEllipse(Canvas& canvas, const Box& box, const ShapeStyle& style) {
  const std::int64_t width = box.Width();
  const std::int64_t height = box.Height();
  if (width <= 0 || height <= 0) {
    return;
  }
  std::int64_t left = box.left;
  std::int64_t top = box.top;
  std::int64_t ew = 0;
  std::int64_t eh = 0;
  const std::int64_t w = style.penWidth;
  if (style.hasPen) {
    // The pen's centre line runs on the box shrunk as for rectangles; a 1-dot pen uses the box.
    left = box.left + w / 2;
    top = box.top + w / 2;
    ew = box.right - (w - 1) / 2 - left;
    eh = box.bottom - (w - 1) / 2 - top;
  } else {
    // Without a pen, one dot narrower and shorter than the box.
    if (width == 1 || height == 1) {
      return;
    }
    ew = width - 1;
    eh = height - 1;
  }
  if (ew <= 2 || eh <= 2) {
    if (style.hasPen) {
      DrawRectangle(canvas, box, style);
    } else {
      DrawRectangle(canvas, {box.left, box.top, box.right - 1, box.bottom - 1}, style);
    }
    return;
  }
  ClippedPainter painter(canvas);
  painter.Narrow(box.left, box.top, box.right, box.bottom);
  if (painter.Empty()) {
    return;
  }
  const EllipseRows rows(ew, eh);
  if (style.hasFill) {
    FillRows(painter, rows, left, top, style.fill);
  }
  if (!style.hasPen) {
    return;
  }
  if (!rows.Exact()) {
    if (w == 1) {
      IdealThinOutline(painter, rows, left, top, style.pen);
    } else {
      RingOutline(painter, box, w, style.pen);
    }
    return;
  }
  const std::vector<OutlinePoint> points = EllipseOutlinePoints(ew, eh);
  if (w == 1) {
    ThinOutline(painter, points, left, top, style.pen);
  } else if (!WideOutline(painter, points, left, top, WidePen(w), style.pen)) {
    RingOutline(painter, box, w, style.pen);
  }
}

}  // namespace azuz
