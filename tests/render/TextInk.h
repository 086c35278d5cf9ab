#pragma once

#include <algorithm>
#include <climits>

#include "Canvas.h"
#include "DrawObject.h"

namespace azuz::texttest {

// Bounding box of the dots that are not pure white; empty() when there are none.
struct InkBox {
  int left = INT_MAX;
  int top = INT_MAX;
  int right = INT_MIN;  // inclusive
  int bottom = INT_MIN;
  int dots = 0;
  bool empty() const { return dots == 0; }
};

inline bool Inked(const Canvas& canvas, int x, int y) {
  return (canvas.Pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu;
}

inline InkBox InkOf(const Canvas& canvas) {
  InkBox box;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (Inked(canvas, x, y)) {
        box.left = std::min(box.left, x);
        box.right = std::max(box.right, x);
        box.top = std::min(box.top, y);
        box.bottom = std::max(box.bottom, y);
        ++box.dots;
      }
    }
  }
  return box;
}

// An Arial text object as the text dialog makes it, anchored at (left, top).
inline DrawObject TextObject(const std::string& text, int height, int left, int top) {
  DrawObject object;
  object.kind = static_cast<std::int32_t>(ObjectKind::Text);
  object.text = text;
  object.font.height = height;
  object.rotation = 0;
  object.left = left;
  object.top = top;
  object.right = left + 140;
  object.bottom = top + 150;
  return object;
}

}  // namespace azuz::texttest
