#pragma once

#include <cstdint>

namespace azuz {

// 0x00BBGGRR, red in the low byte, as stored in files; all bits set means "none".
using Colour = std::uint32_t;
inline constexpr Colour kNoColour = 0xFFFFFFFFu;

inline constexpr std::uint8_t RedOf(Colour c) {
  return static_cast<std::uint8_t>(c & 0xFF);
}
inline constexpr std::uint8_t GreenOf(Colour c) {
  return static_cast<std::uint8_t>((c >> 8) & 0xFF);
}
inline constexpr std::uint8_t BlueOf(Colour c) {
  return static_cast<std::uint8_t>((c >> 16) & 0xFF);
}

// Canvas and picture pixels are 0xFFRRGGBB (the layout of an opaque 32-bit RGB image), so a
// canvas can be shown by a toolkit image without conversion.
inline constexpr std::uint32_t ToPixel(Colour c) {
  return 0xFF000000u | (std::uint32_t{RedOf(c)} << 16) | (std::uint32_t{GreenOf(c)} << 8) |
         BlueOf(c);
}
inline constexpr std::uint32_t kWhitePixel = 0xFFFFFFFFu;

}  // namespace azuz
