#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "GlyphCache.h"
#include "TextFont.h"

namespace azuz {

struct TextPoint {
  std::int64_t x = 0;
  std::int64_t y = 0;
  bool operator==(const TextPoint&) const = default;
};

// Where a line of text went: its baseline start and the displacement to its end (the extent,
// turned with the escapement), in canvas dots, y downwards.
struct TextRun {
  TextPoint start;
  TextPoint end;  // relative to start
  bool turned = false;
  double cosE = 1.0;
  double sinE = 0.0;
};

// Called for every glyph that may reach the canvas, with its pen position on the baseline.
using GlyphPlacer = std::function<void(FT_UInt glyph, const GlyphEntry& entry, TextPoint pen)>;

// Lays the characters out from the reference point (top-left of the first cell, in the text's
// own turned frame). Stops placing glyphs once the pen has left a `width` x `height` canvas
// for good; with `wholeRun` the run's end is still summed over every character (a tilted
// underline depends on it).
TextRun LayOutText(GlyphCache& cache, TextFont& font, const std::u32string& text,
                   TextPoint reference, int width, int height, bool wholeRun,
                   const GlyphPlacer& place);

// Corners of an underline or strike-out bar of the given size and position (dots above the
// baseline), in fill order.
std::array<TextPoint, 4> LineBarCorners(const TextRun& run, int size, int position);

}  // namespace azuz
