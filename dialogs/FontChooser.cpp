#include "FontChooser.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QLocale>
#include <QPixmap>
#include <algorithm>
#include <cmath>

#include "CodePage.h"
#include "RenderedArea.h"
#include "TextFaces.h"
#include "TextRenderer.h"
#include "UserPrompts.h"

namespace azuz {

namespace {

constexpr int kSmallestPoints = 1;
constexpr int kLargestPoints = 1638;
constexpr const char* kSampleText = "AaBbYyZz";
constexpr int kSampleMargin = 4;
constexpr const char* kNoSuchFace =
    "There is no font with that name.\nChoose a font from the list of fonts.";
constexpr const char* kBadSize = "The size must be a number of points from 1 to 1638.";

QString SizeText(std::int32_t tenths) {
  return tenths % 10 == 0 ? QString::number(tenths / 10)
                          : QStringLiteral("%1.%2").arg(tenths / 10).arg(std::abs(tenths % 10));
}

int StyleRow(bool bold, bool italic) {
  return (bold ? 2 : 0) + (italic ? 1 : 0);
}

}  // namespace

QPixmap FontChooser::Swatch(Colour colour) {
  QPixmap swatch(24, 12);
  swatch.fill(QColor(RedOf(colour), GreenOf(colour), BlueOf(colour)));
  return swatch;
}

const std::vector<FontChooser::NamedColour>& FontChooser::Colours() {
  static const std::vector<NamedColour> colours = {
      {"Black", 0x000000},  {"Maroon", 0x800000},  {"Green", 0x008000}, {"Olive", 0x808000},
      {"Navy", 0x000080},   {"Purple", 0x800080},  {"Teal", 0x008080},  {"Gray", 0x808080},
      {"Silver", 0xC0C0C0}, {"Red", 0xFF0000},     {"Lime", 0x00FF00},  {"Yellow", 0xFFFF00},
      {"Blue", 0x0000FF},   {"Fuchsia", 0xFF00FF}, {"Aqua", 0x00FFFF},  {"White", 0xFFFFFF}};
  return colours;
}

const std::vector<int>& FontChooser::Sizes() {
  static const std::vector<int> sizes = {8,  9,  10, 11, 12, 14, 16, 18,
                                         20, 22, 24, 26, 28, 36, 48, 72};
  return sizes;
}

FontChooser::FontChooser(const FontRecord& record, Colour colour, QWidget* parent)
    : QDialog(parent),
      record_(record),
      shown_(ChoiceFromRecord(record, colour, TextPixelsPerEm(record))),
      faces_(TextFaceNames()) {
  setObjectName(QStringLiteral("fontChooser"));
  setWindowTitle(QStringLiteral("Font"));
  BuildLayout();
  ShowChoice();
}

void FontChooser::ShowChoice() {
  const QSignalBlocker faces(faceList_);
  const QSignalBlocker styles(styleList_);
  const QSignalBlocker sizes(sizeList_);
  const QString face = QString::fromStdString(SystemToUtf8(shown_.face));
  faceEdit_->setText(face);
  faceList_->setCurrentRow(ListedFace(face));
  styleList_->setCurrentRow(StyleRow(shown_.bold, shown_.italic));
  styleEdit_->setText(styleList_->currentItem()->text());
  sizeEdit_->setText(SizeText(shown_.sizeTenths));
  const auto& listed = Sizes();
  const auto at = std::find(listed.begin(), listed.end(), shown_.sizeTenths / 10);
  sizeList_->setCurrentRow(shown_.sizeTenths % 10 == 0 && at != listed.end()
                               ? static_cast<int>(at - listed.begin())
                               : -1);
  strikeOut_->setChecked(shown_.strikeOut);
  underline_->setChecked(shown_.underline);

  int colourEntry = -1;
  for (int n = 0; n < static_cast<int>(Colours().size()); ++n) {
    if (Colours()[static_cast<std::size_t>(n)].Value() == shown_.colour) {
      colourEntry = n;
    }
  }
  if (colourEntry < 0) {
    // A colour of its own stays selectable as it came.
    colourCombo_->addItem(Swatch(shown_.colour), QStringLiteral("Custom"), shown_.colour);
    colourEntry = colourCombo_->count() - 1;
  }
  colourCombo_->setCurrentIndex(colourEntry);
}

int FontChooser::ListedFace(const QString& name) const {
  for (int row = 0; row < faceList_->count(); ++row) {
    if (faceList_->item(row)->text().compare(name, Qt::CaseInsensitive) == 0) {
      return row;
    }
  }
  return -1;
}

bool FontChooser::ParsedSize(std::int32_t& tenths) const {
  bool ok = false;
  const double points = QLocale::c().toDouble(sizeEdit_->text().trimmed(), &ok);
  if (!ok || !std::isfinite(points) || points < kSmallestPoints || points > kLargestPoints) {
    return false;
  }
  tenths = static_cast<std::int32_t>(std::lround(points * 10));
  return true;
}

FontChoice FontChooser::Chosen() const {
  FontChoice chosen = shown_;
  const int faceRow = ListedFace(faceEdit_->text());
  const QString face = faceRow >= 0 ? faceList_->item(faceRow)->text() : faceEdit_->text();
  chosen.face = Utf8ToSystem(face.toStdString());
  if (styleList_->currentRow() >= 0) {
    chosen.bold = styleList_->currentRow() >= 2;
    chosen.italic = styleList_->currentRow() % 2 == 1;
  }
  chosen.underline = underline_->isChecked();
  chosen.strikeOut = strikeOut_->isChecked();
  std::int32_t tenths = 0;
  if (ParsedSize(tenths)) {
    chosen.sizeTenths = tenths;
  }
  chosen.colour = colourCombo_->currentData().toUInt();
  return chosen;
}

FontRecord FontChooser::Record() const {
  return ApplyFontChoice(record_, shown_, Chosen());
}

Colour FontChooser::ColourChosen() const {
  return Chosen().colour;
}

std::int32_t FontChooser::SizeTenths() const {
  return Chosen().sizeTenths;
}

void FontChooser::DrawSample(Canvas& canvas) const {
  FontRecord sample = Record();
  sample.escapement = 0;
  const Colour colour = ColourChosen();
  const int ppem = TextPixelsPerEm(sample);
  // About a cell's height, so the line sits in the middle.
  const std::int64_t top = std::max<std::int64_t>(0, (canvas.Height() - ppem * 23 / 20) / 2);
  // Drawn once aside to find where its ink lies, then centred; a line wider than the area
  // starts at its left.
  Canvas aside(canvas.Width(), canvas.Height(), kWhitePixel);
  DrawTextAt(aside, kSampleText, sample, colour, 0, top);
  int inkLeft = canvas.Width();
  int inkRight = -1;
  for (int y = 0; y < aside.Height(); ++y) {
    const std::uint32_t* row = aside.Row(y);
    for (int x = 0; x < aside.Width(); ++x) {
      if (row[x] != kWhitePixel) {
        inkLeft = std::min(inkLeft, x);
        inkRight = std::max(inkRight, x);
      }
    }
  }
  if (inkRight < 0) {
    return;
  }
  const int inkWidth = inkRight - inkLeft + 1;
  const std::int64_t x = std::max(kSampleMargin, (canvas.Width() - inkWidth) / 2) - inkLeft;
  DrawTextAt(canvas, kSampleText, sample, colour, x, top);
}

void FontChooser::accept() {
  const QString face = faceEdit_->text();
  if (ListedFace(face) < 0 && Utf8ToSystem(face.toStdString()) != shown_.face) {
    Prompts().Message(kNoSuchFace);
    faceEdit_->setFocus();
    faceEdit_->selectAll();
    return;
  }
  std::int32_t tenths = 0;
  if (!ParsedSize(tenths)) {
    Prompts().Message(kBadSize);
    sizeEdit_->setFocus();
    sizeEdit_->selectAll();
    return;
  }
  QDialog::accept();
}

}  // namespace azuz
