#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace azuz {

// What a picture shows where nothing was decoded: white, the colour of transparency here.
inline constexpr std::uint32_t kBlankPicturePixel = 0xFFFFFFFFu;

// A decoded picture at its own size: one 0xFFRRGGBB pixel per dot, rows top first, no padding.
// Pictures carry no transparency: decoders turn transparent pixels white.
//
// A run-length picture whose codes never reach some rows keeps only the rows they reach: then
// `rowSlots` holds, for every row, its place among the stored rows of `pixels`, or kBlankRow
// for a row that is white throughout. Empty `rowSlots` means every row is stored, in order.
struct Picture {
  static constexpr std::int32_t kBlankRow = -1;

  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::vector<std::int32_t> rowSlots;

  // The pixels of row y, or nullptr for a blank row.
  const std::uint32_t* Row(int y) const {
    const std::int32_t slot = rowSlots.empty() ? y : rowSlots[static_cast<std::size_t>(y)];
    return slot == kBlankRow
               ? nullptr
               : pixels.data() + static_cast<std::size_t>(slot) * static_cast<std::size_t>(width);
  }
  std::uint32_t* Row(int y) {
    return const_cast<std::uint32_t*>(static_cast<const Picture&>(*this).Row(y));
  }
  std::uint32_t At(int x, int y) const {
    const std::uint32_t* row = Row(y);
    return row != nullptr ? row[x] : kBlankPicturePixel;
  }
  // Decoded pixels held in memory: what a design's picture budget counts.
  std::int64_t StoredPixels() const { return static_cast<std::int64_t>(pixels.size()); }
  // The sizes agree: every row is stored whole or blank, and every slot lies inside `pixels`.
  bool Consistent() const;
};

// Decoders refuse anything larger before a single pixel is allocated.
inline constexpr int kMaxPictureSide = 16384;
inline constexpr std::int64_t kMaxPicturePixels = 64LL * 1024 * 1024;

// All the pictures of one design together hold no more decoded pixels than this, however many
// records name them: a picture allowed alone still fits into an otherwise empty design.
inline constexpr std::int64_t kDesignPicturePixels = kMaxPicturePixels;

inline bool PictureSizeAllowed(std::int64_t width, std::int64_t height) {
  return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
         width * height <= kMaxPicturePixels;
}

// Why a picture needing `needed` decoded pixels is refused when only `budget` are left; empty
// when it fits.
std::string PictureBudgetRefusal(std::int64_t needed, std::int64_t budget);

}  // namespace azuz
