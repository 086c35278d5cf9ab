#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "Canvas.h"
#include "CORVELIXImageToolDoc.h"

namespace azuz {

// The printer's one-bit image: 9-byte header, then ceil(W/8) bytes per row, top row first.
using WatermarkImage = std::vector<std::uint8_t>;

// Pages of 0 or fewer dots, more than 65535 on a side or 64 Mi dots in all are refused.
bool PageSizeAllowed(std::int64_t width, std::int64_t height, std::string* why = nullptr);

// Draws every object back to front on `canvas` (already filled with the background), each
// object's rectangle thinned by the fade pattern. Shared by the printer image and the view.
void DrawDesign(Canvas& canvas, const CORVELIXImageToolDoc& doc, std::int32_t fadeLevel);

// Renders the document on its page with its fade level; nothing on a refused page size.
std::optional<WatermarkImage> RenderWatermarkImage(const CORVELIXImageToolDoc& doc,
                                                   std::string* why = nullptr);

}  // namespace azuz
