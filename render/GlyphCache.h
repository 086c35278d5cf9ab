#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "FontMatcher.h"
#include "FontRecord.h"
#include "TextFont.h"

namespace azuz {

// FreeType, the face choice, the opened faces, the fonts realised from FontRecords and their
// glyphs, kept between drawings because looking faces up and hinting glyphs is slow.
// Not thread-safe.
class GlyphCache {
 public:
  GlyphCache();
  ~GlyphCache();
  GlyphCache(const GlyphCache&) = delete;
  GlyphCache& operator=(const GlyphCache&) = delete;

  // Null when no face is installed or FreeType refuses it. Valid until the next Trim().
  TextFont* FontFor(const FontRecord& record);

  FT_UInt GlyphIndex(const TextFont& font, char32_t character) const;

  // Metrics, box and (when small) the grey levels of a glyph; hinted on first use.
  const GlyphEntry& Glyph(TextFont& font, FT_UInt glyph);

  // Grey levels of the image part [x0, x0 + w) x [y0, y0 + h) (image dots, top row 0) of a glyph
  // whose image is too big to keep: only the part on the canvas is ever rasterised.
  bool RenderPart(TextFont& font, FT_UInt glyph, std::int64_t x0, std::int64_t y0, int w, int h,
                  std::vector<std::uint8_t>& levels);

  // Drops every realised font once the kept images pass their budget; call between drawings.
  void Trim();

  std::size_t CachedBytes() const { return cachedBytes_; }

  // The face choice the cache draws with; null when FreeType could not start.
  FontMatcher* Matcher() { return matcher_.get(); }

 private:
  struct Box {
    FT_Pos xMin = 0;
    FT_Pos yMin = 0;
    FT_Pos xMax = 0;
    FT_Pos yMax = 0;
  };

  FT_Face FaceFor(const FaceChoice& choice);
  bool LoadImageGlyph(TextFont& font, FT_UInt glyph, Box& box, FT_Pos& advance);
  bool RenderLoaded(TextFont& font, const Box& box, std::int64_t x0, std::int64_t y0, int w, int h,
                    std::vector<std::uint8_t>& levels);
  FT_Pos MetricLoadAdvance(TextFont& font, FT_UInt glyph);
  std::int64_t AdvanceDots(const TextFont& font, FT_Pos advance) const;

  using FontKey =
      std::tuple<std::string, int, bool, bool, std::int32_t, std::int32_t, std::int32_t, bool>;

  FT_Library library_ = nullptr;
  std::unique_ptr<FontMatcher> matcher_;
  std::map<std::pair<std::string, int>, FT_Face> faces_;
  std::map<FontKey, std::unique_ptr<TextFont>> fonts_;
  std::size_t cachedBytes_ = 0;
};

// The cache DrawTextObject uses, released at exit.
GlyphCache& SharedGlyphCache();

}  // namespace azuz
