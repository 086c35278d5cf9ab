#pragma once

#include <QDialog>
#include <cstdint>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Colour.h"
#include "FontChoice.h"
#include "FontRecord.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPixmap;

namespace azuz {

class RenderedArea;

// Face, style, size, effects and colour of a text. It lists the faces the text renderer finds
// (so what is picked is what prints), starts from a record and a colour, and hands back the
// record with the changed fields written, the colour and the size in tenths of a point.
class FontChooser : public QDialog {
  Q_OBJECT

 public:
  // The sixteen colours offered, in order, as names and 0xRRGGBB values.
  struct NamedColour {
    const char* name;
    std::uint32_t rgb;
    Colour Value() const { return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16); }
  };
  static const std::vector<NamedColour>& Colours();
  // The sizes listed, in points; any other size can be typed.
  static const std::vector<int>& Sizes();

  FontChooser(const FontRecord& record, Colour colour, QWidget* parent = nullptr);

  // On OK: the record, the colour and the size chosen.
  FontRecord Record() const;
  Colour ColourChosen() const;
  std::int32_t SizeTenths() const;

  // The faces listed (UTF-8).
  const std::vector<std::string>& Faces() const { return faces_; }
  RenderedArea* Sample() const { return sample_; }

  void accept() override;

 private:
  FontRecord record_;
  FontChoice shown_;
  std::vector<std::string> faces_;
  QLineEdit* faceEdit_;
  QListWidget* faceList_;
  QLineEdit* styleEdit_;
  QListWidget* styleList_;
  QLineEdit* sizeEdit_;
  QListWidget* sizeList_;
  QCheckBox* strikeOut_;
  QCheckBox* underline_;
  QComboBox* colourCombo_;
  RenderedArea* sample_;

  static QPixmap Swatch(Colour colour);
  void BuildLayout();
  void ShowChoice();
  void DrawSample(Canvas& canvas) const;
  // What the controls hold now; a size that does not parse counts as the one shown.
  FontChoice Chosen() const;
  int ListedFace(const QString& name) const;
  bool ParsedSize(std::int32_t& tenths) const;
};

}  // namespace azuz
