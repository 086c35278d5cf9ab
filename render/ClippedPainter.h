#pragma once

#include <algorithm>
#include <cstdint>

#include "Canvas.h"

namespace azuz {

// Paints spans, rectangles and dots inside a clip rectangle that never exceeds the canvas.
// Coordinates are 64-bit so that shapes far off the page clip without overflow, and every
// operation costs only what lands inside the clip.
class ClippedPainter {
 public:
  explicit ClippedPainter(Canvas& canvas)
      : canvas_(canvas), right_(canvas.Width()), bottom_(canvas.Height()) {}

  // Narrows the clip to [l, r) x [t, b) as well.
  void Narrow(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) {
    left_ = std::max(left_, l);
    top_ = std::max(top_, t);
    right_ = std::min(right_, r);
    bottom_ = std::min(bottom_, b);
  }

  std::int64_t Left() const { return left_; }
  std::int64_t Top() const { return top_; }
  std::int64_t Right() const { return right_; }
  std::int64_t Bottom() const { return bottom_; }
  bool Empty() const { return left_ >= right_ || top_ >= bottom_; }
  bool RowVisible(std::int64_t y) const { return y >= top_ && y < bottom_; }
  // Whether [l, r) x [t, b) reaches into the clip at all.
  bool Touches(std::int64_t l, std::int64_t t, std::int64_t r, std::int64_t b) const {
    return l < right_ && r > left_ && t < bottom_ && b > top_;
  }

  // The dots x0 <= x < x1 of row y.
  void Span(std::int64_t y, std::int64_t x0, std::int64_t x1, std::uint32_t pixel) {
    if (!RowVisible(y)) {
      return;
    }
    x0 = std::max(x0, left_);
    x1 = std::min(x1, right_);
    if (x0 < x1) {
      std::uint32_t* row = canvas_.Row(static_cast<int>(y));
      std::fill(row + x0, row + x1, pixel);
    }
  }

  void Rect(std::int64_t x0, std::int64_t y0, std::int64_t x1, std::int64_t y1,
            std::uint32_t pixel) {
    y0 = std::max(y0, top_);
    y1 = std::min(y1, bottom_);
    for (std::int64_t y = y0; y < y1; ++y) {
      Span(y, x0, x1, pixel);
    }
  }

  void Dot(std::int64_t x, std::int64_t y, std::uint32_t pixel) {
    if (x >= left_ && x < right_ && RowVisible(y)) {
      canvas_.Row(static_cast<int>(y))[x] = pixel;
    }
  }

 private:
  Canvas& canvas_;
  std::int64_t left_ = 0;
  std::int64_t top_ = 0;
  std::int64_t right_;
  std::int64_t bottom_;
};

}  // namespace azuz
