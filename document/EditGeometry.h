#pragma once

#include <cstdint>

#include "CORVELIXImageToolDoc.h"
#include "DrawObject.h"

namespace azuz {

// A point in page dots: a view's client point less the page offset.
struct DotPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
};

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
// numbered left to right, top to bottom, right and bottom edges excluded. The midpoint divides
// truncating toward zero. Edges near the ends of the 32-bit range wrap.
DotRect HandleRect(const DrawObject& object, int handle);

// The first handle, in the order 1 to 8, of the document's selected object whose square holds
// the point; 0 when none does or nothing is selected.
int HitTestHandle(const CORVELIXImageToolDoc& doc, DotPoint p);

// left < x < right and top < y < bottom: a press on an edge misses, and an inverted rectangle
// holds no point at all.
bool HoldsStrictly(const DrawObject& object, DotPoint p);

// The sizing cursor a handle shows, named by the directions it points.
enum class HandleSizing {
  None,
  NorthWestSouthEast,  // handles 1 and 8
  NorthSouth,          // 2 and 7
  NorthEastSouthWest,  // 3 and 6
  WestEast,            // 4 and 5
};
HandleSizing SizingOfHandle(int handle);

// Moves the whole rectangle. Nothing keeps it on the page; edges wrap as 32-bit signed.
void MoveRect(DrawObject& object, std::int32_t dx, std::int32_t dy);

// Moves only the edges the handle drags (handle 2 the top, 8 the right and bottom, ...). The
// rectangle is not normalised, so dragging past the opposite edge inverts it.
void MoveHandleEdges(DrawObject& object, int handle, std::int32_t dx, std::int32_t dy);

}  // namespace azuz
