#pragma once

#include <QDialog>
#include <array>
#include <cstdint>
#include <string>

#include "Canvas.h"
#include "Colour.h"
#include "FontRecord.h"

class QComboBox;
class QLineEdit;

namespace azuz {

class RenderedArea;

// A Text object's text, font, colour and quarter-turn rotation, with a preview drawn by the
// shared text renderer from the preview's centre in the text's direction. The caller fills the
// members, runs the dialog and reads them back on OK; OK with an empty text ends as Cancel.
class CDlg_Text : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 134;

  // Escapement (tenths of a degree, counter-clockwise) of each rotation entry.
  static constexpr std::array<std::int32_t, 4> kEscapements = {0, 900, 2700, 1800};

  explicit CDlg_Text(QWidget* parent = nullptr);

  std::string text = "TEXT";  // system code page
  FontRecord font;            // its escapement follows the rotation shown
  Colour textColour = 0x000000;
  std::int32_t rotation = 0;
  std::int32_t pointSize = 10;  // whole points, as the font chooser last gave them

  RenderedArea* Preview() const { return preview_; }

  // Draws the preview: the text from the area's centre, in the direction of the rotation entry
  // (its escapement written into `font`), nothing for an empty text.
  static void DrawPreview(Canvas& canvas, const std::string& text, FontRecord& font, Colour colour,
                          int rotationEntry);

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* textEdit_;
  QComboBox* rotationCombo_;
  RenderedArea* preview_;
  bool initialised_ = false;

  void OnInitDialog();
  void OnChooseFont();
  std::string EditedText() const;
};

}  // namespace azuz
