#include "FontChoice.h"

#include <cstdlib>
#include <limits>

namespace azuz {

std::int32_t MulDiv(std::int32_t a, std::int32_t b, std::int32_t c) {
  if (c == 0) {
    return -1;
  }
  const std::int64_t product = std::int64_t{a} * b;
  const std::int64_t half = std::llabs(c) / 2;
  // Round the magnitude, then give it the sign of the exact quotient.
  const bool negative = (product < 0) != (c < 0);
  const std::int64_t magnitude = (std::llabs(product) + half) / std::llabs(c);
  const std::int64_t result = negative ? -magnitude : magnitude;
  if (result > std::numeric_limits<std::int32_t>::max() ||
      result < std::numeric_limits<std::int32_t>::min()) {
    return -1;
  }
  return static_cast<std::int32_t>(result);
}

std::int32_t HeightForPointTenths(std::int32_t tenths) {
  return -MulDiv(tenths, 96, 720);
}

std::int32_t PointTenthsForPixelsPerEm(std::int32_t ppem) {
  return MulDiv(ppem, 720, 96);
}

FontChoice ChoiceFromRecord(const FontRecord& record, Colour colour, std::int32_t ppem) {
  FontChoice choice;
  choice.face = record.FaceName();
  choice.bold = record.weight > kBoldWeightAbove;
  choice.italic = record.italic != 0;
  choice.underline = record.underline != 0;
  choice.strikeOut = record.strikeOut != 0;
  choice.sizeTenths = PointTenthsForPixelsPerEm(ppem);
  choice.colour = colour;
  return choice;
}

FontRecord ApplyFontChoice(const FontRecord& record, const FontChoice& shown,
                           const FontChoice& chosen) {
  FontRecord out = record;
  if (chosen.face != shown.face) {
    out.SetFaceName(chosen.face);
  }
  if (chosen.bold != shown.bold) {
    out.weight = chosen.bold ? kBoldWeight : kRegularWeight;
  }
  if (chosen.italic != shown.italic) {
    out.italic = chosen.italic ? 1 : 0;
  }
  if (chosen.underline != shown.underline) {
    out.underline = chosen.underline ? 1 : 0;
  }
  if (chosen.strikeOut != shown.strikeOut) {
    out.strikeOut = chosen.strikeOut ? 1 : 0;
  }
  if (chosen.sizeTenths != shown.sizeTenths) {
    out.height = HeightForPointTenths(chosen.sizeTenths);
  }
  return out;
}

}  // namespace azuz
