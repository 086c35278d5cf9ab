#include "FadePattern.h"

#include <algorithm>
#include <vector>

namespace azuz {

void ApplyFadePattern(Canvas& canvas, std::int64_t left, std::int64_t top, std::int64_t right,
                      std::int64_t bottom, std::int32_t level) {
  if (level == 0 || static_cast<std::uint32_t>(level) > 100) {
    return;
  }
  if (right <= left || bottom <= top) {
    return;
  }
  const int d = level / 10;
  const std::int64_t x0 = std::max<std::int64_t>(left, 0);
  const std::int64_t x1 = std::min<std::int64_t>(right, canvas.Width());
  const std::int64_t y0 = std::max<std::int64_t>(top, 0);
  const std::int64_t y1 = std::min<std::int64_t>(bottom, canvas.Height());
  if (x0 >= x1 || y0 >= y1) {
    return;
  }
  // White is all ones, so whitening a dot is OR-ing it with a mask that repeats every 3
  // columns; one mask row per y mod 3, starting at column x0.
  const auto span = static_cast<std::size_t>(x1 - x0);
  std::vector<std::uint32_t> masks(3 * span);
  for (int ym = 0; ym < 3; ++ym) {
    std::uint32_t* mask = masks.data() + ym * span;
    for (std::size_t i = 0; i < span; ++i) {
      const auto xm = static_cast<int>((static_cast<std::size_t>(x0) + i) % 3);
      mask[i] = FadeMatrix[xm * 3 + ym] > d ? 0u : 0xFFFFFFFFu;
    }
  }
  for (std::int64_t y = y0; y < y1; ++y) {
    const std::uint32_t* mask = masks.data() + static_cast<std::size_t>(y % 3) * span;
    std::uint32_t* row = canvas.Row(static_cast<int>(y)) + x0;
    for (std::size_t i = 0; i < span; ++i) {
      row[i] |= mask[i];
    }
  }
}

}  // namespace azuz
