#include "Canvas.h"

#include <algorithm>

namespace azuz {

Canvas::Canvas(int width, int height, std::uint32_t background)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      pixels_(static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_), background) {}

void Canvas::Fill(std::uint32_t pixel) {
  std::fill(pixels_.begin(), pixels_.end(), pixel);
}

}  // namespace azuz
