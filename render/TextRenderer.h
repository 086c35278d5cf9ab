#pragma once

#include "Canvas.h"
#include "DrawObject.h"

namespace azuz {

// Draws a Text object's characters (not its fill) as GDI's TextOutA would, on a transparent
// background, anchored at the corner its rotation selects. Nothing when textColour is none.
void DrawTextObject(Canvas& canvas, const DrawObject& object);

}  // namespace azuz
