#include "GlyphCache.h"

#include FT_DRIVER_H
#include FT_MODULE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_BITMAP_H
#include FT_TRIGONOMETRY_H

#include <algorithm>
#include <cstring>

namespace azuz {

namespace {

constexpr std::int64_t kMaxKeptImageDots = 65536;  // larger images: rasterised per draw
constexpr std::size_t kKeptImageBudget =
    std::size_t{32} * 1024 * 1024;  // bytes of grey levels kept
constexpr std::size_t kMaxKeptFonts = 64;
constexpr std::uint8_t kInk = 16;

FT_Pos Floor(FT_Pos v) {
  return v & -64;
}
FT_Pos Ceil(FT_Pos v) {
  return (v + 63) & -64;
}

// Coverage 0-255 to one of 17 levels.
std::uint8_t Level(unsigned coverage) {
  return static_cast<std::uint8_t>(coverage * 17 / 256);
}

FT_Error LoadHinted(FT_Face face, FT_UInt glyph, FT_Int32 flags) {
  const FT_Error error = FT_Load_Glyph(face, glyph, flags);
  return error == 0 ? 0 : FT_Load_Glyph(face, glyph, flags | FT_LOAD_NO_HINTING);
}

}  // namespace

GlyphCache::GlyphCache() {
  if (FT_Init_FreeType(&library_) != 0) {
    library_ = nullptr;
    return;
  }
  // Fixed here so that FREETYPE_PROPERTIES in the environment cannot change a single dot.
  FT_UInt interpreter = TT_INTERPRETER_VERSION_40;
  FT_Property_Set(library_, "truetype", "interpreter-version", &interpreter);
  matcher_ = std::make_unique<FontMatcher>(library_);
}

GlyphCache::~GlyphCache() {
  fonts_.clear();  // sizes go before their faces
  for (auto& [key, face] : faces_) {
    FT_Done_Face(face);
  }
  matcher_.reset();
  if (library_ != nullptr) {
    FT_Done_FreeType(library_);
  }
}

GlyphCache& SharedGlyphCache() {
  static GlyphCache cache;
  return cache;
}

void GlyphCache::Trim() {
  if (cachedBytes_ > kKeptImageBudget || fonts_.size() > kMaxKeptFonts) {
    fonts_.clear();
    cachedBytes_ = 0;
  }
}

FT_Face GlyphCache::FaceFor(const FaceChoice& choice) {
  const auto key = std::make_pair(choice.file, choice.index);
  const auto known = faces_.find(key);
  if (known != faces_.end()) {
    return known->second;
  }
  FT_Face face = nullptr;
  if (FT_New_Face(library_, choice.file.c_str(), choice.index, &face) != 0) {
    face = nullptr;
  } else if (!FT_IS_SCALABLE(face)) {
    FT_Done_Face(face);
    face = nullptr;
  }
  faces_.emplace(key, face);
  return face;
}

TextFont* GlyphCache::FontFor(const FontRecord& record) {
  if (library_ == nullptr) {
    return nullptr;
  }
  const FaceChoice choice = matcher_->Match(record);
  if (choice.file.empty()) {
    return nullptr;
  }
  const FontKey key{choice.file,   choice.index, choice.fakeBold,   choice.fakeItalic,
                    record.height, record.width, record.escapement, record.quality == 3};
  const auto known = fonts_.find(key);
  if (known != fonts_.end()) {
    return known->second.get();
  }
  FT_Face face = FaceFor(choice);
  if (face == nullptr) {
    return nullptr;
  }
  auto font = std::make_unique<TextFont>();
  if (!RealiseTextFont(face, record, choice, *font)) {
    return nullptr;
  }
  return fonts_.emplace(key, std::move(font)).first->second.get();
}

FT_UInt GlyphCache::GlyphIndex(const TextFont& font, char32_t character) const {
  return FT_Get_Char_Index(font.face, character);
}

// Loads the glyph as its image is made: hinted for the image's target, emboldened if faked,
// clamped to the cell, turned. Leaves the outline in the face's slot; `box` in 26.6.
bool GlyphCache::LoadImageGlyph(TextFont& font, FT_UInt glyph, Box& box, FT_Pos& advance) {
  FT_Int32 flags = FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH |
                   (font.bilevel ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
  if (!font.bilevel || font.transformed) {
    flags |= FT_LOAD_NO_BITMAP;
  }
  if (FT_Activate_Size(font.size) != 0 || LoadHinted(font.face, glyph, flags) != 0) {
    return false;
  }
  FT_GlyphSlot slot = font.face->glyph;
  advance = slot->metrics.horiAdvance;
  const FT_Pos cellTop = static_cast<FT_Pos>(font.ascent) * 64;
  const FT_Pos cellBottom = -static_cast<FT_Pos>(font.descent) * 64;

  if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
    // An embedded strike (bilevel, untransformed only): its dots as they are, cut to the cell.
    box.xMin = static_cast<FT_Pos>(slot->bitmap_left) * 64;
    box.xMax = box.xMin + static_cast<FT_Pos>(slot->bitmap.width) * 64;
    box.yMax = std::min<FT_Pos>(static_cast<FT_Pos>(slot->bitmap_top) * 64, cellTop);
    box.yMin = std::max<FT_Pos>(
        (static_cast<FT_Pos>(slot->bitmap_top) - static_cast<FT_Pos>(slot->bitmap.rows)) * 64,
        cellBottom);
    return true;
  }
  if (slot->format != FT_GLYPH_FORMAT_OUTLINE) {
    return false;
  }

  FT_Pos bearingX = slot->metrics.horiBearingX;
  FT_Pos bearingY = slot->metrics.horiBearingY;
  FT_Pos width = slot->metrics.width;
  FT_Pos height = slot->metrics.height;
  if (font.fakeBold) {
    FT_Outline_Embolden(&slot->outline, FT_MulDiv(font.ppem, 64, 24));
    FT_BBox cbox;
    FT_Outline_Get_CBox(&slot->outline, &cbox);
    bearingX = cbox.xMin;
    width = cbox.xMax - cbox.xMin;
    bearingY = cbox.yMax;
    height = cbox.yMax - cbox.yMin;
  }
  const FT_Pos top = std::min(bearingY, cellTop);
  const FT_Pos bottom = std::max(bearingY - height, cellBottom);
  box = {Floor(bearingX), Floor(bottom), Ceil(bearingX + width), Ceil(top)};

  if (font.transformed) {
    FT_Vector corners[4] = {
        {box.xMin, box.yMin}, {box.xMax, box.yMin}, {box.xMin, box.yMax}, {box.xMax, box.yMax}};
    FT_Pos xMin = 0, yMin = 0, xMax = 0, yMax = 0;
    for (int i = 0; i < 4; ++i) {
      FT_Vector_Transform(&corners[i], &font.matrix);
      xMin = i == 0 ? corners[i].x : std::min(xMin, corners[i].x);
      xMax = i == 0 ? corners[i].x : std::max(xMax, corners[i].x);
      yMin = i == 0 ? corners[i].y : std::min(yMin, corners[i].y);
      yMax = i == 0 ? corners[i].y : std::max(yMax, corners[i].y);
    }
    box = {Floor(xMin), Floor(yMin), Ceil(xMax), Ceil(yMax)};
    FT_Outline_Transform(&slot->outline, &font.matrix);
  }
  return true;
}

// Rasterises part of the loaded glyph's image into levels (w x h, top row first).
bool GlyphCache::RenderLoaded(TextFont& font, const Box& box, std::int64_t x0, std::int64_t y0,
                              int w, int h, std::vector<std::uint8_t>& levels) {
  levels.assign(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
  FT_GlyphSlot slot = font.face->glyph;
  if (slot->format == FT_GLYPH_FORMAT_BITMAP) {
    const FT_Bitmap& source = slot->bitmap;
    const std::int64_t skipRows = slot->bitmap_top - box.yMax / 64;
    for (int r = 0; r < h; ++r) {
      const std::int64_t sr = skipRows + y0 + r;
      if (sr < 0 || sr >= static_cast<std::int64_t>(source.rows)) {
        continue;
      }
      const unsigned char* row = source.buffer + sr * source.pitch;
      for (int c = 0; c < w; ++c) {
        const std::int64_t sc = x0 + c;
        std::uint8_t level = 0;
        if (source.pixel_mode == FT_PIXEL_MODE_MONO) {
          level = (row[sc >> 3] & (0x80 >> (sc & 7))) != 0 ? kInk : 0;
        } else if (source.pixel_mode == FT_PIXEL_MODE_GRAY) {
          level = Level(row[sc]);
        }
        levels[static_cast<std::size_t>(r) * w + c] = level;
      }
    }
    return true;
  }

  const bool mono = font.bilevel;
  const int pitch = mono ? (w + 7) / 8 : w;
  std::vector<unsigned char> buffer(static_cast<std::size_t>(pitch) * static_cast<std::size_t>(h));
  FT_Bitmap bitmap;
  FT_Bitmap_Init(&bitmap);
  bitmap.rows = static_cast<unsigned>(h);
  bitmap.width = static_cast<unsigned>(w);
  bitmap.pitch = pitch;
  bitmap.buffer = buffer.data();
  bitmap.pixel_mode = mono ? FT_PIXEL_MODE_MONO : FT_PIXEL_MODE_GRAY;
  bitmap.num_grays = 256;
  // The part's bottom-left corner goes to the origin; whatever falls outside is cut.
  const FT_Pos dx = box.xMin + static_cast<FT_Pos>(x0) * 64;
  const FT_Pos dy = box.yMax - static_cast<FT_Pos>(y0 + h) * 64;
  FT_Outline_Translate(&slot->outline, -dx, -dy);
  const FT_Error error = FT_Outline_Get_Bitmap(library_, &slot->outline, &bitmap);
  FT_Outline_Translate(&slot->outline, dx, dy);
  if (error != 0) {
    return false;
  }
  for (int r = 0; r < h; ++r) {
    const unsigned char* row = buffer.data() + static_cast<std::size_t>(r) * pitch;
    std::uint8_t* out = levels.data() + static_cast<std::size_t>(r) * w;
    for (int c = 0; c < w; ++c) {
      out[c] = mono ? ((row[c >> 3] & (0x80 >> (c & 7))) != 0 ? kInk : 0) : Level(row[c]);
    }
  }
  return true;
}

FT_Pos GlyphCache::MetricLoadAdvance(TextFont& font, FT_UInt glyph) {
  const FT_Int32 flags =
      FT_LOAD_IGNORE_GLOBAL_ADVANCE_WIDTH | FT_LOAD_TARGET_NORMAL | FT_LOAD_NO_BITMAP;
  if (FT_Activate_Size(font.size) != 0 || LoadHinted(font.face, glyph, flags) != 0) {
    return 0;
  }
  return font.face->glyph->metrics.horiAdvance;
}

// Whole dots of a hinted advance: through the unturned matrix when width-scaled or slanted,
// one more for a fake bold.
std::int64_t GlyphCache::AdvanceDots(const TextFont& font, FT_Pos advance) const {
  std::int64_t dots = Ceil(advance) / 64;
  if (font.shaped) {
    FT_Vector v{advance, 0};
    FT_Vector_Transform(&v, &font.shape);
    v.x = Ceil(v.x);
    v.y = Ceil(v.y);
    dots = (v.y == 0 ? std::abs(v.x) : FT_Vector_Length(&v)) / 64;
  }
  return dots + (font.fakeBold ? 1 : 0);
}

const GlyphEntry& GlyphCache::Glyph(TextFont& font, FT_UInt glyph) {
  const auto known = font.glyphs.find(glyph);
  if (known != font.glyphs.end()) {
    return known->second;
  }
  GlyphEntry entry;
  Box box;
  FT_Pos advance = 0;
  if (LoadImageGlyph(font, glyph, box, advance)) {
    entry.imageAdvance = AdvanceDots(font, advance);
    entry.left = box.xMin / 64;
    entry.top = -(box.yMax / 64);
    entry.width = std::max<std::int64_t>((box.xMax - box.xMin) / 64, 0);
    entry.height = std::max<std::int64_t>((box.yMax - box.yMin) / 64, 0);
    const std::int64_t dots = entry.width * entry.height;
    if (dots <= kMaxKeptImageDots &&
        cachedBytes_ + static_cast<std::size_t>(dots) <= kKeptImageBudget &&
        RenderLoaded(font, box, 0, 0, static_cast<int>(entry.width), static_cast<int>(entry.height),
                     entry.levels)) {
      entry.imageCached = true;
      cachedBytes_ += entry.levels.size();
    }
  }
  // Bilevel images come from the mono-hinted outline; widths always from the grey hinting.
  entry.metricAdvance =
      font.bilevel ? AdvanceDots(font, MetricLoadAdvance(font, glyph)) : entry.imageAdvance;
  return font.glyphs.emplace(glyph, std::move(entry)).first->second;
}

bool GlyphCache::RenderPart(TextFont& font, FT_UInt glyph, std::int64_t x0, std::int64_t y0, int w,
                            int h, std::vector<std::uint8_t>& levels) {
  Box box;
  FT_Pos advance = 0;
  return w > 0 && h > 0 && LoadImageGlyph(font, glyph, box, advance) &&
         RenderLoaded(font, box, x0, y0, w, h, levels);
}

}  // namespace azuz
