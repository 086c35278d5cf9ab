#include "CDlg_Text.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "CodePage.h"
#include "ControlIds.h"
#include "FontChooser.h"
#include "RenderedArea.h"
#include "TextRenderer.h"

namespace azuz {

namespace {

const QSize kPreviewSize(320, 200);
constexpr const char* kRotationEntries[] = {"0", "Left 90", "Right 90", "180"};

// No entry, or one past the list, turns nothing.
std::int32_t EscapementOf(int entry) {
  return entry >= 0 && entry < 4 ? CDlg_Text::kEscapements[static_cast<std::size_t>(entry)] : 0;
}

}  // namespace

CDlg_Text::CDlg_Text(QWidget* parent) : QDialog(parent) {
  setObjectName(ControlName(IDD));
  setWindowTitle(QStringLiteral("Text"));

  textEdit_ = new QLineEdit(this);
  textEdit_->setObjectName(ControlName(IDC_TEXT));
  textEdit_->setAccessibleName(QStringLiteral("Text"));
  auto* textLabel = new QLabel(QStringLiteral("&Text:"), this);
  textLabel->setBuddy(textEdit_);

  rotationCombo_ = new QComboBox(this);
  rotationCombo_->setObjectName(ControlName(IDC_ROTATION));
  rotationCombo_->setAccessibleName(QStringLiteral("Rotation"));
  auto* rotationLabel = new QLabel(QStringLiteral("&Rotation:"), this);
  rotationLabel->setBuddy(rotationCombo_);

  auto* fontButton = new QPushButton(QStringLiteral("&Font..."), this);
  fontButton->setObjectName(ControlName(IDC_CHOOSE_FONT));
  fontButton->setAccessibleName(QStringLiteral("Choose the font"));
  connect(fontButton, &QPushButton::clicked, this, &CDlg_Text::OnChooseFont);

  preview_ = new RenderedArea(
      ControlName(IDC_TEXT_PREVIEW), QStringLiteral("Preview"), kPreviewSize,
      [this](Canvas& canvas) {
        DrawPreview(canvas, EditedText(), font, textColour, rotationCombo_->currentIndex());
      },
      this);

  // Every edit and every rotation repaints the preview.
  connect(textEdit_, &QLineEdit::textChanged, preview_, qOverload<>(&QWidget::update));
  connect(rotationCombo_, &QComboBox::currentIndexChanged, preview_, qOverload<>(&QWidget::update));

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(IDOK));
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(IDCANCEL));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlg_Text::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* fields = new QGridLayout;
  fields->addWidget(textLabel, 0, 0);
  fields->addWidget(textEdit_, 0, 1, 1, 2);
  fields->addWidget(rotationLabel, 1, 0);
  fields->addWidget(rotationCombo_, 1, 1);
  fields->addWidget(fontButton, 1, 2);
  fields->setColumnStretch(1, 1);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(preview_, 0, Qt::AlignHCenter);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlg_Text::showEvent(QShowEvent* event) {
  if (!initialised_) {
    initialised_ = true;
    OnInitDialog();
  }
  QDialog::showEvent(event);
}

void CDlg_Text::OnInitDialog() {
  rotationCombo_->clear();
  for (const char* entry : kRotationEntries) {
    rotationCombo_->addItem(QString::fromLatin1(entry));
  }
  // A rotation outside the list (from a file) selects nothing.
  rotationCombo_->setCurrentIndex(rotation >= 0 && rotation < 4 ? rotation : -1);
  textEdit_->setText(QString::fromStdString(SystemToUtf8(text)));
  preview_->update();
}

std::string CDlg_Text::EditedText() const {
  return Utf8ToSystem(textEdit_->text().toStdString());
}

void CDlg_Text::DrawPreview(Canvas& canvas, const std::string& text, FontRecord& font,
                            Colour colour, int rotationEntry) {
  if (text.empty()) {
    return;
  }
  font.escapement = EscapementOf(rotationEntry);
  // The text starts at the centre and runs in its own direction, not centred on it.
  DrawTextAt(canvas, text, font, colour, canvas.Width() / 2, canvas.Height() / 2);
}

void CDlg_Text::OnChooseFont() {
  FontChooser chooser(font, textColour, this);
  if (chooser.exec() != QDialog::Accepted) {
    return;
  }
  font = chooser.Record();
  textColour = chooser.ColourChosen();
  pointSize = chooser.SizeTenths() / 10;
  preview_->update();
}

void CDlg_Text::accept() {
  const std::string edited = EditedText();
  if (edited.empty()) {
    reject();
    return;
  }
  text = edited;
  rotation = rotationCombo_->currentIndex();
  // What the preview writes when it paints, so the record carries the angle however the
  // dialog was shown.
  font.escapement = EscapementOf(rotation);
  QDialog::accept();
}

}  // namespace azuz
