#include "AppIcon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace azuz {

namespace {

// The same drawing as packaging/vurodadud-azuz.svg, on a 64-unit grid.
QPixmap Draw(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 64.0, size / 64.0);

  QPainterPath receipt;
  receipt.moveTo(14, 4);
  receipt.lineTo(50, 4);
  receipt.lineTo(50, 60);
  for (int x = 50; x > 14; x -= 6) {
    receipt.lineTo(x - 3, 56);
    receipt.lineTo(x - 6, 60);
  }
  receipt.closeSubpath();
  p.setPen(QPen(QColor(0x44, 0x44, 0x44), 2));
  p.setBrush(Qt::white);
  p.drawPath(receipt);

  p.setPen(Qt::NoPen);
  p.setBrush(QColor(0xC8, 0xD8, 0xF0));
  p.drawEllipse(QRectF(20, 22, 24, 24));
  p.setPen(QPen(QColor(0x30, 0x30, 0x30), 3, Qt::SolidLine, Qt::FlatCap));
  for (int y : {12, 18, 30, 38, 46}) {
    p.drawLine(QLineF(19, y, y == 46 ? 34 : 45, y));
  }
  return pixmap;
}

}  // namespace

QIcon AppIcon() {
  QIcon icon;
  for (int size : {16, 24, 32, 48, 64, 128}) {
    icon.addPixmap(Draw(size));
  }
  return icon;
}

}  // namespace azuz
