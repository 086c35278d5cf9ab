#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

#include "ControlIds.h"
#include "FontChooser.h"
#include "RenderedArea.h"

namespace azuz {

namespace {

constexpr const char* kStyles[] = {"Regular", "Italic", "Bold", "Bold Italic"};
const QSize kSampleSize(240, 64);

// A text field with its list below it, the field showing the list's choice.
QListWidget* ListUnder(QLineEdit* edit, const QString& name, const QString& listName,
                       QWidget* parent) {
  edit->setObjectName(name);
  edit->setAccessibleName(name);
  auto* list = new QListWidget(parent);
  list->setObjectName(listName);
  list->setAccessibleName(listName);
  QObject::connect(list, &QListWidget::currentTextChanged, edit, &QLineEdit::setText);
  return list;
}

}  // namespace

void FontChooser::BuildLayout() {
  faceEdit_ = new QLineEdit(this);
  faceList_ = ListUnder(faceEdit_, QStringLiteral("Font"), QStringLiteral("Fonts"), this);
  for (const std::string& face : faces_) {
    faceList_->addItem(QString::fromStdString(face));
  }
  // Typing a name picks the first face it begins.
  connect(faceEdit_, &QLineEdit::textEdited, this, [this](const QString& typed) {
    const QSignalBlocker blocker(faceList_);
    for (int row = 0; row < faceList_->count(); ++row) {
      if (faceList_->item(row)->text().startsWith(typed, Qt::CaseInsensitive)) {
        faceList_->setCurrentRow(row);
        faceList_->scrollToItem(faceList_->item(row));
        break;
      }
    }
  });

  styleEdit_ = new QLineEdit(this);
  styleEdit_->setReadOnly(true);
  styleList_ =
      ListUnder(styleEdit_, QStringLiteral("Font style"), QStringLiteral("Font styles"), this);
  for (const char* style : kStyles) {
    styleList_->addItem(QString::fromLatin1(style));
  }

  sizeEdit_ = new QLineEdit(this);
  sizeList_ = ListUnder(sizeEdit_, QStringLiteral("Size"), QStringLiteral("Sizes"), this);
  for (int size : Sizes()) {
    sizeList_->addItem(QString::number(size));
  }

  strikeOut_ = new QCheckBox(QStringLiteral("Stri&keout"), this);
  strikeOut_->setObjectName(QStringLiteral("Strikeout"));
  strikeOut_->setAccessibleName(QStringLiteral("Strikeout"));
  underline_ = new QCheckBox(QStringLiteral("&Underline"), this);
  underline_->setObjectName(QStringLiteral("Underline"));
  underline_->setAccessibleName(QStringLiteral("Underline"));
  colourCombo_ = new QComboBox(this);
  colourCombo_->setObjectName(QStringLiteral("Colour"));
  colourCombo_->setAccessibleName(QStringLiteral("Colour"));
  for (const NamedColour& colour : Colours()) {
    colourCombo_->addItem(Swatch(colour.Value()), QString::fromLatin1(colour.name), colour.Value());
  }

  sample_ = new RenderedArea(
      QStringLiteral("Sample"), QStringLiteral("Sample"), kSampleSize,
      [this](Canvas& canvas) { DrawSample(canvas); }, this);
  const auto redraw = [this] { sample_->update(); };
  connect(faceEdit_, &QLineEdit::textChanged, this, redraw);
  connect(styleEdit_, &QLineEdit::textChanged, this, redraw);
  connect(sizeEdit_, &QLineEdit::textChanged, this, redraw);
  connect(strikeOut_, &QCheckBox::toggled, this, redraw);
  connect(underline_, &QCheckBox::toggled, this, redraw);
  connect(colourCombo_, &QComboBox::currentIndexChanged, this, redraw);

  auto* lists = new QGridLayout;
  const std::pair<QLineEdit*, QListWidget*> columns[] = {
      {faceEdit_, faceList_}, {styleEdit_, styleList_}, {sizeEdit_, sizeList_}};
  const char* captions[] = {"&Font:", "Font st&yle:", "&Size:"};
  for (int column = 0; column < 3; ++column) {
    auto* label = new QLabel(QString::fromLatin1(captions[column]), this);
    label->setBuddy(columns[column].first);
    lists->addWidget(label, 0, column);
    lists->addWidget(columns[column].first, 1, column);
    lists->addWidget(columns[column].second, 2, column);
  }
  lists->setColumnStretch(0, 3);
  lists->setColumnStretch(1, 2);
  lists->setColumnStretch(2, 1);
  faceList_->setMinimumWidth(180);
  sizeList_->setMaximumWidth(70);
  sizeEdit_->setMaximumWidth(70);

  auto* effects = new QGroupBox(QStringLiteral("Effects"), this);
  auto* effectsLayout = new QVBoxLayout(effects);
  effectsLayout->addWidget(strikeOut_);
  effectsLayout->addWidget(underline_);
  auto* colourLabel = new QLabel(QStringLiteral("&Colour:"), effects);
  colourLabel->setBuddy(colourCombo_);
  effectsLayout->addWidget(colourLabel);
  effectsLayout->addWidget(colourCombo_);

  auto* sampleBox = new QGroupBox(QStringLiteral("Sample"), this);
  auto* sampleLayout = new QVBoxLayout(sampleBox);
  sampleLayout->addWidget(sample_, 0, Qt::AlignCenter);

  auto* lower = new QHBoxLayout;
  lower->addWidget(effects);
  lower->addWidget(sampleBox, 1);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(IDOK));
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(IDCANCEL));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &FontChooser::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(lists, 1);
  layout->addLayout(lower);
  layout->addWidget(buttons);
}

}  // namespace azuz
