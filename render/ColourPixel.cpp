#include "ColourPixel.h"

#include <array>

namespace azuz {

namespace {

// The default palette of a drawing context, as 0xRRGGBB.
constexpr std::array<std::uint32_t, 20> kDefaultPalette = {
    0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080,
    0xC0C0C0, 0xC0DCC0, 0xA6CAF0, 0xFFFBF0, 0xA0A0A4, 0x808080, 0xFF0000,
    0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF};

}  // namespace

std::uint32_t CanvasPixel(Colour colour) {
  if ((colour & 0x01000000u) != 0) {
    const std::uint32_t index = colour & 0xFFFFu;
    return 0xFF000000u | (index < kDefaultPalette.size() ? kDefaultPalette[index] : 0u);
  }
  if ((colour >> 16) == 0x10FFu) {
    return 0xFF000000u;
  }
  return ToPixel(colour & 0x00FFFFFFu);
}

}  // namespace azuz
