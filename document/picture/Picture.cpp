#include "Picture.h"

namespace azuz {

bool Picture::Consistent() const {
  if (width <= 0 || height <= 0) {
    return false;
  }
  const auto w = static_cast<std::size_t>(width);
  if (rowSlots.empty()) {
    return pixels.size() == w * static_cast<std::size_t>(height);
  }
  if (rowSlots.size() != static_cast<std::size_t>(height) || pixels.size() % w != 0) {
    return false;
  }
  const auto stored = static_cast<std::int64_t>(pixels.size() / w);
  for (const std::int32_t slot : rowSlots) {
    if (slot != kBlankRow && (slot < 0 || slot >= stored)) {
      return false;
    }
  }
  return true;
}

std::string PictureBudgetRefusal(std::int64_t needed, std::int64_t budget) {
  if (needed <= budget) {
    return {};
  }
  return "picture refused: it needs " + std::to_string(needed) +
         " decoded pixels and the design's " + "pictures have " +
         std::to_string(budget < 0 ? 0 : budget) + " left of their " +
         std::to_string(kDesignPicturePixels);
}

}  // namespace azuz
