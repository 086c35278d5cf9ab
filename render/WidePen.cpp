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
template <typename Int>
Int CeilDiv(Int n, Int d) {
  Int q = n / d;
  if (n % d != 0 && n > 0) {
    ++q;
  }
  return q;
}

// The corners of the body of a slanted segment, as the Windows wide-line code places them.
std::array<Corner, 4> QuadCorners(std::int64_t w, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                                  std::int64_t y2) {
  const std::int64_t dx = x2 - x1;
  const std::int64_t dy = y2 - y1;
  const double len = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
  const double wx = static_cast<double>(w * (dy < 0 ? -dy : dy)) / len;
  const double wy = static_cast<double>(w * (dx < 0 ? -dx : dx)) / len;
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
  return {Corner{x1 - nx, y1 + ny}, Corner{x1 + mx, y1 - my}, Corner{x2 + mx, y2 - my},
          Corner{x2 - nx, y2 + ny}};
}

// Even-odd rows of the polygon c3-c0-c1-c2-c3 within rows [from, to): an edge is active on
// top.y <= y < bottom.y and crosses at the exact ceiling of its x there; the left crossing's
// dot is in, the right one's out. `emit`(y, x0, x1) receives each span.
template <typename Emit>
void QuadSpans(const std::array<Corner, 4>& c, std::int64_t from, std::int64_t to, Emit emit) {
  // Products of edge extents stay within 64 bits unless a corner lies beyond +-2^30.
  bool small = true;
  for (const Corner& k : c) {
    small = small && k.x > -(std::int64_t{1} << 30) && k.x < (std::int64_t{1} << 30) &&
            k.y > -(std::int64_t{1} << 30) && k.y < (std::int64_t{1} << 30);
  }
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
      const std::int64_t step =
          small ? CeilDiv<std::int64_t>((y - top.y) * (bottom.x - top.x), bottom.y - top.y)
                : static_cast<std::int64_t>(
                      CeilDiv<Wide>(Wide{y - top.y} * (bottom.x - top.x), Wide{bottom.y - top.y}));
      cross[count++] = top.x + step;
    }
    for (std::size_t i = 1; i < count; ++i) {
      for (std::size_t j = i; j > 0 && cross[j - 1] > cross[j]; --j) {
        std::swap(cross[j - 1], cross[j]);
      }
    }
    for (std::size_t i = 0; i + 1 < count; i += 2) {
      emit(y, cross[i], cross[i + 1]);
    }
  }
}

}  // namespace

WidePen::WidePen(std::int64_t width) : width_(width), rows_(width, width) {
  if (width_ > kTabledWidth) {
    return;
  }
  dotRows_.resize(static_cast<std::size_t>(width_));
  for (std::int64_t i = 0; i < width_; ++i) {
    const std::int64_t inset = rows_.Inset(i);
    const auto lo = static_cast<std::int32_t>(RowsFrom() + inset);
    dotRows_[static_cast<std::size_t>(i)] = {
        static_cast<std::int32_t>(RowsFrom() + i), lo,
        inset < 0 ? lo : static_cast<std::int32_t>(RowsFrom() + width_ - inset)};
  }
  for (int dy = -1; dy <= 1; ++dy) {
    for (int dx = -1; dx <= 1; ++dx) {
      auto& spans = steps_[static_cast<std::size_t>(dx + 1) + 3 * static_cast<std::size_t>(dy + 1)];
      PaintDifference(
          -dx, -dy, 0, 0, RowsFrom(), RowsFrom() + width_,
          [&spans](std::int64_t row, std::int64_t x0, std::int64_t x1) {
            if (x0 < x1) {
              spans.push_back({static_cast<std::int32_t>(row), static_cast<std::int32_t>(x0),
                               static_cast<std::int32_t>(x1)});
            }
          });
    }
  }
  for (int sx = 0; sx < 2; ++sx) {
    for (int sy = 0; sy < 2; ++sy) {
      const std::array<Corner, 4> c = QuadCorners(width_, 0, 0, sx ? 1 : -1, sy ? 1 : -1);
      std::int64_t minY = c[0].y;
      std::int64_t maxY = c[0].y;
      for (const Corner& k : c) {
        minY = std::min(minY, k.y);
        maxY = std::max(maxY, k.y);
      }
      auto& spans = diagonals_[static_cast<std::size_t>(sx) + 2 * static_cast<std::size_t>(sy)];
      QuadSpans(c, minY, maxY, [&spans](std::int64_t y, std::int64_t x0, std::int64_t x1) {
        spans.push_back({static_cast<std::int32_t>(y), static_cast<std::int32_t>(x0),
                         static_cast<std::int32_t>(x1)});
      });
    }
  }
}

bool WidePen::RowSpan(std::int64_t dy, std::int64_t& lo, std::int64_t& hi) const {
  if (!dotRows_.empty()) {
    const RelativeSpan& row = dotRows_[static_cast<std::size_t>(dy - RowsFrom())];
    lo = row.lo;
    hi = row.hi;
    return lo < hi;
  }
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

void WidePen::PaintDifference(std::int64_t px, std::int64_t py, std::int64_t x, std::int64_t y,
                              std::int64_t from, std::int64_t to, auto emit) const {
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
      emit(row, lo, hi);
      continue;
    }
    plo += px;
    phi += px;
    emit(row, lo, std::min(hi, plo));
    emit(row, std::max(lo, phi), hi);
  }
}

void WidePen::DotAfter(ClippedPainter& painter, std::int64_t px, std::int64_t py, std::int64_t x,
                       std::int64_t y, std::uint32_t pixel) const {
  const std::int64_t dx = x - px;
  const std::int64_t dy = y - py;
  if (!dotRows_.empty() && dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1) {
    for (const RelativeSpan& s : steps_[static_cast<std::size_t>((dx + 1) + 3 * (dy + 1))]) {
      painter.Span(y + s.dy, x + s.lo, x + s.hi, pixel);
    }
    return;
  }
  PaintDifference(px, py, x, y, std::max(y + RowsFrom(), painter.Top()),
                  std::min(y + RowsFrom() + width_, painter.Bottom()),
                  [&](std::int64_t row, std::int64_t x0, std::int64_t x1) {
                    painter.Span(row, x0, x1, pixel);
                  });
}

void WidePen::Segment(ClippedPainter& painter, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                      std::int64_t y2, std::uint32_t pixel) const {
  // A unit step along an axis lies inside its start's dot, whose middle row and column are
  // complete (checked for every tabled width).
  if (!dotRows_.empty() && ((y1 == y2 && (x2 - x1 == 1 || x1 - x2 == 1)) ||
                            (x1 == x2 && (y2 - y1 == 1 || y1 - y2 == 1)))) {
    return;
  }
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
  if (!diagonals_[0].empty() && (dx == 1 || dx == -1) && (dy == 1 || dy == -1)) {
    for (const RelativeSpan& s : diagonals_[static_cast<std::size_t>((dx > 0) + 2 * (dy > 0))]) {
      painter.Span(y1 + s.dy, x1 + s.lo, x1 + s.hi, pixel);
    }
    return;
  }
  const std::array<Corner, 4> c = QuadCorners(width_, x1, y1, x2, y2);
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
  QuadSpans(
      c, std::max(minY, painter.Top()), std::min(maxY, painter.Bottom()),
      [&](std::int64_t y, std::int64_t x0, std::int64_t x1) { painter.Span(y, x0, x1, pixel); });
}

}  // namespace azuz
