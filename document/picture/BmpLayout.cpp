#include "BmpLayout.h"

#include <bit>
#include <string>

#include "LittleEndian.h"

namespace azuz::bmp {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::uint32_t kCoreHeaderSize = 12;  // OS/2 1.x: 16-bit sizes, 3-byte palette entries
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kOs2HeaderMax = 64;  // OS/2 2.x headers may stop after any field from 16 on

// Compression values; 3 and 4 mean different things in OS/2 2.x headers.
constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;  // OS/2: Huffman 1D
constexpr std::uint32_t kJpeg = 4;       // OS/2: RLE24
constexpr std::uint32_t kPng = 5;
constexpr std::uint32_t kAlphaBitFields = 6;

enum class HeaderKind { Core, Os2, Windows };

bool Fail(std::string& why, const std::string& reason) {
  why = reason;
  return false;
}

bool KnownWindowsSize(std::uint32_t size) {
  return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

// The fields of the info header the decoder uses; those past a short header read as 0.
struct InfoFields {
  HeaderKind kind = HeaderKind::Windows;
  std::uint32_t size = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;  // as stored: negative is top-down
  int bitsPerPixel = 0;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t masks[3] = {};  // red, green, blue as far as the header holds them
};

bool ReadInfoFields(std::span<const std::uint8_t> bytes, InfoFields& info, std::string& why) {
  const std::uint8_t* h = bytes.data() + kFileHeaderSize;
  info.size = ReadLe32(h);
  if (info.size == kCoreHeaderSize) {
    info.kind = HeaderKind::Core;
  } else if (KnownWindowsSize(info.size)) {
    info.kind = HeaderKind::Windows;
  } else if (info.size >= 16 && info.size <= kOs2HeaderMax && info.size % 2 == 0) {
    info.kind = HeaderKind::Os2;
  } else {
    return Fail(why, "unknown BMP header size " + std::to_string(info.size));
  }
  if (bytes.size() < kFileHeaderSize + info.size) {
    return Fail(why, "BMP header cut short");
  }
  if (info.kind == HeaderKind::Core) {
    info.width = ReadLe16(h + 4);
    info.height = ReadLe16(h + 6);
    info.bitsPerPixel = ReadLe16(h + 10);
    return true;
  }
  auto field = [&](std::uint32_t offset) {
    return offset + 4 <= info.size ? ReadLe32(h + offset) : 0u;
  };
  info.width = ReadLe32s(h + 4);
  info.height = ReadLe32s(h + 8);
  info.bitsPerPixel = ReadLe16(h + 14);
  info.compression = field(16);
  info.coloursUsed = field(32);
  if (info.kind == HeaderKind::Windows) {
    for (int i = 0; i < 3; ++i) {
      info.masks[i] = field(40 + 4 * i);
    }
  }
  return true;
}

// Chooses the pixel encoding; false for what this decoder does not read.
bool ChooseEncoding(const InfoFields& info, BmpLayout& layout, std::string& why) {
  const int bpp = info.bitsPerPixel;
  const std::uint32_t c = info.compression;
  const bool os2 = info.kind == HeaderKind::Os2;
  if (c == kRgb) {
    if (bpp == 1 || bpp == 2 || bpp == 4 || bpp == 8 || bpp == 24) {
      layout.encoding = Encoding::Rows;
      return true;
    }
    // 16 and 32 bits without masks are 5-5-5 and 8-8-8; the fourth byte of 32 is not alpha.
    if (bpp == 16 || bpp == 32) {
      layout.encoding = Encoding::BitFields;
      const bool five = bpp == 16;
      return layout.colour[0].Set(five ? 0x7C00u : 0xFF0000u) &&
             layout.colour[1].Set(five ? 0x03E0u : 0x00FF00u) &&
             layout.colour[2].Set(five ? 0x001Fu : 0x0000FFu);
    }
    return Fail(why, std::to_string(bpp) + " bits per pixel not supported");
  }
  if (c == kRle8 && bpp == 8) {
    layout.encoding = Encoding::Rle8;
    return true;
  }
  if (c == kRle4 && bpp == 4) {
    layout.encoding = Encoding::Rle4;
    return true;
  }
  if (os2 && c == kJpeg && bpp == 24) {
    layout.encoding = Encoding::Rle24;
    return true;
  }
  if (!os2 && (c == kBitFields || c == kAlphaBitFields) && (bpp == 16 || bpp == 32)) {
    layout.encoding = Encoding::BitFields;
    return true;
  }
  if (!os2 && (c == kJpeg || c == kPng)) {
    return Fail(why, "BMP with an embedded JPEG or PNG not supported");
  }
  return Fail(why, "BMP compression " + std::to_string(c) + " with " + std::to_string(bpp) +
                       " bits per pixel not supported");
}

// Bit-field masks: in the header from V2 on, otherwise right after a 40-byte header.
// Returns the number of mask bytes that follow the header.
bool ReadMasks(std::span<const std::uint8_t> bytes, const InfoFields& info, BmpLayout& layout,
               std::size_t& trailing, std::string& why) {
  trailing = 0;
  if (layout.encoding != Encoding::BitFields || info.compression == kRgb) {
    return true;
  }
  std::uint32_t masks[3] = {info.masks[0], info.masks[1], info.masks[2]};
  if (info.size == kInfoHeaderSize) {
    trailing = info.compression == kAlphaBitFields ? 16 : 12;
    const std::size_t at = kFileHeaderSize + info.size;
    if (bytes.size() < at + trailing) {
      return Fail(why, "BMP bit-field masks cut short");
    }
    for (std::size_t i = 0; i < 3; ++i) {
      masks[i] = ReadLe32(bytes.data() + at + 4 * i);
    }
  }
  if ((masks[0] | masks[1] | masks[2]) == 0) {
    return Fail(why, "BMP bit-field masks are all empty");
  }
  const std::uint64_t limit = std::uint64_t{1} << info.bitsPerPixel;
  for (int i = 0; i < 3; ++i) {
    if (masks[i] >= limit || !layout.colour[i].Set(masks[i])) {
      return Fail(why, "BMP bit-field mask is not usable");
    }
  }
  return true;
}

bool ReadPalette(std::span<const std::uint8_t> bytes, const InfoFields& info, std::size_t start,
                 BmpLayout& layout, std::string& why) {
  const std::size_t entrySize = info.kind == HeaderKind::Core ? 3 : 4;
  const std::size_t end = layout.pixelOffset > start ? layout.pixelOffset : start;
  const std::size_t room = (std::min(end, bytes.size()) - start) / entrySize;
  // A count beyond any palette that also overruns the room before the pixels is damage.
  if (info.coloursUsed > 256 && info.coloursUsed > room) {
    return Fail(why, "BMP palette size " + std::to_string(info.coloursUsed) + " is absurd");
  }
  if (info.bitsPerPixel > 8) {
    return true;  // a palette beside direct colour only suggests display colours
  }
  const std::size_t wanted = std::size_t{1} << info.bitsPerPixel;
  std::size_t count =
      info.coloursUsed != 0 ? std::min<std::size_t>(info.coloursUsed, wanted) : wanted;
  count = std::min(count, room);
  layout.palette.resize(count);
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint8_t* p = bytes.data() + start + i * entrySize;
    layout.palette[i] = Rgb(p[2], p[1], p[0]);
  }
  return true;
}

}  // namespace

bool Channel::Set(std::uint32_t newMask) {
  mask = newMask;
  if (newMask == 0) {
    shift = 0;
    bits = 0;
    max = 0;
    return true;
  }
  shift = std::countr_zero(newMask);
  const std::uint32_t field = newMask >> shift;
  if ((field & (field + 1)) != 0) {
    return false;
  }
  bits = std::popcount(field);
  max = field;
  return true;
}

bool ReadBmpLayout(std::span<const std::uint8_t> bytes, BmpLayout& layout, std::string& why) {
  if (bytes.size() < kFileHeaderSize + 4 || bytes[0] != 'B' || bytes[1] != 'M') {
    return Fail(why, bytes.size() >= 2 && bytes[0] == 'B' && bytes[1] == 'A'
                         ? "OS/2 bitmap arrays not supported"
                         : "not a BMP picture");
  }
  InfoFields info;
  if (!ReadInfoFields(bytes, info, why)) {
    return false;
  }
  layout.width = info.width;
  layout.topDown = info.height < 0;
  layout.height = info.height < 0 ? -info.height : info.height;
  layout.bitsPerPixel = info.bitsPerPixel;
  if (!PictureSizeAllowed(layout.width, layout.height)) {
    return Fail(why, "BMP size " + std::to_string(info.width) + " x " +
                         std::to_string(info.height) + " refused");
  }
  std::size_t trailing = 0;
  if (!ChooseEncoding(info, layout, why) || !ReadMasks(bytes, info, layout, trailing, why)) {
    return false;
  }
  const std::size_t paletteStart = kFileHeaderSize + info.size + trailing;
  const std::uint32_t offset = ReadLe32(bytes.data() + 10);
  if (offset == 0) {
    // Left unset by some writers: the pixels follow a full palette.
    const std::size_t entries = info.bitsPerPixel <= 8 ? std::size_t{1} << info.bitsPerPixel : 0;
    layout.pixelOffset = paletteStart + entries * (info.kind == HeaderKind::Core ? 3 : 4);
  } else {
    layout.pixelOffset = offset;
  }
  if (layout.pixelOffset < paletteStart || layout.pixelOffset >= bytes.size()) {
    return Fail(why,
                "BMP pixel data offset " + std::to_string(layout.pixelOffset) + " out of the file");
  }
  return ReadPalette(bytes, info, paletteStart, layout, why);
}

}  // namespace azuz::bmp
