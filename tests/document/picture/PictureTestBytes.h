#pragma once

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

// Small BMP and GIF files built byte by byte, so each test shows the exact bytes it feeds in.
namespace azuz::test {

using Bytes = std::vector<std::uint8_t>;

inline void PutLe16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline void PutLe32(Bytes& out, std::uint32_t v) {
  PutLe16(out, v & 0xFFFF);
  PutLe16(out, v >> 16);
}

struct BmpParts {
  std::uint32_t headerSize = 40;  // 12: OS/2 1.x core header; 40, 108, 124: Windows
  std::int32_t width = 1;
  std::int32_t height = 1;  // negative: top-down
  int bitsPerPixel = 24;
  std::uint32_t compression = 0;
  std::uint32_t coloursUsed = 0;
  std::vector<std::uint32_t> palette = {};  // 0xRRGGBB
  std::vector<std::uint32_t> masks = {};    // red, green, blue[, alpha]
  Bytes pixels = {};                        // stored exactly as given
};

inline Bytes MakeBmp(const BmpParts& parts) {
  const bool core = parts.headerSize == 12;
  const bool masksAfterHeader = parts.headerSize == 40 && !parts.masks.empty();
  const std::size_t paletteBytes = parts.palette.size() * (core ? 3 : 4);
  const std::uint32_t offset = static_cast<std::uint32_t>(
      14 + parts.headerSize + (masksAfterHeader ? 4 * parts.masks.size() : 0) + paletteBytes);
  Bytes out{'B', 'M'};
  PutLe32(out, static_cast<std::uint32_t>(offset + parts.pixels.size()));
  PutLe32(out, 0);
  PutLe32(out, offset);
  PutLe32(out, parts.headerSize);
  if (core) {
    PutLe16(out, static_cast<std::uint32_t>(parts.width));
    PutLe16(out, static_cast<std::uint32_t>(parts.height));
    PutLe16(out, 1);
    PutLe16(out, static_cast<std::uint32_t>(parts.bitsPerPixel));
  } else {
    PutLe32(out, static_cast<std::uint32_t>(parts.width));
    PutLe32(out, static_cast<std::uint32_t>(parts.height));
    PutLe16(out, 1);
    PutLe16(out, static_cast<std::uint32_t>(parts.bitsPerPixel));
    PutLe32(out, parts.compression);
    PutLe32(out, static_cast<std::uint32_t>(parts.pixels.size()));
    PutLe32(out, 2835);
    PutLe32(out, 2835);
    PutLe32(out, parts.coloursUsed);
    PutLe32(out, 0);
    for (std::uint32_t i = 0; i < (parts.headerSize - 40) / 4; ++i) {
      PutLe32(out, !masksAfterHeader && i < parts.masks.size() ? parts.masks[i] : 0);
    }
    if (masksAfterHeader) {
      for (std::uint32_t mask : parts.masks) {
        PutLe32(out, mask);
      }
    }
  }
  for (std::uint32_t colour : parts.palette) {
    out.push_back(static_cast<std::uint8_t>(colour));
    out.push_back(static_cast<std::uint8_t>(colour >> 8));
    out.push_back(static_cast<std::uint8_t>(colour >> 16));
    if (!core) {
      out.push_back(0);
    }
  }
  out.insert(out.end(), parts.pixels.begin(), parts.pixels.end());
  return out;
}

// Rows of raw bytes, each padded to four bytes as BMP rows are.
inline Bytes PaddedRows(const std::vector<Bytes>& rows) {
  Bytes out = {};
  for (const Bytes& row : rows) {
    out.insert(out.end(), row.begin(), row.end());
    out.resize(out.size() + (4 - row.size() % 4) % 4, 0);
  }
  return out;
}

struct GifFrame {
  int left = 0;
  int top = 0;
  int width = 1;
  int height = 1;
  bool interlaced = false;
  int transparent = -1;                          // a graphic control block when >= 0
  std::vector<std::uint32_t> localPalette = {};  // 0xRRGGBB; a power of two entries
  Bytes indices = {};                            // in stored order
};

struct GifParts {
  int screenWidth = 1;
  int screenHeight = 1;
  std::vector<std::uint32_t> globalPalette = {};  // 0xRRGGBB; a power of two entries
  std::vector<GifFrame> frames = {};
  bool trailer = true;
};

inline int PaletteBits(std::size_t entries) {
  int bits = 1;
  while ((std::size_t{1} << bits) < entries) {
    ++bits;
  }
  return bits;
}

inline void PutPalette(Bytes& out, const std::vector<std::uint32_t>& palette) {
  for (std::uint32_t colour : palette) {
    out.push_back(static_cast<std::uint8_t>(colour >> 16));
    out.push_back(static_cast<std::uint8_t>(colour >> 8));
    out.push_back(static_cast<std::uint8_t>(colour));
  }
}

// LZW data that never grows its code width: a clear code before every two pixels keeps the
// table at most one entry long, so each pixel is a literal code.
inline Bytes LiteralLzw(const Bytes& indices, int minCodeSize) {
  const std::uint32_t clear = 1u << minCodeSize;
  const int width = minCodeSize + 1;
  Bytes packed = {};
  std::uint32_t buffer = 0;
  int bits = 0;
  auto put = [&](std::uint32_t code) {
    buffer |= code << bits;
    bits += width;
    while (bits >= 8) {
      packed.push_back(static_cast<std::uint8_t>(buffer));
      buffer >>= 8;
      bits -= 8;
    }
  };
  for (std::size_t i = 0; i < indices.size(); ++i) {
    if (i % 2 == 0) {
      put(clear);
    }
    put(indices[i]);
  }
  put(clear + 1);
  if (bits > 0) {
    packed.push_back(static_cast<std::uint8_t>(buffer));
  }
  Bytes out{static_cast<std::uint8_t>(minCodeSize)};
  for (std::size_t at = 0; at < packed.size(); at += 255) {
    const std::size_t n = std::min<std::size_t>(255, packed.size() - at);
    out.push_back(static_cast<std::uint8_t>(n));
    out.insert(out.end(), packed.begin() + static_cast<std::ptrdiff_t>(at),
               packed.begin() + static_cast<std::ptrdiff_t>(at + n));
  }
  out.push_back(0);
  return out;
}

inline Bytes MakeGif(const GifParts& parts) {
  Bytes out{'G', 'I', 'F', '8', '9', 'a'};
  PutLe16(out, static_cast<std::uint32_t>(parts.screenWidth));
  PutLe16(out, static_cast<std::uint32_t>(parts.screenHeight));
  const bool global = !parts.globalPalette.empty();
  out.push_back(
      global ? static_cast<std::uint8_t>(0x80 | (PaletteBits(parts.globalPalette.size()) - 1)) : 0);
  out.push_back(0);  // background
  out.push_back(0);  // aspect
  PutPalette(out, parts.globalPalette);
  for (const GifFrame& frame : parts.frames) {
    if (frame.transparent >= 0) {
      out.insert(out.end(), {0x21, 0xF9, 0x04, 0x01, 0x00, 0x00,
                             static_cast<std::uint8_t>(frame.transparent), 0x00});
    }
    out.push_back(0x2C);
    PutLe16(out, static_cast<std::uint32_t>(frame.left));
    PutLe16(out, static_cast<std::uint32_t>(frame.top));
    PutLe16(out, static_cast<std::uint32_t>(frame.width));
    PutLe16(out, static_cast<std::uint32_t>(frame.height));
    const bool local = !frame.localPalette.empty();
    std::uint8_t flags = frame.interlaced ? 0x40 : 0x00;
    if (local) {
      flags |= static_cast<std::uint8_t>(0x80 | (PaletteBits(frame.localPalette.size()) - 1));
    }
    out.push_back(flags);
    PutPalette(out, frame.localPalette);
    const std::size_t entries = local ? frame.localPalette.size() : parts.globalPalette.size();
    const Bytes data = LiteralLzw(frame.indices, std::max(2, PaletteBits(entries)));
    out.insert(out.end(), data.begin(), data.end());
  }
  if (parts.trailer) {
    out.push_back(0x3B);
  }
  return out;
}

inline void WriteFile(const std::string& path, const Bytes& bytes) {
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

}  // namespace azuz::test
