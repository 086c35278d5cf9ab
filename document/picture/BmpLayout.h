#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "Picture.h"

// Internals of the BMP decoder: what its header part reads for the row and run-length parts.
namespace azuz::bmp {

enum class Encoding { Rows, BitFields, Rle8, Rle4, Rle24 };

// One colour channel of a bit-field pixel: the bits under `mask`, brought to 0..255.
struct Channel {
  std::uint32_t mask = 0;
  int shift = 0;
  int bits = 0;           // width of the field
  std::uint32_t max = 0;  // largest value the field holds; 0 for an absent channel

  // False for a mask whose bits are not contiguous.
  bool Set(std::uint32_t newMask);
  std::uint8_t Expand(std::uint32_t pixel) const {
    if (max == 0) {
      return 0;
    }
    const std::uint64_t v = (pixel & mask) >> shift;
    if (bits <= 8) {
      // A narrower field repeats its bits downwards (5-bit 3 is 24, 31 is 255), as the
      // platform's own loader widens them.
      std::uint64_t wide = 0;
      int filled = 0;
      while (filled < 8) {
        wide = (wide << bits) | v;
        filled += bits;
      }
      return static_cast<std::uint8_t>(wide >> (filled - 8));
    }
    return static_cast<std::uint8_t>((v * 255 + max / 2) / max);
  }
};

// What the headers say about the pixels; everything the pixel decoders need and nothing more.
struct BmpLayout {
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool topDown = false;
  int bitsPerPixel = 0;
  Encoding encoding = Encoding::Rows;
  // Red, green, blue of bit-field pixels. An alpha field is not read: like the platform's own
  // loader, which blits a BMP without blending, the colour channels are shown as stored.
  std::array<Channel, 3> colour;
  std::vector<std::uint32_t> palette;  // 0xFFRRGGBB, at most 256 entries
  std::size_t pixelOffset = 0;

  bool RunLength() const {
    return encoding == Encoding::Rle8 || encoding == Encoding::Rle4 || encoding == Encoding::Rle24;
  }
  // Colour of a palette index; an index past a short palette is black.
  std::uint32_t PaletteColour(unsigned index) const {
    return index < palette.size() ? palette[index] : 0xFF000000u;
  }
  // Picture row that the n-th stored row fills.
  std::int64_t TargetRow(std::int64_t storedRow) const {
    return topDown ? storedRow : height - 1 - storedRow;
  }
};

// Reads the file header, the info header, the bit-field masks and the palette. Checks everything
// that can be checked without the pixels, including the picture size limits.
bool ReadBmpLayout(std::span<const std::uint8_t> bytes, BmpLayout& layout, std::string& why);

inline constexpr std::uint32_t kWhite = 0xFFFFFFFFu;

inline std::uint32_t Rgb(std::uint32_t r, std::uint32_t g, std::uint32_t b) {
  return 0xFF000000u | (r << 16) | (g << 8) | b;
}

}  // namespace azuz::bmp
