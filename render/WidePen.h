#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "ClippedPainter.h"
#include "EllipseRows.h"

namespace azuz {

// A pen two or more dots wide, drawn as the Windows line code draws it: a round dot D(w) on
// every vertex (caps and joins), a band of w dots along horizontal and vertical segments and a
// quadrilateral along slanted ones. Even widths reach one dot further towards smaller
// coordinates.
class WidePen {
 public:
  explicit WidePen(std::int64_t width);

  std::int64_t Width() const { return width_; }

  // D(w) around (x, y).
  void Dot(ClippedPainter& painter, std::int64_t x, std::int64_t y, std::uint32_t pixel) const;
  // The dots of D(w) around (x, y) that D(w) around (px, py) lacks: walking a chain of vertices
  // this way paints every dot once instead of w times.
  void DotAfter(ClippedPainter& painter, std::int64_t px, std::int64_t py, std::int64_t x,
                std::int64_t y, std::uint32_t pixel) const;
  // The body of the segment between two vertices, without their dots.
  void Segment(ClippedPainter& painter, std::int64_t x1, std::int64_t y1, std::int64_t x2,
               std::int64_t y2, std::uint32_t pixel) const;

  // Rows of D(w) relative to its vertex: [RowsFrom(), RowsFrom() + Width()).
  std::int64_t RowsFrom() const { return -(width_ / 2); }
  // Row dy of D(w) as [lo, hi) relative to the vertex; false when the row has no dots.
  bool RowSpan(std::int64_t dy, std::int64_t& lo, std::int64_t& hi) const;

 private:
  // Pens up to this width keep their dot's rows and the bodies of the four unit diagonal
  // segments (every step of an ellipse outline) as ready spans.
  static constexpr std::int64_t kTabledWidth = 4096;
  struct RelativeSpan {
    std::int32_t dy;
    std::int32_t lo;
    std::int32_t hi;  // lo == hi: the dot has no dots on this row
  };

  std::int64_t width_;
  EllipseRows rows_;
  std::vector<RelativeSpan> dotRows_;                   // by dy - RowsFrom()
  std::array<std::vector<RelativeSpan>, 4> diagonals_;  // by (dx > 0) + 2 * (dy > 0)
  // The dots D(w) gains by a unit step, by (dx + 1) + 3 * (dy + 1), relative to the new point.
  std::array<std::vector<RelativeSpan>, 9> steps_;
  void PaintDifference(std::int64_t px, std::int64_t py, std::int64_t x, std::int64_t y,
                       std::int64_t from, std::int64_t to, auto emit) const;
  void Quadrilateral(ClippedPainter& painter, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                     std::int64_t y2, std::uint32_t pixel) const;
};

}  // namespace azuz
