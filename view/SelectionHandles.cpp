#include "SelectionHandles.h"

namespace azuz {

namespace {

std::int64_t Clamp(std::int64_t v, std::int64_t low, std::int64_t high) {
  return v < low ? low : (v > high ? high : v);
}

}  // namespace

void DrawSelectionHandles(Canvas& canvas, const DrawObject& object) {
  constexpr std::uint32_t kBlack = 0xFF000000u;
  for (int handle = 1; handle <= kHandleCount; ++handle) {
    const DotRect r = HandleRect(object, handle);
    // Only the part on the canvas is walked, so handles of far objects cost nothing.
    const auto x0 = Clamp(r.left, 0, canvas.Width());
    const auto x1 = Clamp(std::int64_t{r.right}, 0, canvas.Width());
    const auto y0 = Clamp(r.top, 0, canvas.Height());
    const auto y1 = Clamp(std::int64_t{r.bottom}, 0, canvas.Height());
    for (auto y = y0; y < y1; ++y) {
      std::uint32_t* row = canvas.Row(static_cast<int>(y));
      for (auto x = x0; x < x1; ++x) {
        const bool edge = x == r.left || x == std::int64_t{r.right} - 1 || y == r.top ||
                          y == std::int64_t{r.bottom} - 1;
        row[x] = edge ? kBlack : kWhitePixel;
      }
    }
  }
}

}  // namespace azuz
