#pragma once

#include <QMouseEvent>
#include <QSlider>

namespace azuz {

// A slider that reports when the mouse lets go of it, whether the handle was dragged or the
// groove clicked; keyboard moves report nothing.
class TrackBar : public QSlider {
  Q_OBJECT

 public:
  using QSlider::QSlider;

 signals:
  void ReleasedCapture();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override {
    QSlider::mouseReleaseEvent(event);
    emit ReleasedCapture();
  }
};

}  // namespace azuz
