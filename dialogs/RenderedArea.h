#pragma once

#include <QImage>
#include <QWidget>
#include <functional>

#include "Canvas.h"

namespace azuz {

// A dialog's placeholder whose pixels the shared renderer draws: every paint hands `draw` a
// white canvas of the area's own size and shows it 1:1, so a preview is the printer's output.
class RenderedArea : public QWidget {
  Q_OBJECT

 public:
  using Draw = std::function<void(Canvas&)>;
  // `objectName`: the control it stands for ("id1018"); `name`: what it shows, for screen
  // readers.
  RenderedArea(const QString& objectName, const QString& name, QSize size, Draw draw,
               QWidget* parent);

  // What a paint shows now, drawn afresh.
  QImage Render() const;

  QSize sizeHint() const override { return size_; }
  QSize minimumSizeHint() const override { return size_; }

 signals:
  // After each paint (tests and benchmarks wait for it).
  void Painted();

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QSize size_;
  Draw draw_;
};

}  // namespace azuz
