#pragma once

#include <QDialog>
#include <cstdint>

#include "Canvas.h"
#include "Colour.h"

class QComboBox;

namespace azuz {

class RenderedArea;

// The line, fill and width of a Line, Rectangle or Ellipse, with a preview of the kind drawn by
// the shared renderer and a swatch of each colour. The caller fills the members, runs the
// dialog and reads them back on OK.
class CDlg_figure : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 137;

  explicit CDlg_figure(QWidget* parent = nullptr);

  Colour lineColour = 0x000000;
  Colour fillColour = 0xFFFFFF;
  std::int32_t lineWidth = 1;
  std::int32_t kind = 3;  // the figure the preview shows

  // The preview's pixels for the current members, and the two swatches'.
  RenderedArea* Preview() const { return preview_; }
  RenderedArea* LineSwatch() const { return lineSwatch_; }
  RenderedArea* FillSwatch() const { return fillSwatch_; }

  // Draws the figure of `kind` in a preview canvas: the framed area, the figure in the middle
  // half of it with a pen one dot wider than `lineWidth`.
  static void DrawPreview(Canvas& canvas, std::int32_t kind, Colour line, Colour fill,
                          std::int32_t lineWidth);

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QComboBox* widthCombo_;
  RenderedArea* preview_;
  RenderedArea* lineSwatch_;
  RenderedArea* fillSwatch_;
  bool initialised_ = false;

  void OnInitDialog();
  void OnWidthChosen(int entry);
  void ChooseColour(Colour& colour, const QString& title);
};

}  // namespace azuz
