#pragma once

#include <cstdint>
#include <string>

#include "Canvas.h"
#include "DrawObject.h"

namespace azuz {

// Draws a Text object's characters (not its fill) as GDI's TextOutA would, on a transparent
// background, anchored at the corner its rotation selects. Nothing when textColour is none.
void DrawTextObject(Canvas& canvas, const DrawObject& object);

// The same output for a line of text with the top-left of its first character cell (in the
// text's own turned frame) at (x, y): the dialogs' previews draw through this.
void DrawTextAt(Canvas& canvas, const std::string& text, const FontRecord& font, Colour colour,
                std::int64_t x, std::int64_t y);

}  // namespace azuz
