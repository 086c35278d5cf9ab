#include "PackCanvas.h"

namespace azuz {

WatermarkImage PackCanvas(const Canvas& canvas) {
  const auto width = static_cast<std::size_t>(canvas.Width());
  const auto height = static_cast<std::size_t>(canvas.Height());
  const std::size_t rowBytes = (width + 7) / 8;
  WatermarkImage image(9 + height * rowBytes, 0);
  const std::size_t paddedWidth = rowBytes * 8;
  image[0] = 0x00;
  image[1] = 0x08;
  image[2] = 'W';
  image[3] = 'D';
  image[4] = 0x01;
  image[5] = static_cast<std::uint8_t>(paddedWidth & 0xFF);
  image[6] = static_cast<std::uint8_t>((paddedWidth >> 8) & 0xFF);
  image[7] = static_cast<std::uint8_t>(height & 0xFF);
  image[8] = static_cast<std::uint8_t>((height >> 8) & 0xFF);

  std::uint8_t* out = image.data() + 9;
  for (std::size_t y = 0; y < height; ++y, out += rowBytes) {
    const std::uint32_t* row = canvas.Row(static_cast<int>(y));
    const std::size_t whole = width / 8;
    for (std::size_t b = 0; b < whole; ++b) {
      const std::uint32_t* dots = row + 8 * b;
      unsigned byte = 0;
      for (int i = 0; i < 8; ++i) {
        byte |= static_cast<unsigned>((dots[i] | 0xFF000000u) != 0xFFFFFFFFu) << (7 - i);
      }
      out[b] = static_cast<std::uint8_t>(byte);
    }
    if (whole < rowBytes) {
      unsigned byte = 0;
      for (std::size_t x = whole * 8; x < width; ++x) {
        if ((row[x] & 0xFFFFFFu) != 0xFFFFFFu) {
          byte |= 0x80u >> (x % 8);
        }
      }
      out[whole] = static_cast<std::uint8_t>(byte);
    }
  }
  return image;
}

}  // namespace azuz
