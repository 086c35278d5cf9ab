#pragma once

#include <cstdint>

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
  std::int64_t width_;
  EllipseRows rows_;
  void Quadrilateral(ClippedPainter& painter, std::int64_t x1, std::int64_t y1, std::int64_t x2,
                     std::int64_t y2, std::uint32_t pixel) const;
};

}  // namespace azuz
