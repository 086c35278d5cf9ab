#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "CORVELIXImageToolDoc.h"
#include "Canvas.h"
#include "PackCanvas.h"

namespace azuz {

// Pages of 0 or fewer dots, more than 65535 on a side or 64 Mi dots in all are refused.
bool PageSizeAllowed(std::int64_t width, std::int64_t height, std::string* why = nullptr);

// Draws every object back to front on `canvas` (already filled with the background), each
// object's rectangle thinned by the fade pattern. Shared by the printer image and the view.
void DrawDesign(Canvas& canvas, const CORVELIXImageToolDoc& doc, std::int32_t fadeLevel);

// Renders the document on its page with its fade level; nothing on a refused page size or
// when memory runs out. `canvas`, when given, receives the colour page before packing.
std::optional<WatermarkImage> RenderWatermarkImage(const CORVELIXImageToolDoc& doc,
                                                   std::string* why = nullptr,
                                                   Canvas* canvas = nullptr);

}  // namespace azuz
