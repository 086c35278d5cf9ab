#include "EllipseRows.h"

#include <algorithm>
#include <cmath>

namespace azuz {

namespace {

// The stepping ellipse's state for a box of ew x eh dots: the error terms of the next x, y
// and diagonal steps, all exact in 64 bits up to kExactEllipseSide.
struct Stepper {
  std::int64_t asq, bsq, dx, dy, err;
  Stepper(std::int64_t ew, std::int64_t eh) {
    const std::int64_t a = ew - 1;
    const std::int64_t b = eh - 1;
    asq = 8 * a * a;
    bsq = 8 * b * b;
    dx = 4 * b * b * (1 - a);
    dy = 4 * a * a * (1 + b % 2);
    err = dx + dy + a * a * (b % 2);
  }
};

}  // namespace

EllipseRows::EllipseRows(std::int64_t width, std::int64_t height)
    : width_(width),
      height_(height),
      exact_(width <= kExactEllipseSide && height <= kExactEllipseSide) {
  if (!exact_ || width < 2 || height < 2) {
    return;
  }
  const std::int64_t middle = height / 2;
  lower_.assign(static_cast<std::size_t>(height - middle), -1);
  lower_[0] = 0;
  Stepper s(width, height);
  std::int64_t x = 0;
  std::int64_t y = middle;
  while (x <= width / 2) {
    const std::int64_t e2 = 2 * s.err;
    bool stepped = false;
    if (e2 >= s.dx) {
      ++x;
      s.dx += s.bsq;
      s.err += s.dx;
      stepped = true;
    }
    if (e2 <= s.dy) {
      ++y;
      s.dy += s.asq;
      s.err += s.dy;
      if (y >= height) {
        break;
      }
      lower_[static_cast<std::size_t>(y - middle)] = static_cast<std::int32_t>(x);
      stepped = true;
    }
    if (!stepped) {
      break;
    }
  }
}

std::int64_t EllipseRows::Inset(std::int64_t row) const {
  if (row < 0 || row >= height_ || width_ < 2 || height_ < 2) {
    return -1;
  }
  if (!exact_) {
    return IdealInset(row);
  }
  const std::int64_t middle = height_ / 2;
  const std::int64_t lowerRow = row >= middle ? row : height_ - 1 - row;
  return lower_[static_cast<std::size_t>(lowerRow - middle)];
}

std::int64_t EllipseRows::IdealInset(std::int64_t row) const {
  // Dot centres at x + 0.5 within half-width hw of the box's middle line.
  const double w = static_cast<double>(width_);
  const double h = static_cast<double>(height_);
  const double yn = (2.0 * static_cast<double>(row) + 1.0 - h) / h;
  const double hw = 0.5 * w * std::sqrt(std::max(0.0, 1.0 - yn * yn));
  const double cut = std::ceil(0.5 * w - hw - 0.5);
  const auto inset = static_cast<std::int64_t>(std::max(0.0, cut));
  return 2 * inset >= width_ ? -1 : inset;
}

std::vector<OutlinePoint> EllipseOutlinePoints(std::int64_t width, std::int64_t height) {
  std::vector<OutlinePoint> points;
  if (width < 2 || height < 2 || width > kExactEllipseSide || height > kExactEllipseSide) {
    return points;
  }
  // One quadrant, from the right end of the middle row up to the top.
  Stepper s(width, height);
  std::int64_t px = width - 1;
  std::int64_t py = height / 2;
  while (px >= width / 2 && py < height) {
    const std::int64_t e2 = 2 * s.err;
    points.push_back({static_cast<std::int32_t>(px), static_cast<std::int32_t>(height - 1 - py)});
    bool stepped = false;
    if (e2 >= s.dx) {
      --px;
      s.dx += s.bsq;
      s.err += s.dx;
      stepped = true;
    }
    if (e2 <= s.dy) {
      ++py;
      s.dy += s.asq;
      s.err += s.dy;
      stepped = true;
    }
    if (!stepped) {
      break;
    }
  }
  // Mirror left-right, then top-bottom; a middle column or row is shared, not doubled.
  auto mirror = [&points](bool oddSide, auto reflect) {
    const std::size_t n = points.size();
    const std::size_t total = 2 * n - (oddSide ? 1 : 0);
    points.resize(total);
    for (std::size_t i = 0; i < n; ++i) {
      points[total - 1 - i] = reflect(points[i]);
    }
  };
  const auto w = static_cast<std::int32_t>(width);
  const auto h = static_cast<std::int32_t>(height);
  if (points.empty()) {
    return points;
  }
  mirror(width % 2 == 1, [w](OutlinePoint p) { return OutlinePoint{w - 1 - p.x, p.y}; });
  mirror(height % 2 == 1, [h](OutlinePoint p) { return OutlinePoint{p.x, h - 1 - p.y}; });
  return points;
}

}  // namespace azuz
