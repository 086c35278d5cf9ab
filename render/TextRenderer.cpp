#include "TextRenderer.h"

#include <algorithm>
#include <vector>

#include "GlyphCache.h"
#include "TextCharacters.h"
#include "TextLayout.h"
#include "TextPaint.h"

namespace azuz {

namespace {

// The corner of the object's rectangle that holds the top-left of the first character cell.
TextPoint AnchorOf(const DrawObject& object) {
  switch (object.rotation) {
    case 1:
      return {object.left, object.bottom};
    case 2:
      return {object.right, object.top};
    case 3:
      return {object.right, object.bottom};
    default:
      return {object.left, object.top};
  }
}

// Blends the part of one glyph's image that lies on the canvas.
void DrawGlyph(Canvas& canvas, GlyphCache& cache, TextFont& font, FT_UInt glyph,
               const GlyphEntry& entry, TextPoint pen, Colour colour,
               std::vector<std::uint8_t>& scratch) {
  const std::int64_t x = pen.x + entry.left;
  const std::int64_t y = pen.y + entry.top;
  const std::int64_t x0 = std::max<std::int64_t>(x, 0);
  const std::int64_t y0 = std::max<std::int64_t>(y, 0);
  const std::int64_t x1 = std::min<std::int64_t>(x + entry.width, canvas.Width());
  const std::int64_t y1 = std::min<std::int64_t>(y + entry.height, canvas.Height());
  if (x0 >= x1 || y0 >= y1) {
    return;
  }
  if (entry.imageCached) {
    BlendLevels(canvas, x, y, entry.levels.data(), static_cast<int>(entry.width),
                static_cast<int>(entry.height), static_cast<std::size_t>(entry.width), colour);
    return;
  }
  const int w = static_cast<int>(x1 - x0);
  const int h = static_cast<int>(y1 - y0);
  if (cache.RenderPart(font, glyph, x0 - x, y0 - y, w, h, scratch)) {
    BlendLevels(canvas, x0, y0, scratch.data(), w, h, static_cast<std::size_t>(w), colour);
  }
}

}  // namespace

void DrawTextObject(Canvas& canvas, const DrawObject& object) {
  const TextPoint anchor = AnchorOf(object);
  DrawTextAt(canvas, object.text, object.font, object.textColour, anchor.x, anchor.y);
}

void DrawTextAt(Canvas& canvas, const std::string& text, const FontRecord& record, Colour colour,
                std::int64_t x, std::int64_t y) {
  if (colour == kNoColour || text.empty() || canvas.Width() <= 0 || canvas.Height() <= 0) {
    return;
  }
  GlyphCache& cache = SharedGlyphCache();
  cache.Trim();
  TextFont* font = cache.FontFor(record);
  if (font == nullptr) {
    return;
  }
  const bool bars = record.underline != 0 || record.strikeOut != 0;
  std::vector<std::uint8_t> scratch;
  const TextRun run =
      LayOutText(cache, *font, DecodeTextBytes(text), TextPoint{x, y}, canvas.Width(),
                 canvas.Height(), bars, [&](FT_UInt glyph, const GlyphEntry& entry, TextPoint pen) {
                   DrawGlyph(canvas, cache, *font, glyph, entry, pen, colour, scratch);
                 });

  // Bars go over the glyphs in the plain text colour.
  const std::uint32_t solid = ToPixel(colour);
  if (record.underline != 0) {
    FillQuadrilateral(canvas, LineBarCorners(run, font->underlineSize, font->underlinePosition),
                      solid);
  }
  if (record.strikeOut != 0) {
    FillQuadrilateral(canvas, LineBarCorners(run, font->strikeOutSize, font->strikeOutPosition),
                      solid);
  }
}

}  // namespace azuz
