#include "RenderedArea.h"

#include <QPainter>

namespace azuz {

RenderedArea::RenderedArea(const QString& objectName, const QString& name, QSize size, Draw draw,
                           QWidget* parent)
    : QWidget(parent), size_(size), draw_(std::move(draw)) {
  setObjectName(objectName);
  setAccessibleName(name);
  setFixedSize(size_);
  // Every dot is painted: nothing of the dialog shows through.
  setAttribute(Qt::WA_OpaquePaintEvent);
}

QImage RenderedArea::Render() const {
  Canvas canvas(width(), height(), kWhitePixel);
  if (draw_) {
    draw_(canvas);
  }
  // The canvas has an opaque 32-bit image's layout; the copy detaches it from the canvas.
  return QImage(reinterpret_cast<const uchar*>(canvas.Data()), canvas.Width(), canvas.Height(),
                canvas.Width() * 4, QImage::Format_RGB32)
      .copy();
}

void RenderedArea::paintEvent(QPaintEvent*) {
  Canvas canvas(width(), height(), kWhitePixel);
  if (draw_) {
    draw_(canvas);
  }
  const QImage image(reinterpret_cast<const uchar*>(canvas.Data()), canvas.Width(), canvas.Height(),
                     canvas.Width() * 4, QImage::Format_RGB32);
  QPainter painter(this);
  painter.drawImage(0, 0, image);
  painter.end();
  emit Painted();
}

}  // namespace azuz
