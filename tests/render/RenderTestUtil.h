#pragma once

#include <cstdint>
#include <set>
#include <utility>

#include "CORVELIXImageToolDoc.h"
#include "Canvas.h"
#include "ColourPixel.h"
#include "PackCanvas.h"
#include "Shapes.h"

namespace azuz::test {

using Dot = std::pair<std::int64_t, std::int64_t>;  // x, y

constexpr Colour kBlack = 0x000000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kBlue = 0xFF0000;
constexpr Colour kWhite = 0xFFFFFF;

// Lists a new shape at the head (the front) of the design.
inline DrawObject& AddFront(CORVELIXImageToolDoc& doc, ObjectKind kind, std::int32_t l,
                            std::int32_t t, std::int32_t r, std::int32_t b, Colour pen, Colour fill,
                            std::int32_t penWidth = 1) {
  DrawObject* o = doc.FindOrCreateObject(-1);
  o->kind = static_cast<std::int32_t>(kind);
  o->left = l;
  o->top = t;
  o->right = r;
  o->bottom = b;
  o->penColour = pen;
  o->fillColour = fill;
  o->penWidth = penWidth;
  doc.InsertAtHead(o);
  return *o;
}

inline ShapeStyle Style(Colour pen, Colour fill, std::int64_t width = 1) {
  ShapeStyle s;
  s.hasPen = pen != kNoColour;
  s.pen = s.hasPen ? CanvasPixel(pen) : 0;
  s.hasFill = fill != kNoColour;
  s.fill = s.hasFill ? CanvasPixel(fill) : 0;
  s.penWidth = width;
  return s;
}

// The dots of the canvas that hold exactly `pixel`, or that are not white.
inline std::set<Dot> DotsOf(const Canvas& canvas, std::uint32_t pixel) {
  std::set<Dot> dots;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (canvas.Pixel(x, y) == pixel) {
        dots.insert({x, y});
      }
    }
  }
  return dots;
}
inline std::set<Dot> InkOf(const Canvas& canvas) {
  std::set<Dot> dots;
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      if (canvas.Pixel(x, y) != kWhitePixel) {
        dots.insert({x, y});
      }
    }
  }
  return dots;
}

inline bool PrintedAt(const WatermarkImage& image, int width, int x, int y) {
  const int rowBytes = (width + 7) / 8;
  return (image[9 + static_cast<std::size_t>(y * rowBytes + x / 8)] & (0x80 >> (x % 8))) != 0;
}

inline int PrintedCount(const WatermarkImage& image) {
  int count = 0;
  for (std::size_t i = 9; i < image.size(); ++i) {
    count += __builtin_popcount(image[i]);
  }
  return count;
}

}  // namespace azuz::test
