#include "BmpDecoder.h"

#include <algorithm>
#include <new>

#include "BmpLayout.h"
#include "BmpRle.h"
#include "BmpRows.h"

namespace azuz {

namespace {

// Stores only the rows the run-length codes reach, white, each in its slot.
void AllocateReachedRows(const std::vector<bool>& reached, std::int64_t count, Picture& picture) {
  if (count == picture.height) {
    picture.pixels.assign(static_cast<std::size_t>(count * picture.width), kBlankPicturePixel);
    return;
  }
  picture.rowSlots.assign(reached.size(), Picture::kBlankRow);
  std::int32_t slot = 0;
  for (std::size_t y = 0; y < reached.size(); ++y) {
    if (reached[y]) {
      picture.rowSlots[y] = slot++;
    }
  }
  picture.pixels.assign(static_cast<std::size_t>(count * picture.width), kBlankPicturePixel);
}

bool Decode(std::span<const std::uint8_t> bytes, std::int64_t budget, Picture& picture,
            std::string& why) {
  bmp::BmpLayout layout;
  if (!bmp::ReadBmpLayout(bytes, layout, why)) {
    return false;
  }
  // The size was checked against the limits before any allocation below.
  picture.width = static_cast<int>(layout.width);
  picture.height = static_cast<int>(layout.height);
  if (layout.RunLength()) {
    std::vector<bool> reached;
    if (!bmp::ScanBmpRle(bytes, layout, reached, why)) {
      return false;
    }
    const auto rows = static_cast<std::int64_t>(std::count(reached.begin(), reached.end(), true));
    why = PictureBudgetRefusal(rows * layout.width, budget);
    if (!why.empty()) {
      return false;
    }
    AllocateReachedRows(reached, rows, picture);
    bmp::PaintBmpRle(bytes, layout, picture);
    return true;
  }
  if (!bmp::RowsPresent(bytes, layout, why)) {
    return false;
  }
  why = PictureBudgetRefusal(layout.width * layout.height, budget);
  if (!why.empty()) {
    return false;
  }
  picture.pixels.assign(static_cast<std::size_t>(layout.width * layout.height), kBlankPicturePixel);
  return bmp::DecodeBmpRows(bytes, layout, picture, why);
}

}  // namespace

std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> bytes, std::string* why,
                                 std::int64_t pixelBudget) {
  std::string reason;
  std::optional<Picture> picture(std::in_place);
  try {
    if (!Decode(bytes, pixelBudget, *picture, reason)) {
      picture.reset();
    }
  } catch (const std::bad_alloc&) {
    picture.reset();
    reason = "not enough memory for the picture";
  } catch (const std::exception& failure) {
    picture.reset();
    reason = failure.what();
  }
  if (!picture && why != nullptr) {
    *why = reason;
  }
  return picture;
}

}  // namespace azuz
