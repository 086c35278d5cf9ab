#pragma once

#include <cstdint>
#include <vector>

namespace azuz {

// Boxes up to this many dots on a side follow the stepping ellipse exactly; its 64-bit error
// terms would overflow soon past it. Larger boxes (far bigger than any page) use the ideal
// ellipse through the dot centres instead, computed per row, so that cost follows the page.
inline constexpr std::int64_t kExactEllipseSide = std::int64_t{1} << 17;

// The filled ellipse of a box `width` x `height` dots (both >= 2): one span per row,
// [inset, width - inset) relative to the box's left edge. Rows of very tall, narrow ellipses
// that the stepping never reaches stay empty, as the reference leaves them.
class EllipseRows {
 public:
  EllipseRows(std::int64_t width, std::int64_t height);

  std::int64_t Width() const { return width_; }
  std::int64_t Height() const { return height_; }
  bool Exact() const { return exact_; }

  // Dots cut from each end of `row` (0 = the box's top row), or -1 when the row is empty.
  std::int64_t Inset(std::int64_t row) const;

 private:
  std::int64_t width_;
  std::int64_t height_;
  bool exact_;
  std::vector<std::int32_t> lower_;  // rows height/2 .. height-1; -1 where never reached
  std::int64_t IdealInset(std::int64_t row) const;
};

// The outline points of the ellipse of a box, relative to its top-left dot, in closed
// counter-clockwise order from the right end of the middle row; consecutive points are
// 8-neighbours. Only for exact boxes (both sides <= kExactEllipseSide).
struct OutlinePoint {
  std::int32_t x;
  std::int32_t y;
};
std::vector<OutlinePoint> EllipseOutlinePoints(std::int64_t width, std::int64_t height);

}  // namespace azuz
