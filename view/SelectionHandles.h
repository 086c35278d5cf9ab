#pragma once

#include "Canvas.h"
#include "DrawObject.h"
#include "EditGeometry.h"

namespace azuz {

// The eight handles (HandleRect) as squares with a one-dot black outline and white inside; dots
// off the canvas are dropped. Drawn after the fade pattern so they are never thinned.
void DrawSelectionHandles(Canvas& canvas, const DrawObject& object);

}  // namespace azuz
