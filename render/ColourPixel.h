#pragma once

#include <cstdint>

#include "Colour.h"

namespace azuz {

// The canvas pixel (0xFFRRGGBB) that a colour value paints, as a Windows drawing context on a
// 32-bit surface turns it: bit 24 set picks an entry of the default 20-colour palette (black past
// its end), a DIB index (high word 0x10FF) is black, anything else is its low 24 bits. Callers
// deal with kNoColour before asking.
std::uint32_t CanvasPixel(Colour colour);

}  // namespace azuz
