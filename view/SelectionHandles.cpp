#include "SelectionHandles.h"

namespace azuz {

namespace {

std::int32_t Midpoint(std::int32_t a, std::int32_t b) {
  // 64-bit so that far edges read from a file cannot overflow; the result lies between them.
  return static_cast<std::int32_t>(a + (std::int64_t{b} - a) / 2);
}

std::int64_t Clamp(std::int64_t v, std::int64_t low, std::int64_t high) {
  return v < low ? low : (v > high ? high : v);
}

}  // namespace

DotRect HandleRect(const DrawObject& object, int handle) {
  const std::int32_t midX = Midpoint(object.left, object.right);
  const std::int32_t midY = Midpoint(object.top, object.bottom);
  std::int32_t cx = object.left;
  std::int32_t cy = object.top;
  switch (handle) {
    case 1:
      cx = object.left;
      cy = object.top;
      break;
    case 2:
      cx = midX;
      cy = object.top;
      break;
    case 3:
      cx = object.right;
      cy = object.top;
      break;
    case 4:
      cx = object.left;
      cy = midY;
      break;
    case 5:
      cx = object.right;
      cy = midY;
      break;
    case 6:
      cx = object.left;
      cy = object.bottom;
      break;
    case 7:
      cx = midX;
      cy = object.bottom;
      break;
    case 8:
      cx = object.right;
      cy = object.bottom;
      break;
    default:
      break;
  }
  // Edges near the ends of the 32-bit range wrap, as the original's integer arithmetic did.
  const auto wrap = [](std::int64_t v) { return static_cast<std::int32_t>(v); };
  return {wrap(std::int64_t{cx} - kHandleHalfSize), wrap(std::int64_t{cy} - kHandleHalfSize),
          wrap(std::int64_t{cx} + kHandleHalfSize), wrap(std::int64_t{cy} + kHandleHalfSize)};
}

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
