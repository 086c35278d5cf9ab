#pragma once

#include <cstdint>

#include "Canvas.h"
#include "DrawObject.h"

namespace azuz {

// An edge-exclusive rectangle in page dots, as the Windows RECT the handles were defined with.
struct DotRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;
};

inline constexpr int kHandleCount = 8;
inline constexpr int kHandleHalfSize = 4;

// Handle n (1-8) of an object: the 8 x 8 square centred on a corner or an edge's midpoint,
// numbered left to right, top to bottom. The midpoint divides truncating toward zero.
DotRect HandleRect(const DrawObject& object, int handle);

// The eight handles as squares with a one-dot black outline and white inside; dots off the
// canvas are dropped. Drawn after the fade pattern so they are never thinned.
void DrawSelectionHandles(Canvas& canvas, const DrawObject& object);

}  // namespace azuz
