#include "BmpRows.h"

#include <string>

#include "LittleEndian.h"

namespace azuz::bmp {

namespace {

void IndexedRow(const std::uint8_t* row, const BmpLayout& layout, std::uint32_t* out) {
  const int bpp = layout.bitsPerPixel;
  const auto width = static_cast<std::size_t>(layout.width);
  if (bpp == 8) {
    for (std::size_t x = 0; x < width; ++x) {
      out[x] = layout.PaletteColour(row[x]);
    }
    return;
  }
  const unsigned perByte = 8 / static_cast<unsigned>(bpp);
  const unsigned valueMask = (1u << bpp) - 1;
  for (std::size_t x = 0; x < width; ++x) {
    const unsigned slot = static_cast<unsigned>(x % perByte);
    const unsigned index = (row[x / perByte] >> (8 - bpp * (slot + 1))) & valueMask;
    out[x] = layout.PaletteColour(index);
  }
}

void TrueColourRow(const std::uint8_t* row, std::size_t width, std::uint32_t* out) {
  for (std::size_t x = 0; x < width; ++x, row += 3) {
    out[x] = Rgb(row[2], row[1], row[0]);
  }
}

void BitFieldRow(const std::uint8_t* row, const BmpLayout& layout, std::uint32_t* out) {
  const auto width = static_cast<std::size_t>(layout.width);
  const bool wide = layout.bitsPerPixel == 32;
  const auto& [r, g, b] = layout.colour;
  for (std::size_t x = 0; x < width; ++x) {
    const std::uint32_t pixel = wide ? ReadLe32(row + 4 * x) : ReadLe16(row + 2 * x);
    out[x] = Rgb(r.Expand(pixel), g.Expand(pixel), b.Expand(pixel));
  }
}

}  // namespace

namespace {

std::int64_t Stride(const BmpLayout& layout) {
  return (layout.width * layout.bitsPerPixel + 31) / 32 * 4;
}

}  // namespace

bool RowsPresent(std::span<const std::uint8_t> bytes, const BmpLayout& layout, std::string& why) {
  // The last row's padding may be missing; its pixels may not.
  const std::int64_t needed =
      (layout.height - 1) * Stride(layout) + (layout.width * layout.bitsPerPixel + 7) / 8;
  if (needed > static_cast<std::int64_t>(bytes.size() - layout.pixelOffset)) {
    why = "BMP pixel data cut short";
    return false;
  }
  return true;
}

bool DecodeBmpRows(std::span<const std::uint8_t> bytes, const BmpLayout& layout, Picture& picture,
                   std::string& why) {
  if (!RowsPresent(bytes, layout, why)) {
    return false;
  }
  const std::int64_t stride = Stride(layout);
  const auto width = static_cast<std::size_t>(layout.width);
  for (std::int64_t stored = 0; stored < layout.height; ++stored) {
    const std::uint8_t* row = bytes.data() + layout.pixelOffset + stored * stride;
    std::uint32_t* out = picture.pixels.data() + layout.TargetRow(stored) * layout.width;
    if (layout.encoding == Encoding::BitFields) {
      BitFieldRow(row, layout, out);
    } else if (layout.bitsPerPixel == 24) {
      TrueColourRow(row, width, out);
    } else {
      IndexedRow(row, layout, out);
    }
  }
  return true;
}

}  // namespace azuz::bmp
