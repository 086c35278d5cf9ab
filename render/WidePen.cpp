// Built with -ffp-contract=off: the corners of a slanted segment depend on the last bit of
// the double arithmetic.
#include "WidePen.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace azuz {

namespace {

__extension__ typedef __int128 Wide;

struct Corner {
  std::int64_t x;
  std::int64_t y;
};

double RoundHalf(double v) {
  return v > 0 ? std::floor(v + 0.5) : 0.0;
}

// ceil(n / d) for d > 0.
Wide CeilDiv(Wide n, Wide d) {
  Wide q = n / d;
  if (n % d != 0 && n > 0) {
    ++q;
  }
  return q;
}

}  // namespace

WidePen::WidePen(std::int64_t width) : width_(width), rows_(width, width) {}

bool WidePen::RowSpan(std::int64_t dy, std::int64_t& lo, std::int64_t& hi) const {
  const std::int64_t inset = rows_.Inset(dy - RowsFrom());
  if (inset < 0) {
    return false;
  }
  lo = RowsFrom() + inset;
  hi = RowsFrom() + width_ - inset;
  return true;
}

void WidePen::Dot(ClippedPainter& painter, std::int64_t x, std::int64_t y,
                  std::uint32_t pixel) const {
  const std::int64_t from = std::max(y + RowsFrom(), painter.Top());
  const std::int64_t to = std::min(y + RowsFrom() + width_, painter.Bottom());
  for (std::int64_t row = from; row < to; ++row) {
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    if (RowSpan(row - y, lo, hi)) {
      painter.Span(row, x + lo, x + hi, pixel);
    }
  }
}

void WidePen::DotAfter(ClippedPainter& painter, std::int64_t px, std::int64_t py, std::int64_t x,
                       std::int64_t y, std::uint32_t pixel) const {
  const std::int64_t from = std::max(y + RowsFrom(), painter.Top());
  const std::int64_t to = std::min(y + RowsFrom() + width_, painter.Bottom());
  for (std::int64_t row = from; row < to; ++row) {
    std::int64_t lo = 0;
    std::int64_t hi = 0;
    if (!RowSpan(row - y, lo, hi)) {
      continue;
    }
    lo += x;
    hi += x;
    std::int64_t plo = 0;
    std::int64_t phi = 0;
    const std::int64_t pdy = row - py;
    if (pdy < RowsFrom() || pdy >= RowsFrom() + width_ || !RowSpan(pdy, plo, phi)) {
      painter.Span(row, lo, hi, pixel);
      continue;
    }
    plo += px;
    phi += px;
    painter.Span(row, lo, std::min(hi, plo), pixel);
    painter.Span(row, std::max(lo, phi), hi, pixel);
  }
}

void WidePen::Segment(ClippedPainter& painter, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                      std::int64_t y2, std::uint32_t pixel) const {
  if (y1 == y2) {
    const std::int64_t top = y1 - width_ / 2;
    painter.Rect(std::min(x1, x2), top, std::max(x1, x2), top + width_, pixel);
  } else if (x1 == x2) {
    const std::int64_t left = x1 - width_ / 2;
    painter.Rect(left, std::min(y1, y2), left + width_, std::max(y1, y2), pixel);
  } else {
    Quadrilateral(painter, x1, y1, x2, y2, pixel);
  }
}

void WidePen::Quadrilateral(ClippedPainter& painter, std::int64_t x1, std::int64_t y1,
                            std::int64_t x2, std::int64_t y2, std::uint32_t pixel) const {
  const std::int64_t dx = x2 - x1;
  const std::int64_t dy = y2 - y1;
  const double len = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
  const double wx = static_cast<double>(width_ * (dy < 0 ? -dy : dy)) / len;
  const double wy = static_cast<double>(width_ * (dx < 0 ? -dx : dx)) / len;
  auto nx = static_cast<std::int64_t>(RoundHalf(wx / 2));
  auto ny = static_cast<std::int64_t>(RoundHalf(wy / 2));
  auto mx = static_cast<std::int64_t>(RoundHalf((wx + 1) / 2));
  auto my = static_cast<std::int64_t>(RoundHalf((wy + 1) / 2));
  if (dx < 0) {
    ny = -ny;
    my = -my;
  }
  if (dy < 0) {
    std::swap(nx, mx);
    std::swap(ny, my);
    nx = -nx;
    mx = -mx;
  }
  const std::array<Corner, 4> c = {Corner{x1 - nx, y1 + ny}, Corner{x1 + mx, y1 - my},
                                   Corner{x2 + mx, y2 - my}, Corner{x2 - nx, y2 + ny}};

  std::int64_t minY = c[0].y;
  std::int64_t maxY = c[0].y;
  std::int64_t minX = c[0].x;
  std::int64_t maxX = c[0].x;
  for (const Corner& k : c) {
    minY = std::min(minY, k.y);
    maxY = std::max(maxY, k.y);
    minX = std::min(minX, k.x);
    maxX = std::max(maxX, k.x);
  }
  if (!painter.Touches(minX, minY, maxX + 1, maxY)) {
    return;
  }
  // Even-odd rows of the polygon c3-c0-c1-c2-c3: an edge is active on top.y <= y < bottom.y and
  // crosses at the exact ceiling of its x there; the left crossing's dot is in, the right's out.
  const std::int64_t from = std::max(minY, painter.Top());
  const std::int64_t to = std::min(maxY, painter.Bottom());
  for (std::int64_t y = from; y < to; ++y) {
    std::array<std::int64_t, 4> cross{};
    std::size_t count = 0;
    for (std::size_t e = 0; e < 4; ++e) {
      const Corner& p = c[(e + 3) % 4];
      const Corner& q = c[e];
      if (p.y == q.y) {
        continue;
      }
      const Corner& top = p.y < q.y ? p : q;
      const Corner& bottom = p.y < q.y ? q : p;
      if (y < top.y || y >= bottom.y) {
        continue;
      }
      cross[count++] = top.x + static_cast<std::int64_t>(CeilDiv(
                                   Wide{y - top.y} * (bottom.x - top.x), Wide{bottom.y - top.y}));
    }
    for (std::size_t i = 1; i < count; ++i) {
      for (std::size_t j = i; j > 0 && cross[j - 1] > cross[j]; --j) {
        std::swap(cross[j - 1], cross[j]);
      }
    }
    for (std::size_t i = 0; i + 1 < count; i += 2) {
      painter.Span(y, cross[i], cross[i + 1], pixel);
    }
  }
}

}  // namespace azuz
