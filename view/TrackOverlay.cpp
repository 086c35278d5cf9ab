#include "TrackOverlay.h"

#include <QPainter>
#include <algorithm>

#include "EllipseRows.h"
#include "RulerPainter.h"

namespace azuz {

namespace {

__extension__ typedef __int128 Wide;

// A cosmetic dotted pen runs three dots on, three off, continuing around corners.
bool Inverted(std::int64_t pathIndex) {
  return (pathIndex / 3) % 2 == 0;
}

struct Box {
  std::int64_t left;
  std::int64_t top;
  std::int64_t right;
  std::int64_t bottom;
};

Box Normalised(const TrackOutline& o) {
  return {std::min(o.left, o.right), std::min(o.top, o.bottom), std::max(o.left, o.right),
          std::max(o.top, o.bottom)};
}

Box ClipBox(const QRect& clip) {
  return {clip.left(), clip.top(), std::int64_t{clip.right()} + 1, std::int64_t{clip.bottom()} + 1};
}

bool Holds(const Box& b, std::int64_t x, std::int64_t y) {
  return x >= b.left && x < b.right && y >= b.top && y < b.bottom;
}

// [l, r) x [t, b) cut to the clip, as a QRect (empty when nothing is left).
QRect CutTo(const Box& clip, std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
  l = std::max(l, clip.left);
  t = std::max(t, clip.top);
  r = std::min(r, clip.right);
  b = std::min(b, clip.bottom);
  if (l >= r || t >= b) {
    return {};
  }
  return {static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
          static_cast<int>(b - t)};
}

// The dots of a row (horizontal) or column run from `from` to `to` inclusive, visited only
// where they lie in the clip; `index` gives each dot's place along the outline.
template <typename Index>
void Run(std::vector<QPoint>& dots, const Box& clip, bool horizontal, std::int64_t fixed,
         std::int64_t from, std::int64_t to, Index index) {
  const std::int64_t low = horizontal ? clip.left : clip.top;
  const std::int64_t high = horizontal ? clip.right : clip.bottom;
  const bool fixedVisible = horizontal ? (fixed >= clip.top && fixed < clip.bottom)
                                       : (fixed >= clip.left && fixed < clip.right);
  if (!fixedVisible) {
    return;
  }
  for (std::int64_t v = std::max(from, low); v <= std::min(to, high - 1); ++v) {
    if (Inverted(index(v))) {
      dots.emplace_back(static_cast<int>(horizontal ? v : fixed),
                        static_cast<int>(horizontal ? fixed : v));
    }
  }
}

void RectangleDots(std::vector<QPoint>& dots, const Box& b, const Box& clip) {
  const std::int64_t w = b.right - b.left;
  const std::int64_t h = b.bottom - b.top;
  if (w == 0 || h == 0) {
    return;
  }
  const std::int64_t l = b.left;
  const std::int64_t t = b.top;
  const std::int64_t r = b.right - 1;  // last column and row drawn
  const std::int64_t bm = b.bottom - 1;
  if (h == 1) {
    Run(dots, clip, true, t, l, r, [&](std::int64_t x) { return x - l; });
    return;
  }
  if (w == 1) {
    Run(dots, clip, false, l, t, bm, [&](std::int64_t y) { return y - t; });
    return;
  }
  // Clockwise from the top-left corner, each dot once.
  Run(dots, clip, true, t, l, r, [&](std::int64_t x) { return x - l; });
  Run(dots, clip, false, r, t + 1, bm, [&](std::int64_t y) { return (w - 1) + (y - t); });
  Run(dots, clip, true, bm, l, r - 1, [&](std::int64_t x) { return (w - 1) + (h - 1) + (r - x); });
  Run(dots, clip, false, l, t + 1, bm - 1,
      [&](std::int64_t y) { return 2 * (w - 1) + (h - 1) + (bm - y); });
}

Wide FloorDiv(Wide a, Wide b) {  // b > 0
  const Wide q = a / b;
  return (a % b != 0 && a < 0) ? q - 1 : q;
}

// Steps along the major axis, the minor coordinate rounded to nearest with halves to the
// smaller one; only the steps whose major coordinate lies in the clip are visited.
void LineDots(std::vector<QPoint>& dots, const TrackOutline& o, const Box& clip) {
  const std::int64_t dx = o.right - o.left;
  const std::int64_t dy = o.bottom - o.top;
  if (dx == 0 && dy == 0) {
    return;
  }
  const bool xMajor = (dx < 0 ? -dx : dx) >= (dy < 0 ? -dy : dy);
  const std::int64_t majorStart = xMajor ? o.left : o.top;
  const std::int64_t minorStart = xMajor ? o.top : o.left;
  const std::int64_t majorDelta = xMajor ? dx : dy;
  const std::int64_t minorDelta = xMajor ? dy : dx;
  const std::int64_t n = majorDelta < 0 ? -majorDelta : majorDelta;
  const std::int64_t step = majorDelta < 0 ? -1 : 1;
  const std::int64_t low = xMajor ? clip.left : clip.top;
  const std::int64_t high = xMajor ? clip.right : clip.bottom;
  std::int64_t first = step > 0 ? low - majorStart : majorStart - high + 1;
  std::int64_t end = step > 0 ? high - majorStart : majorStart - low + 1;
  first = std::max<std::int64_t>(first, 0);
  end = std::min(end, n);
  for (std::int64_t k = first; k < end; ++k) {
    if (!Inverted(k)) {
      continue;
    }
    // ceil(k * minorDelta / n - 1/2)
    const Wide twice = Wide{2} * k * minorDelta - n;
    const auto minor = static_cast<std::int64_t>(minorStart - FloorDiv(-twice, Wide{2} * n));
    const std::int64_t major = majorStart + k * step;
    const std::int64_t x = xMajor ? major : minor;
    const std::int64_t y = xMajor ? minor : major;
    if (Holds(clip, x, y)) {
      dots.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
  }
}

void EllipseDots(std::vector<QPoint>& dots, const Box& b, const Box& clip) {
  const std::int64_t w = b.right - b.left;
  const std::int64_t h = b.bottom - b.top;
  // Slivers have no curve, and boxes far larger than any screen no exact one: their box is
  // tracked instead.
  if (w < 2 || h < 2 || w > kExactEllipseSide || h > kExactEllipseSide) {
    RectangleDots(dots, b, clip);
    return;
  }
  if (b.left >= clip.right || b.right <= clip.left || b.top >= clip.bottom ||
      b.bottom <= clip.top) {
    return;
  }
  const std::vector<OutlinePoint> points = EllipseOutlinePoints(w, h);
  const std::size_t before = dots.size();
  for (std::size_t k = 0; k < points.size(); ++k) {
    const std::int64_t x = b.left + points[k].x;
    const std::int64_t y = b.top + points[k].y;
    if (Inverted(static_cast<std::int64_t>(k)) && Holds(clip, x, y)) {
      dots.emplace_back(static_cast<int>(x), static_cast<int>(y));
    }
  }
  // A narrow ellipse passes some dots twice; each is inverted once.
  auto less = [](const QPoint& a, const QPoint& c) {
    return a.y() != c.y() ? a.y() < c.y() : a.x() < c.x();
  };
  std::sort(dots.begin() + static_cast<std::ptrdiff_t>(before), dots.end(), less);
  dots.erase(std::unique(dots.begin() + static_cast<std::ptrdiff_t>(before), dots.end()),
             dots.end());
}

}  // namespace

TrackOutline OutlineOf(const DrawObject& object) {
  TrackOutline outline;
  if (object.Is(ObjectKind::Line)) {
    outline.shape = TrackOutline::Shape::Line;
  } else if (object.Is(ObjectKind::Ellipse)) {
    outline.shape = TrackOutline::Shape::Ellipse;
  }
  outline.left = std::int64_t{object.left} + kPageOffset;
  outline.top = std::int64_t{object.top} + kPageOffset;
  outline.right = std::int64_t{object.right} + kPageOffset;
  outline.bottom = std::int64_t{object.bottom} + kPageOffset;
  return outline;
}

std::vector<QPoint> OutlineDots(const TrackOutline& outline, const QRect& clip) {
  std::vector<QPoint> dots;
  if (clip.isEmpty()) {
    return dots;
  }
  const Box c = ClipBox(clip);
  switch (outline.shape) {
    case TrackOutline::Shape::Line:
      LineDots(dots, outline, c);
      break;
    case TrackOutline::Shape::Ellipse:
      EllipseDots(dots, Normalised(outline), c);
      break;
    case TrackOutline::Shape::Rectangle:
      RectangleDots(dots, Normalised(outline), c);
      break;
  }
  return dots;
}

QRegion OutlineRegion(const TrackOutline& outline, const QRect& clip) {
  const Box c = ClipBox(clip);
  const Box b = Normalised(outline);
  if (outline.shape != TrackOutline::Shape::Rectangle) {
    // A line's box includes the end point, which is never drawn; harmless.
    return CutTo(c, b.left, b.top, b.right + 1, b.bottom + 1);
  }
  // Only the four sides of a rectangle change, so a large one costs no more than a small one.
  QRegion region;
  region += CutTo(c, b.left, b.top, b.right, b.top + 1);
  region += CutTo(c, b.left, b.bottom - 1, b.right, b.bottom);
  region += CutTo(c, b.left, b.top, b.left + 1, b.bottom);
  region += CutTo(c, b.right - 1, b.top, b.right, b.bottom);
  return region;
}

QRegion TrackOverlay::Toggle(const TrackOutline& outline, const QRect& client) {
  const auto it = std::find(outlines_.begin(), outlines_.end(), outline);
  if (it != outlines_.end()) {
    outlines_.erase(it);
  } else {
    outlines_.push_back(outline);
  }
  return OutlineRegion(outline, client);
}

QRegion TrackOverlay::Clear(const QRect& client) {
  QRegion region;
  for (const TrackOutline& outline : outlines_) {
    region += OutlineRegion(outline, client);
  }
  outlines_.clear();
  return region;
}

void TrackOverlay::Paint(QPainter& painter, const QRect& clip) const {
  if (outlines_.empty()) {
    return;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
  painter.setPen(QPen(Qt::white, 1));
  for (const TrackOutline& outline : outlines_) {
    const std::vector<QPoint> dots = OutlineDots(outline, clip);
    if (!dots.empty()) {
      painter.drawPoints(dots.data(), static_cast<int>(dots.size()));
    }
  }
  painter.restore();
}

}  // namespace azuz
