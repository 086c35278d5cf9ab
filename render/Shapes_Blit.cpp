#include "Shapes.h"

#include <algorithm>

namespace azuz {

namespace {

// The destination dots [from, to) along one axis that a copy of `extent` dots from a picture
// `size` dots long covers. A negative extent copies only the first dot: the Windows copy's
// mirrored source range cut to the picture leaves just its column or row 0.
void CopiedRange(std::int64_t origin, std::int64_t extent, std::int64_t size, std::int64_t limit,
                 std::int64_t& from, std::int64_t& to) {
  const std::int64_t count = extent > 0 ? std::min(extent, size) : 1;
  from = std::max<std::int64_t>(origin, 0);
  to = std::min(origin + count, limit);
}

}  // namespace

void DrawPicture(Canvas& canvas, const Picture* picture, std::int64_t left, std::int64_t top,
                 std::int64_t right, std::int64_t bottom) {
  if (picture == nullptr || !picture->Consistent()) {
    return;
  }
  const std::int64_t dw = right - left;
  const std::int64_t dh = bottom - top;
  if (dw == 0 || dh == 0) {
    return;
  }
  std::int64_t x0 = 0;
  std::int64_t x1 = 0;
  std::int64_t y0 = 0;
  std::int64_t y1 = 0;
  CopiedRange(left, dw, picture->width, canvas.Width(), x0, x1);
  CopiedRange(top, dh, picture->height, canvas.Height(), y0, y1);
  if (x0 >= x1) {
    return;
  }
  for (std::int64_t y = y0; y < y1; ++y) {
    std::uint32_t* target = canvas.Row(static_cast<int>(y)) + x0;
    const std::uint32_t* row = picture->Row(static_cast<int>(y - top));
    if (row == nullptr) {
      std::fill(target, target + (x1 - x0), kBlankPicturePixel);  // a row no data reached
    } else {
      std::copy(row + (x0 - left), row + (x1 - left), target);
    }
  }
}

void FillReversible(Canvas& canvas, std::int64_t left, std::int64_t top, std::int64_t right,
                    std::int64_t bottom, std::uint32_t pixel) {
  auto covered = [](std::int64_t from, std::int64_t to, std::int64_t& lo, std::int64_t& hi) {
    lo = from < to ? from : to + 1;
    hi = from < to ? to : from + 1;
    return from != to;
  };
  std::int64_t x0 = 0;
  std::int64_t x1 = 0;
  std::int64_t y0 = 0;
  std::int64_t y1 = 0;
  if (!covered(left, right, x0, x1) || !covered(top, bottom, y0, y1)) {
    return;
  }
  x0 = std::max<std::int64_t>(x0, 0);
  x1 = std::min<std::int64_t>(x1, canvas.Width());
  y0 = std::max<std::int64_t>(y0, 0);
  y1 = std::min<std::int64_t>(y1, canvas.Height());
  for (std::int64_t y = y0; y < y1 && x0 < x1; ++y) {
    std::fill(canvas.Row(static_cast<int>(y)) + x0, canvas.Row(static_cast<int>(y)) + x1, pixel);
  }
}

}  // namespace azuz
