#include "BmpDecoder.h"

#include <new>

#include "BmpLayout.h"
#include "BmpRle.h"
#include "BmpRows.h"

namespace azuz {

std::optional<Picture> DecodeBmp(std::span<const std::uint8_t> bytes, std::string* why) {
  std::string reason;
  bmp::BmpLayout layout;
  std::optional<Picture> picture;
  try {
    if (bmp::ReadBmpLayout(bytes, layout, reason) &&
        (layout.RunLength() || bmp::RowsPresent(bytes, layout, reason))) {
      // The size was checked against the limits before this first allocation. Pixels run-length
      // codes skip stay white, the colour of transparency here.
      picture.emplace();
      picture->width = static_cast<int>(layout.width);
      picture->height = static_cast<int>(layout.height);
      picture->pixels.assign(static_cast<std::size_t>(layout.width * layout.height), bmp::kWhite);
      const bool decoded = layout.RunLength() ? bmp::DecodeBmpRle(bytes, layout, *picture, reason)
                                              : bmp::DecodeBmpRows(bytes, layout, *picture, reason);
      if (!decoded) {
        picture.reset();
      }
    }
  } catch (const std::bad_alloc&) {
    picture.reset();
    reason = "not enough memory for the picture";
  }
  if (!picture && why != nullptr) {
    *why = reason;
  }
  return picture;
}

}  // namespace azuz
