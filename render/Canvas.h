#pragma once

#include <cstdint>
#include <vector>

#include "Colour.h"

namespace azuz {

// A 32-bit RGB drawing surface, one 0xFFRRGGBB pixel per dot, rows top first, no padding (the
// memory layout of an opaque 32-bit toolkit image, so the view can show it without a copy).
class Canvas {
 public:
  Canvas(int width, int height, std::uint32_t background = kWhitePixel);

  int Width() const { return width_; }
  int Height() const { return height_; }
  std::uint32_t* Data() { return pixels_.data(); }
  const std::uint32_t* Data() const { return pixels_.data(); }
  std::uint32_t* Row(int y) { return pixels_.data() + Offset(0, y); }
  const std::uint32_t* Row(int y) const { return pixels_.data() + Offset(0, y); }

  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width_ && y < height_; }
  std::uint32_t Pixel(int x, int y) const { return pixels_[Offset(x, y)]; }
  // Dots off the canvas are ignored.
  void SetPixel(int x, int y, std::uint32_t pixel) {
    if (Contains(x, y)) {
      pixels_[Offset(x, y)] = pixel;
    }
  }
  void Fill(std::uint32_t pixel);

 private:
  int width_;
  int height_;
  std::vector<std::uint32_t> pixels_;
  std::size_t Offset(int x, int y) const {
    return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) +
           static_cast<std::size_t>(x);
  }
};

}  // namespace azuz
