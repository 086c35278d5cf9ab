#pragma once

#include <QPainter>
#include <cstdint>

namespace azuz {

// Edge-exclusive rectangles as the view measures them; 64-bit because the page edges come from
// the file's page size.
struct ViewRect {
  std::int64_t left = 0;
  std::int64_t top = 0;
  std::int64_t right = 0;
  std::int64_t bottom = 0;
};

inline constexpr int kPageOffset = 18;
inline constexpr int kRulerLine = 17;
inline constexpr int kTickSpacing = 10;

// The two ruler bands with their ticks and labels (a label at every 100 dots), and the grey
// surround right of and below the page.
void PaintRulersAndSurround(QPainter& painter, const ViewRect& client, const ViewRect& page);

// The line right of the page and the one below it; with the ruler lines they frame the page.
void PaintPageBorder(QPainter& painter, const ViewRect& page);

// Fills (left, top)-(right, bottom), right and bottom excluded; nothing when empty.
void FillDotRect(QPainter& painter, const ViewRect& r, const QColor& colour);

}  // namespace azuz
