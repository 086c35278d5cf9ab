#include "RulerPainter.h"

#include <QFont>
#include <QFontMetrics>
#include <algorithm>

namespace azuz {

namespace {

const QColor kRulerColour(250, 230, 180);
const QColor kSurroundColour(180, 180, 180);

// Coordinates far outside the window are pulled in just beyond it, so that huge pages drawn
// through Qt's int geometry neither overflow nor change what is visible.
int Pull(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, -2, 1 << 24));
}

// A horizontal or vertical pen stroke from (x0, y0) to (x1, y1), the end point not drawn.
void AxisLine(QPainter& painter, std::int64_t x0, std::int64_t y0, std::int64_t x1,
              std::int64_t y1) {
  if (y0 == y1 && x0 != x1) {
    const std::int64_t last = x1 > x0 ? x1 - 1 : x1 + 1;
    painter.drawLine(Pull(x0), Pull(y0), Pull(last), Pull(y0));
  } else if (x0 == x1 && y0 != y1) {
    const std::int64_t last = y1 > y0 ? y1 - 1 : y1 + 1;
    painter.drawLine(Pull(x0), Pull(y0), Pull(x0), Pull(last));
  }
}

// Labels sit on an opaque white box with their top-left corner at the given point.
void Label(QPainter& painter, int x, int y, const QString& text) {
  const QFontMetrics metrics = painter.fontMetrics();
  const QRect cell(x, y, metrics.horizontalAdvance(text), metrics.height());
  painter.fillRect(cell, Qt::white);
  painter.drawText(cell, Qt::AlignLeft | Qt::AlignTop, text);
}

}  // namespace

void FillDotRect(QPainter& painter, const ViewRect& r, const QColor& colour) {
  if (r.right <= r.left || r.bottom <= r.top) {
    return;
  }
  const int left = Pull(r.left);
  const int top = Pull(r.top);
  painter.fillRect(QRect(left, top, Pull(r.right) - left, Pull(r.bottom) - top), colour);
}

void PaintRulersAndSurround(QPainter& painter, const ViewRect& client, const ViewRect& page) {
  FillDotRect(painter, {client.left, client.top, client.right, kRulerLine}, kRulerColour);
  FillDotRect(painter, {client.left, client.top, kRulerLine, client.bottom}, kRulerColour);

  painter.setPen(QPen(Qt::black, 0));
  AxisLine(painter, 0, kRulerLine, client.right, kRulerLine);
  AxisLine(painter, kRulerLine, 0, kRulerLine, client.bottom);

  QFont rulerFont(QStringLiteral("Arial"));
  rulerFont.setPointSize(7);
  painter.save();
  painter.setFont(rulerFont);
  const auto tick = [&](bool alongTop, std::int64_t at) {
    const std::int64_t k = (at - kRulerLine) / kTickSpacing;
    // Each stroke goes on from where the previous one ended, as pen moves do: along the top
    // ruler upwards from the ruler line, along the left one leftwards.
    std::int64_t from = kRulerLine;
    const auto strokeTo = [&](std::int64_t depth) {
      if (alongTop) {
        AxisLine(painter, at, from, at, depth);
      } else {
        AxisLine(painter, from, at, depth, at);
      }
      from = depth;
    };
    if (k % 10 == 0) {
      strokeTo(10);
      const QString number = QString::number(at - kRulerLine);
      if (alongTop) {
        Label(painter, Pull(at + 2), 5, number);
      } else {
        Label(painter, Pull(client.left + 1), Pull(at + 2), number);
      }
    }
    strokeTo(k % 5 == 0 ? 12 : 14);
  };
  for (std::int64_t x = kRulerLine + kTickSpacing; x < client.right; x += kTickSpacing) {
    tick(true, x);
  }
  for (std::int64_t y = kRulerLine + kTickSpacing; y < client.bottom; y += kTickSpacing) {
    tick(false, y);
  }
  painter.restore();

  FillDotRect(painter, {page.right + 1, page.top, client.right, client.bottom}, kSurroundColour);
  FillDotRect(painter, {page.left, page.bottom + 1, page.right + 1, client.bottom},
              kSurroundColour);
}

void PaintPageBorder(QPainter& painter, const ViewRect& page) {
  painter.setPen(QPen(Qt::black, 0));
  AxisLine(painter, page.right, page.top, page.right, page.bottom);
  AxisLine(painter, page.left, page.bottom, page.right + 1, page.bottom);
}

}  // namespace azuz
