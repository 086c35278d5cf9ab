#include "ThinLine.h"

#include <algorithm>

namespace azuz {

namespace {

__extension__ typedef __int128 Wide;

// The Windows line code scales an end point down by 8 when either coordinate is this far out.
constexpr std::int64_t kFarCoordinate = std::int64_t{1} << 28;

void ScaleFarPoint(std::int64_t& x, std::int64_t& y) {
  if (x >= kFarCoordinate || x <= -kFarCoordinate || y >= kFarCoordinate || y <= -kFarCoordinate) {
    x /= 8;
    y /= 8;
  }
}

// Steps k in [0, n) whose major coordinate start + k * step lies in [low, high).
void StepsInside(std::int64_t start, std::int64_t step, std::int64_t n, std::int64_t low,
                 std::int64_t high, std::int64_t& first, std::int64_t& end) {
  if (step > 0) {
    first = low - start;
    end = high - start;
  } else {
    first = start - high + 1;
    end = start - low + 1;
  }
  first = std::max<std::int64_t>(first, 0);
  end = std::min(end, n);
}

}  // namespace

void DrawThinLine(ClippedPainter& painter, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                  std::int64_t y2, std::uint32_t pixel) {
  if (painter.Empty()) {
    return;
  }
  if (y1 == y2) {
    if (x1 < x2) {
      painter.Span(y1, x1, x2, pixel);
    } else if (x1 > x2) {
      painter.Span(y1, x2 + 1, x1 + 1, pixel);
    }
    return;
  }
  if (x1 == x2) {
    if (y1 < y2) {
      painter.Rect(x1, y1, x1 + 1, y2, pixel);
    } else {
      painter.Rect(x1, y2 + 1, x1 + 1, y1 + 1, pixel);
    }
    return;
  }
  ScaleFarPoint(x1, y1);
  ScaleFarPoint(x2, y2);
  const std::int64_t dx = x2 - x1;
  const std::int64_t dy = y2 - y1;
  const std::int64_t adx = dx < 0 ? -dx : dx;
  const std::int64_t ady = dy < 0 ? -dy : dy;
  const bool xMajor = adx > ady;

  // Major axis u, minor axis v. The k-th dot's minor offset is
  // floor((2k * |dv| + c) / (2 * |du|)) away from the start, c chosen so that exact halves go
  // to the smaller coordinate.
  const std::int64_t u1 = xMajor ? x1 : y1;
  const std::int64_t v1 = xMajor ? y1 : x1;
  const std::int64_t du = xMajor ? dx : dy;
  const std::int64_t dv = xMajor ? dy : dx;
  const std::int64_t adu = xMajor ? adx : ady;
  const std::int64_t adv = xMajor ? ady : adx;
  const std::int64_t su = du > 0 ? 1 : -1;
  const std::int64_t sv = dv > 0 ? 1 : (dv < 0 ? -1 : 0);
  const std::int64_t n = adu;

  std::int64_t first = 0;
  std::int64_t end = 0;
  if (xMajor) {
    StepsInside(u1, su, n, painter.Left(), painter.Right(), first, end);
  } else {
    StepsInside(u1, su, n, painter.Top(), painter.Bottom(), first, end);
  }
  if (first >= end) {
    return;
  }
  const Wide denominator = Wide{2} * adu;
  const Wide c = dv > 0 ? Wide{adu} - 1 : Wide{adu};
  const Wide numerator = Wide{2} * first * adv + c;
  auto offset = static_cast<std::int64_t>(numerator / denominator);
  auto remainder = static_cast<std::int64_t>(numerator % denominator);
  const std::int64_t twiceAdu = 2 * adu;
  const std::int64_t twiceAdv = 2 * adv;
  for (std::int64_t k = first; k < end; ++k) {
    const std::int64_t u = u1 + k * su;
    const std::int64_t v = v1 + sv * offset;
    if (xMajor) {
      painter.Dot(u, v, pixel);
    } else {
      painter.Dot(v, u, pixel);
    }
    remainder += twiceAdv;
    if (remainder >= twiceAdu) {
      remainder -= twiceAdu;
      ++offset;
    }
  }
}

}  // namespace azuz
