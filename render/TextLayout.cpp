// Built with -ffp-contract=off: the turned pen steps and bar corners must round exactly as
// plain binary64 multiplies and adds do.
#include "TextLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>

namespace azuz {

namespace {

std::int64_t Truncate(double v) {
  constexpr double kLimit = 9.0e18;
  return static_cast<std::int64_t>(std::clamp(v, -kLimit, kLimit));
}

TextRun LayOutUpright(GlyphCache& cache, TextFont& font, const std::u32string& text,
                      TextPoint reference, int width, const GlyphPlacer& place) {
  TextRun run;
  run.start = {reference.x, reference.y + font.ascent};
  // The pen steps by the image advances, the extent sums the metric ones; both only grow.
  std::int64_t penX = run.start.x;
  std::int64_t extent = 0;
  for (const char32_t c : text) {
    const FT_UInt glyph = cache.GlyphIndex(font, c);
    const GlyphEntry& entry = cache.Glyph(font, glyph);
    place(glyph, entry, {penX, run.start.y});
    penX += entry.imageAdvance;
    extent += entry.metricAdvance;
    if (penX - font.reach > width && run.start.x + extent > width) {
      break;
    }
  }
  run.end = {extent, 0};
  return run;
}

TextRun LayOutTurned(GlyphCache& cache, TextFont& font, const std::u32string& text,
                     TextPoint reference, int width, int height, bool wholeRun,
                     const GlyphPlacer& place) {
  TextRun run;
  run.turned = true;
  const double angle = static_cast<double>(font.escapement) * std::numbers::pi / 1800.0;
  run.cosE = std::cos(angle);
  run.sinE = std::sin(angle);
  run.start = {Truncate(static_cast<double>(reference.x) + font.ascent * run.sinE),
               Truncate(static_cast<double>(reference.y) + font.ascent * run.cosE)};

  // The pen only moves along (cosE, -sinE); once its projection on that direction passes
  // the canvas's farthest corner by more than a glyph's reach, nothing more can show.
  const double dirX = run.cosE;
  const double dirY = -run.sinE;
  const double farthest = std::max(0.0, width * dirX) + std::max(0.0, height * dirY);
  const double margin = 1.5 * static_cast<double>(font.reach) + 2.0;

  const double startAlong =
      static_cast<double>(run.start.x) * dirX + static_cast<double>(run.start.y) * dirY;
  // A bar starting beyond the canvas stays beyond it: its length is not needed then.
  wholeRun = wholeRun && startAlong - margin <= farthest;

  std::int64_t total = 0;
  TextPoint offset;
  bool placing = true;
  for (const char32_t c : text) {
    const FT_UInt glyph = cache.GlyphIndex(font, c);
    const GlyphEntry& entry = cache.Glyph(font, glyph);
    if (placing) {
      place(glyph, entry, {run.start.x + offset.x, run.start.y + offset.y});
    }
    total += entry.metricAdvance;
    offset = {Truncate(run.cosE * static_cast<double>(total)),
              Truncate(-run.sinE * static_cast<double>(total))};
    const double along = static_cast<double>(run.start.x + offset.x) * dirX +
                         static_cast<double>(run.start.y + offset.y) * dirY;
    if (placing && along - margin > farthest) {
      placing = false;
      if (!wholeRun) {
        break;
      }
    }
  }
  run.end = offset;
  return run;
}

}  // namespace

TextRun LayOutText(GlyphCache& cache, TextFont& font, const std::u32string& text,
                   TextPoint reference, int width, int height, bool wholeRun,
                   const GlyphPlacer& place) {
  if (font.escapement == 0) {
    return LayOutUpright(cache, font, text, reference, width, place);
  }
  return LayOutTurned(cache, font, text, reference, width, height, wholeRun, place);
}

std::array<TextPoint, 4> LineBarCorners(const TextRun& run, int size, int position) {
  const std::int64_t w = size == 0 ? 1 : std::abs(static_cast<std::int64_t>(size));
  const std::int64_t o = position + w / 2;
  const double s = run.turned ? run.sinE : 0.0;
  const double c = run.turned ? run.cosE : 1.0;
  const double x = static_cast<double>(run.start.x);
  const double y = static_cast<double>(run.start.y);
  const double od = static_cast<double>(o);
  const double wd = static_cast<double>(w);

  const TextPoint p0{Truncate(x - od * s), Truncate(y - od * c)};
  const TextPoint p1{Truncate(x + static_cast<double>(run.end.x) - od * s),
                     Truncate(y + static_cast<double>(run.end.y) - od * c)};
  const TextPoint p2{Truncate(static_cast<double>(p1.x) + wd * s),
                     Truncate(static_cast<double>(p1.y) + wd * c)};
  const TextPoint p3{Truncate(static_cast<double>(p0.x) + wd * s),
                     Truncate(static_cast<double>(p0.y) + wd * c)};
  return {p0, p1, p2, p3};
}

}  // namespace azuz
