#include "BmpRle.h"

#include <string>

namespace azuz::bmp {

namespace {

// Escape codes that follow a zero count.
constexpr std::uint8_t kEndOfLine = 0;
constexpr std::uint8_t kEndOfBitmap = 1;
constexpr std::uint8_t kDelta = 2;

// Walks the picture in stored order: x to the right, stored rows from the first. Runs that
// overshoot a row or the picture are clipped; `put` sees only dots inside it, as (x, picture row).
template <class Sink>
class RleCanvas {
 public:
  RleCanvas(const BmpLayout& layout, Sink& put) : layout_(layout), put_(put) {}

  void Put(std::uint32_t colour) {
    if (x_ < layout_.width && row_ < layout_.height) {
      put_(x_, layout_.TargetRow(row_), colour);
    }
    ++x_;
  }
  void NextLine() {
    x_ = 0;
    ++row_;
  }
  void Move(unsigned dx, unsigned dy) {
    x_ += dx;
    row_ += dy;
  }
  bool Filled() const { return row_ >= layout_.height; }

 private:
  const BmpLayout& layout_;
  Sink& put_;
  std::int64_t x_ = 0;
  std::int64_t row_ = 0;
};

// Bytes the pixels of an absolute run of n pixels take; the run is then padded to 16 bits.
std::size_t AbsoluteRunBytes(Encoding encoding, std::size_t n) {
  return encoding == Encoding::Rle4 ? (n + 1) / 2 : encoding == Encoding::Rle24 ? 3 * n : n;
}

template <class Canvas>
void PutAbsolute(const std::uint8_t* data, std::size_t n, const BmpLayout& layout, Canvas& canvas) {
  for (std::size_t i = 0; i < n; ++i) {
    switch (layout.encoding) {
      case Encoding::Rle8:
        canvas.Put(layout.PaletteColour(data[i]));
        break;
      case Encoding::Rle4:
        canvas.Put(layout.PaletteColour(i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 0x0F));
        break;
      default:
        canvas.Put(Rgb(data[3 * i + 2], data[3 * i + 1], data[3 * i]));
        break;
    }
  }
}

template <class Sink>
bool WalkRle(std::span<const std::uint8_t> bytes, const BmpLayout& layout, Sink& put,
             std::string& why) {
  RleCanvas<Sink> canvas(layout, put);
  const std::uint8_t* p = bytes.data() + layout.pixelOffset;
  const std::uint8_t* const end = bytes.data() + bytes.size();
  auto left = [&] { return static_cast<std::size_t>(end - p); };

  // Writers commonly end on the last row's end-of-line without an end-of-bitmap; running out of
  // data before the picture is filled means damage.
  while (!canvas.Filled()) {
    if (left() < 2) {
      why = "BMP run-length data cut short";
      return false;
    }
    const std::uint8_t count = p[0];
    const std::uint8_t code = p[1];
    p += 2;
    if (count > 0) {
      if (layout.encoding == Encoding::Rle24) {
        if (left() < 2) {
          why = "BMP run-length data cut short";
          return false;
        }
        const std::uint32_t colour = Rgb(p[1], p[0], code);
        p += 2;
        for (unsigned i = 0; i < count; ++i) {
          canvas.Put(colour);
        }
      } else if (layout.encoding == Encoding::Rle4) {
        const std::uint32_t pair[2] = {layout.PaletteColour(code >> 4),
                                       layout.PaletteColour(code & 0x0F)};
        for (unsigned i = 0; i < count; ++i) {
          canvas.Put(pair[i % 2]);
        }
      } else {
        const std::uint32_t colour = layout.PaletteColour(code);
        for (unsigned i = 0; i < count; ++i) {
          canvas.Put(colour);
        }
      }
      continue;
    }
    if (code == kEndOfLine) {
      canvas.NextLine();
    } else if (code == kEndOfBitmap) {
      return true;
    } else if (code == kDelta) {
      if (left() < 2) {
        why = "BMP run-length delta cut short";
        return false;
      }
      canvas.Move(p[0], p[1]);
      p += 2;
    } else {
      const std::size_t runBytes = AbsoluteRunBytes(layout.encoding, code);
      if (left() < runBytes) {
        why = "BMP run-length data cut short";
        return false;
      }
      PutAbsolute(p, code, layout, canvas);
      // The padding byte of the very last run may be missing.
      p += std::min((runBytes + 1) & ~std::size_t{1}, left());
    }
  }
  return true;
}

}  // namespace

bool ScanBmpRle(std::span<const std::uint8_t> bytes, const BmpLayout& layout,
                std::vector<bool>& rowsReached, std::string& why) {
  rowsReached.assign(static_cast<std::size_t>(layout.height), false);
  auto mark = [&rowsReached](std::int64_t, std::int64_t y, std::uint32_t) {
    rowsReached[static_cast<std::size_t>(y)] = true;
  };
  return WalkRle(bytes, layout, mark, why);
}

void PaintBmpRle(std::span<const std::uint8_t> bytes, const BmpLayout& layout, Picture& picture) {
  auto paint = [&picture](std::int64_t x, std::int64_t y, std::uint32_t colour) {
    picture.Row(static_cast<int>(y))[x] = colour;
  };
  std::string ignored;
  WalkRle(bytes, layout, paint, ignored);
}

}  // namespace azuz::bmp
