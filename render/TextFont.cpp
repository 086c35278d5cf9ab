#include "TextFont.h"

#include FT_TRUETYPE_TABLES_H
#include FT_TRUETYPE_TAGS_H
#include FT_TRIGONOMETRY_H
#include FT_SIZES_H
#include FT_GLYPH_H

#include <algorithm>
#include <cstdlib>

namespace azuz {

namespace {

constexpr int kMaxPpem = 65535;
constexpr int kDefaultHeight = 16;  // a height of 0
constexpr std::uint8_t kNonAntialiasedQuality = 3;
constexpr unsigned kGaspDoGray = 0x0002;
constexpr FT_Fixed kOne = 0x10000;
constexpr FT_Fixed kQuarter = 0x4000;  // the fake italic slant, x' = x + y/4
constexpr std::int64_t kMaxWidthCells = 100;

struct VerticalUnits {
  FT_Long ascent = 0;
  FT_Long descent = 0;  // positive below the baseline
};

// usWinAscent/usWinDescent (the descent read as a signed 16-bit value), else hhea.
VerticalUnits WinMetrics(FT_Face face) {
  VerticalUnits v;
  if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
      os2 != nullptr && os2->version != 0xFFFF) {
    v.ascent = os2->usWinAscent;
    v.descent = std::abs(static_cast<std::int16_t>(os2->usWinDescent));
  }
  if (v.ascent + v.descent == 0) {
    v.ascent = face->ascender;
    v.descent = -face->descender;
  }
  return v;
}

// The first gasp range covering the size decides; no gasp table, or no range: grey.
bool GaspWantsBilevel(FT_Face face, int ppem) {
  FT_ULong length = 0;
  if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, nullptr, &length) != 0 || length < 4 ||
      length > 65536) {
    return false;
  }
  std::vector<FT_Byte> table(length);
  if (FT_Load_Sfnt_Table(face, TTAG_gasp, 0, table.data(), &length) != 0) {
    return false;
  }
  const unsigned ranges = (table[2] << 8) | table[3];
  for (unsigned i = 0; i < ranges && 4 + i * 4 + 4 <= length; ++i) {
    const FT_Byte* range = &table[4 + i * 4];
    const int maxPpem = (range[0] << 8) | range[1];
    const unsigned flags = (range[2] << 8) | range[3];
    if (maxPpem >= ppem) {
      return (flags & kGaspDoGray) == 0;
    }
  }
  return false;
}

bool IsIdentity(const FT_Matrix& m) {
  return m.xx == kOne && m.xy == 0 && m.yx == 0 && m.yy == kOne;
}

}  // namespace

TextFont::~TextFont() {
  if (size != nullptr) {
    FT_Done_Size(size);
  }
}

int PixelsPerEm(FT_Face face, std::int32_t height) {
  const std::int64_t h = height == 0 ? kDefaultHeight : height;
  std::int64_t ppem = 1;
  if (h > 0) {
    const VerticalUnits v = WinMetrics(face);
    const FT_Long units = std::max<FT_Long>(v.ascent + v.descent, 1);
    ppem = FT_MulDiv(face->units_per_EM, h, units);
    if (ppem > 1 && FT_MulDiv(units, ppem, face->units_per_EM) > h) {
      --ppem;
    }
    if (ppem > kMaxPpem) {
      ppem = 1;
    }
  } else {
    ppem = h < -kMaxPpem ? 1 : -h;
  }
  // A face whose cell is far taller than its em can round a height of 1 to 0 dots per em.
  return static_cast<int>(std::max<std::int64_t>(ppem, 1));
}

bool RealiseTextFont(FT_Face face, const FontRecord& record, const FaceChoice& choice,
                     TextFont& font) {
  font.face = face;
  font.fakeBold = choice.fakeBold;
  font.fakeItalic = choice.fakeItalic;
  font.ppem = PixelsPerEm(face, record.height);
  if (FT_New_Size(face, &font.size) != 0 || FT_Activate_Size(font.size) != 0 ||
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(font.ppem)) != 0) {
    return false;
  }

  const FT_Long upem = std::max<FT_Long>(face->units_per_EM, 1);
  const FT_Long em = FT_MulDiv(font.ppem, 0x10000, upem);
  const VerticalUnits v = WinMetrics(face);
  font.ascent = static_cast<int>(FT_MulFix(v.ascent, em));
  font.descent = static_cast<int>(FT_MulFix(v.descent, em));
  FT_Long underlinePos = face->underline_position;
  FT_Long underlineSize = face->underline_thickness;
  if (const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
      post != nullptr) {
    underlinePos = post->underlinePosition;
    underlineSize = post->underlineThickness;
  }
  font.underlinePosition = static_cast<int>(FT_MulFix(underlinePos, em));
  font.underlineSize = static_cast<int>(FT_MulFix(underlineSize, em));
  const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  if (os2 != nullptr && os2->version != 0xFFFF) {
    font.strikeOutPosition = static_cast<int>(FT_MulFix(os2->yStrikeoutPosition, em));
    font.strikeOutSize = static_cast<int>(FT_MulFix(os2->yStrikeoutSize, em));
  }

  if (record.quality == kNonAntialiasedQuality) {
    font.bilevel = true;
  } else if (!font.fakeBold && !font.fakeItalic) {
    font.bilevel = GaspWantsBilevel(face, font.ppem);
  }

  // lfWidth scales x by the ratio to the average character width, unless it asks for more
  // than 100 cell heights.
  FT_Fixed widthScale = kOne;
  if (record.height != 0 && record.width != 0) {
    const std::int64_t wanted = std::abs(static_cast<std::int64_t>(record.width));
    const std::int64_t cellHeight = font.ascent + font.descent;
    const FT_Long average =
        std::max<FT_Long>(1, FT_MulFix(os2 != nullptr ? os2->xAvgCharWidth : 0, em));
    if (cellHeight > 0 && (wanted + cellHeight - 1) / cellHeight <= kMaxWidthCells) {
      const double ratio = static_cast<double>(wanted) / static_cast<double>(average);
      if (ratio != 1.0) {
        widthScale = static_cast<FT_Fixed>(ratio * 65536.0);
      }
      // Cap: no em wider than 65535 dots, the tallest em a height can ask for. FreeType
      // cannot rasterise outlines much larger (26.6 coordinates past 2^24), and such a glyph
      // is wider than any page.
      widthScale = std::min<FT_Fixed>(widthScale, kMaxPpem * kOne / font.ppem);
    }
  }
  font.shape = {widthScale, 0, 0, kOne};
  if (font.fakeItalic) {
    const FT_Matrix slant{kOne, kQuarter, 0, kOne};
    FT_Matrix_Multiply(&slant, &font.shape);
  }
  font.shaped = !IsIdentity(font.shape);

  // A whole number of turns changes nothing of the 16.16 angle, so the escapement is reduced
  // first: FreeType's unit vector walks big angles down a quarter turn at a time.
  font.escapement = record.escapement;
  font.matrix = font.shape;
  if (record.escapement != 0) {
    FT_Vector unit;
    FT_Vector_Unit(&unit, FT_MulDiv(0x10000, record.escapement % 3600, 10));
    const FT_Matrix turn{unit.x, -unit.y, unit.y, unit.x};
    FT_Matrix_Multiply(&turn, &font.matrix);
  }
  font.transformed = !IsIdentity(font.matrix);

  const std::int64_t extreme =
      std::max({std::abs(face->bbox.xMin), std::abs(face->bbox.xMax), std::abs(face->bbox.yMin),
                std::abs(face->bbox.yMax), static_cast<FT_Pos>(upem)});
  const std::int64_t extremeDots = extreme * font.ppem / upem + 2;
  font.reach = extremeDots * (widthScale / kOne + 3) + font.ppem / 4 + 8;
  return true;
}

}  // namespace azuz
