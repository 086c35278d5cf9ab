#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "BmpLayout.h"

namespace azuz::bmp {

// RLE8, RLE4 and the OS/2 RLE24 take two passes over the codes: the first checks them and finds
// the rows they reach, so that a picture whose codes stop early or skip far holds only those
// rows; the second paints them. Pixels the codes skip stay white.

// Marks, in picture row order, the rows some pixel of the codes lands in; false for damaged
// codes.
bool ScanBmpRle(std::span<const std::uint8_t> bytes, const BmpLayout& layout,
                std::vector<bool>& rowsReached, std::string& why);

// Paints the codes that ScanBmpRle accepted into `picture`, whose reached rows are stored.
void PaintBmpRle(std::span<const std::uint8_t> bytes, const BmpLayout& layout, Picture& picture);

}  // namespace azuz::bmp
