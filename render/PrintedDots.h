#pragma once

#include "Canvas.h"
#include "PackCanvas.h"

namespace azuz {

// The dots a packed image prints, black on white, one canvas dot per image dot: what the
// printer will put on paper. The canvas gives the page's width (the image only holds it rounded
// up to whole bytes). False, with the canvas untouched, when the image is not one of a page of
// the canvas's size.
bool DrawPrintedDots(Canvas& canvas, const WatermarkImage& image);

}  // namespace azuz
