#include "EditGeometry.h"

#include <array>

namespace azuz {

namespace {

enum class Anchor { Low, Mid, High };  // left/top, the midpoint, right/bottom

struct HandleAnchors {
  Anchor x;
  Anchor y;
};

// Handles 1-8, left to right and top to bottom; the anchors also say which edges a drag moves.
constexpr std::array<HandleAnchors, kHandleCount> kHandles = {{
    {Anchor::Low, Anchor::Low},
    {Anchor::Mid, Anchor::Low},
    {Anchor::High, Anchor::Low},
    {Anchor::Low, Anchor::Mid},
    {Anchor::High, Anchor::Mid},
    {Anchor::Low, Anchor::High},
    {Anchor::Mid, Anchor::High},
    {Anchor::High, Anchor::High},
}};

bool ValidHandle(int handle) {
  return handle >= 1 && handle <= kHandleCount;
}

std::int32_t Wrap(std::int64_t v) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(v));
}

std::int64_t Centre(Anchor anchor, std::int32_t low, std::int32_t high) {
  switch (anchor) {
    case Anchor::Low:
      return low;
    case Anchor::High:
      return high;
    case Anchor::Mid:
      // 64-bit so that far edges read from a file cannot overflow; C++ division truncates
      // toward zero, as the original's did.
      return low + (std::int64_t{high} - low) / 2;
  }
  return low;
}

}  // namespace

DotRect HandleRect(const DrawObject& object, int handle) {
  const HandleAnchors anchors =
      kHandles[static_cast<std::size_t>(ValidHandle(handle) ? handle - 1 : 0)];
  const std::int64_t cx = Centre(anchors.x, object.left, object.right);
  const std::int64_t cy = Centre(anchors.y, object.top, object.bottom);
  return {Wrap(cx - kHandleHalfSize), Wrap(cy - kHandleHalfSize), Wrap(cx + kHandleHalfSize),
          Wrap(cy + kHandleHalfSize)};
}

int HitTestHandle(const CORVELIXImageToolDoc& doc, DotPoint p) {
  if (doc.selectedObject == nullptr) {
    return 0;
  }
  for (int handle = 1; handle <= kHandleCount; ++handle) {
    const DotRect r = HandleRect(*doc.selectedObject, handle);
    if (r.left <= p.x && p.x < r.right && r.top <= p.y && p.y < r.bottom) {
      return handle;
    }
  }
  return 0;
}

bool HoldsStrictly(const DrawObject& object, DotPoint p) {
  return object.left < p.x && p.x < object.right && object.top < p.y && p.y < object.bottom;
}

HandleSizing SizingOfHandle(int handle) {
  if (!ValidHandle(handle)) {
    return HandleSizing::None;
  }
  const HandleAnchors a = kHandles[static_cast<std::size_t>(handle - 1)];
  if (a.x == Anchor::Mid) {
    return HandleSizing::NorthSouth;
  }
  if (a.y == Anchor::Mid) {
    return HandleSizing::WestEast;
  }
  return a.x == a.y ? HandleSizing::NorthWestSouthEast : HandleSizing::NorthEastSouthWest;
}

void MoveRect(DrawObject& object, std::int32_t dx, std::int32_t dy) {
  object.left = Wrap(std::int64_t{object.left} + dx);
  object.right = Wrap(std::int64_t{object.right} + dx);
  object.top = Wrap(std::int64_t{object.top} + dy);
  object.bottom = Wrap(std::int64_t{object.bottom} + dy);
}

void MoveHandleEdges(DrawObject& object, int handle, std::int32_t dx, std::int32_t dy) {
  if (!ValidHandle(handle)) {
    return;
  }
  const HandleAnchors a = kHandles[static_cast<std::size_t>(handle - 1)];
  if (a.x == Anchor::Low) {
    object.left = Wrap(std::int64_t{object.left} + dx);
  } else if (a.x == Anchor::High) {
    object.right = Wrap(std::int64_t{object.right} + dx);
  }
  if (a.y == Anchor::Low) {
    object.top = Wrap(std::int64_t{object.top} + dy);
  } else if (a.y == Anchor::High) {
    object.bottom = Wrap(std::int64_t{object.bottom} + dy);
  }
}

}  // namespace azuz
