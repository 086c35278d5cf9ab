#include "PrintedDots.h"

namespace azuz {

namespace {

constexpr std::uint32_t kPrintedPixel = 0xFF000000u;

}  // namespace

bool DrawPrintedDots(Canvas& canvas, const WatermarkImage& image) {
  const auto width = static_cast<std::size_t>(canvas.Width());
  const auto height = static_cast<std::size_t>(canvas.Height());
  const std::size_t rowBytes = (width + 7) / 8;
  if (image.size() != 9 + height * rowBytes ||
      (std::size_t{image[5]} | std::size_t{image[6]} << 8) != (rowBytes * 8 & 0xFFFF) ||
      (std::size_t{image[7]} | std::size_t{image[8]} << 8) != (height & 0xFFFF)) {
    return false;
  }
  const std::uint8_t* rows = image.data() + 9;
  for (std::size_t y = 0; y < height; ++y, rows += rowBytes) {
    std::uint32_t* out = canvas.Row(static_cast<int>(y));
    for (std::size_t x = 0; x < width; ++x) {
      out[x] = (rows[x / 8] & (0x80u >> (x % 8))) != 0 ? kPrintedPixel : kWhitePixel;
    }
  }
  return true;
}

}  // namespace azuz
