#pragma once

#include <cstdint>
#include <string>

#include "Colour.h"
#include "FontRecord.h"

namespace azuz {

// What the font chooser offers of a font: everything else in the record passes through it.
struct FontChoice {
  std::string face;  // system code page, as in the record
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  std::int32_t sizeTenths = 0;  // tenths of a point
  Colour colour = 0;

  bool operator==(const FontChoice&) const = default;
};

// Weights above this are bold, for the renderer as for the chooser.
inline constexpr std::int32_t kBoldWeightAbove = 550;
inline constexpr std::int32_t kRegularWeight = 400;
inline constexpr std::int32_t kBoldWeight = 700;

// a * b / c rounded half away from zero; -1 when c is 0 or the result leaves 32 bits.
std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c);

// The record height of a size on a 96-dpi screen: -MulDiv(tenths, 96, 720).
std::int32_t HeightForPointTenths(std::int32_t tenths);
// The size that many pixels per em make on a 96-dpi screen, in tenths of a point.
std::int32_t PointTenthsForPixelsPerEm(std::int32_t ppem);

// What the chooser shows for a record, drawn at `ppem` pixels per em.
FontChoice ChoiceFromRecord(const FontRecord& record, Colour colour, std::int32_t ppem);

// The record after the chooser: each offered field that the user changed from what was shown is
// written (a new size as a height, bold as 700 or 400); the others keep the record's value, so a
// chooser closed without a change hands back the record it was given.
FontRecord ApplyFontChoice(const FontRecord& record, const FontChoice& shown,
                           const FontChoice& chosen);

}  // namespace azuz
