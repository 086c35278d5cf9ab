#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "FontMatcher.h"
#include "FontRecord.h"

namespace azuz {

// A glyph as the text output uses it. Distances in dots; the image's top-left dot lies at
// (pen x + left, pen y + top), pen on the baseline, y downwards.
struct GlyphEntry {
  std::int64_t imageAdvance = 0;   // upright pen step, from the image load
  std::int64_t metricAdvance = 0;  // width in the text extent
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t width = 0;
  std::int64_t height = 0;
  bool imageCached = false;
  std::vector<std::uint8_t> levels;  // width x height grey levels 0-16 when imageCached
};

// A FontRecord realised on one face at one size: the numbers GDI's font object would hold.
struct TextFont {
  FT_Face face = nullptr;  // owned by the glyph cache
  FT_Size size = nullptr;  // owned by this font
  int ppem = 1;
  int ascent = 0;  // dots above the baseline
  int descent = 0;
  int underlineSize = 0;
  int underlinePosition = 0;
  int strikeOutSize = 0;
  int strikeOutPosition = 0;
  bool bilevel = false;
  bool fakeBold = false;
  bool fakeItalic = false;
  // Width scaling and slant (unturned) and the full matrix with the escapement's turn.
  FT_Matrix shape{0x10000, 0, 0, 0x10000};
  FT_Matrix matrix{0x10000, 0, 0, 0x10000};
  bool shaped = false;       // `shape` is not the identity
  bool transformed = false;  // `matrix` is not the identity
  std::int32_t escapement = 0;
  std::int64_t reach = 0;  // no glyph dot lies farther than this from its pen, in x or y

  std::unordered_map<FT_UInt, GlyphEntry> glyphs;

  TextFont() = default;
  TextFont(const TextFont&) = delete;
  TextFont& operator=(const TextFont&) = delete;
  ~TextFont();
};

// Pixels per em for a LOGFONT height on this face: 0 counts as 16, positive heights are cell
// heights, negative ones character heights; anything past 65535 becomes 1.
int PixelsPerEm(FT_Face face, std::int32_t height);

// Fills `font` for `record` on the chosen face (size, metrics, grey or bilevel, matrix).
// False when FreeType refuses the size.
bool RealiseTextFont(FT_Face face, const FontRecord& record, const FaceChoice& choice,
                     TextFont& font);

}  // namespace azuz
