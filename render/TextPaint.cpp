#include "TextPaint.h"

#include <algorithm>

namespace azuz {

namespace {

// Share of the text colour per grey level.
constexpr int kRamp[17] = {0,   77,  104, 124, 140, 154, 167, 178, 189,
                           199, 208, 217, 225, 233, 240, 248, 255};

int BlendChannel(int d, int t, int level) {
  if (d == t) {
    return d;
  }
  if (d > t) {
    const int top = kRamp[16 - level] + (255 - kRamp[16 - level]) * t / 255;
    return t + (d - t) * (top - t) / (255 - t);
  }
  const int bottom = kRamp[level] * t / 255;
  return t - (t - d) * (t - bottom) / t;
}

__extension__ typedef __int128 Wide;

// ceil(a + n / d) for d != 0, exactly.
std::int64_t CeilOffset(std::int64_t a, Wide n, Wide d) {
  if (d < 0) {
    n = -n;
    d = -d;
  }
  const Wide q = n >= 0 ? (n + d - 1) / d : n / d;
  return a + static_cast<std::int64_t>(q);
}

}  // namespace

std::uint32_t BlendTextDot(std::uint32_t pixel, int level, Colour colour) {
  if (level <= 1) {
    return pixel;
  }
  if (level >= 16) {
    return ToPixel(colour);
  }
  const int r = BlendChannel(static_cast<int>((pixel >> 16) & 0xFF), RedOf(colour), level);
  const int g = BlendChannel(static_cast<int>((pixel >> 8) & 0xFF), GreenOf(colour), level);
  const int b = BlendChannel(static_cast<int>(pixel & 0xFF), BlueOf(colour), level);
  return 0xFF000000u | (static_cast<std::uint32_t>(r) << 16) |
         (static_cast<std::uint32_t>(g) << 8) | static_cast<std::uint32_t>(b);
}

void BlendLevels(Canvas& canvas, std::int64_t x, std::int64_t y, const std::uint8_t* levels,
                 int width, int height, std::size_t stride, Colour colour) {
  const std::int64_t x0 = std::max<std::int64_t>(x, 0);
  const std::int64_t y0 = std::max<std::int64_t>(y, 0);
  const std::int64_t x1 = std::min<std::int64_t>(x + width, canvas.Width());
  const std::int64_t y1 = std::min<std::int64_t>(y + height, canvas.Height());
  for (std::int64_t cy = y0; cy < y1; ++cy) {
    std::uint32_t* row = canvas.Row(static_cast<int>(cy));
    const std::uint8_t* source = levels + static_cast<std::size_t>(cy - y) * stride;
    for (std::int64_t cx = x0; cx < x1; ++cx) {
      const int level = source[cx - x];
      if (level > 1) {
        row[cx] = BlendTextDot(row[cx], level, colour);
      }
    }
  }
}

void FillQuadrilateral(Canvas& canvas, const std::array<TextPoint, 4>& corners,
                       std::uint32_t pixel) {
  std::int64_t top = corners[0].y;
  std::int64_t bottom = corners[0].y;
  for (const TextPoint& p : corners) {
    top = std::min(top, p.y);
    bottom = std::max(bottom, p.y);
  }
  top = std::max<std::int64_t>(top, 0);
  bottom = std::min<std::int64_t>(bottom, canvas.Height());
  for (std::int64_t y = top; y < bottom; ++y) {
    std::int64_t xs[4];
    int count = 0;
    for (int i = 0; i < 4; ++i) {
      const TextPoint& a = corners[i];
      const TextPoint& b = corners[(i + 1) % 4];
      if (a.y == b.y || y < std::min(a.y, b.y) || y >= std::max(a.y, b.y)) {
        continue;
      }
      xs[count++] = CeilOffset(a.x, static_cast<Wide>(y - a.y) * (b.x - a.x), b.y - a.y);
    }
    for (int i = 1; i < count; ++i) {  // at most four crossings
      for (int j = i; j > 0 && xs[j - 1] > xs[j]; --j) {
        std::swap(xs[j - 1], xs[j]);
      }
    }
    std::uint32_t* row = canvas.Row(static_cast<int>(y));
    for (int i = 0; i + 1 < count; i += 2) {
      const std::int64_t from = std::max<std::int64_t>(xs[i], 0);
      const std::int64_t to = std::min<std::int64_t>(xs[i + 1], canvas.Width());
      for (std::int64_t x = from; x < to; ++x) {
        row[x] = pixel;
      }
    }
  }
}

}  // namespace azuz
