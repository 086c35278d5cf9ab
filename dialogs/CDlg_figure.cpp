#include "CDlg_figure.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ColourPixel.h"
#include "ControlIds.h"
#include "DrawObject.h"
#include "RenderedArea.h"
#include "Shapes.h"

namespace azuz {

namespace {

constexpr int kWidthEntries = 10;
const QSize kPreviewSize(200, 150);
const QSize kSwatchSize(48, 22);

// The drawing context's defaults: a one-dot black pen and a white brush.
ShapeStyle DefaultStyle() {
  ShapeStyle style;
  style.hasPen = true;
  style.pen = 0xFF000000u;
  style.hasFill = true;
  style.fill = kWhitePixel;
  return style;
}

void DrawSwatch(Canvas& canvas, Colour colour) {
  ShapeStyle style = DefaultStyle();
  style.hasFill = colour != kNoColour;
  style.fill = style.hasFill ? CanvasPixel(colour) : 0;
  DrawRectangle(canvas, Box{0, 0, canvas.Width(), canvas.Height()}, style);
}

QColor ToQColor(Colour colour) {
  return {RedOf(colour), GreenOf(colour), BlueOf(colour)};
}

Colour FromQColor(const QColor& colour) {
  return static_cast<Colour>(colour.red()) | static_cast<Colour>(colour.green()) << 8 |
         static_cast<Colour>(colour.blue()) << 16;
}

}  // namespace

CDlg_figure::CDlg_figure(QWidget* parent) : QDialog(parent) {
  setObjectName(ControlName(IDD));
  setWindowTitle(QStringLiteral("Figure"));

  preview_ = new RenderedArea(
      ControlName(IDC_FIGURE_PREVIEW), QStringLiteral("Preview"), kPreviewSize,
      [this](Canvas& canvas) { DrawPreview(canvas, kind, lineColour, fillColour, lineWidth); },
      this);
  lineSwatch_ = new RenderedArea(
      ControlName(IDC_LINE_SWATCH), QStringLiteral("Line colour swatch"), kSwatchSize,
      [this](Canvas& canvas) { DrawSwatch(canvas, lineColour); }, this);
  fillSwatch_ = new RenderedArea(
      ControlName(IDC_FILL_SWATCH), QStringLiteral("Fill colour swatch"), kSwatchSize,
      [this](Canvas& canvas) { DrawSwatch(canvas, fillColour); }, this);

  widthCombo_ = new QComboBox(this);
  widthCombo_->setObjectName(ControlName(IDC_LINE_WIDTH));
  widthCombo_->setAccessibleName(QStringLiteral("Line width"));
  connect(widthCombo_, &QComboBox::currentIndexChanged, this, &CDlg_figure::OnWidthChosen);
  auto* widthLabel = new QLabel(QStringLiteral("Line &width:"), this);
  widthLabel->setBuddy(widthCombo_);

  auto* lineButton = new QPushButton(QStringLiteral("&Line Colour..."), this);
  lineButton->setObjectName(ControlName(IDC_LINE_COLOUR));
  lineButton->setAccessibleName(QStringLiteral("Choose the line colour"));
  connect(lineButton, &QPushButton::clicked, this,
          [this] { ChooseColour(lineColour, QStringLiteral("Line Colour")); });
  auto* fillButton = new QPushButton(QStringLiteral("&Fill Colour..."), this);
  fillButton->setObjectName(ControlName(IDC_FILL_COLOUR));
  fillButton->setAccessibleName(QStringLiteral("Choose the fill colour"));
  connect(fillButton, &QPushButton::clicked, this,
          [this] { ChooseColour(fillColour, QStringLiteral("Fill Colour")); });

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(IDOK));
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(IDCANCEL));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* attributes = new QGridLayout;
  attributes->addWidget(widthLabel, 0, 0);
  attributes->addWidget(widthCombo_, 0, 1);
  attributes->addWidget(lineButton, 1, 0);
  attributes->addWidget(lineSwatch_, 1, 1);
  attributes->addWidget(fillButton, 2, 0);
  attributes->addWidget(fillSwatch_, 2, 1);
  attributes->setRowStretch(3, 1);

  auto* top = new QHBoxLayout;
  top->addWidget(preview_);
  top->addLayout(attributes);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(top);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlg_figure::showEvent(QShowEvent* event) {
  if (!initialised_) {
    initialised_ = true;
    OnInitDialog();
  }
  QDialog::showEvent(event);
}

void CDlg_figure::OnInitDialog() {
  const QSignalBlocker blocker(widthCombo_);
  widthCombo_->clear();
  for (int n = 1; n <= kWidthEntries; ++n) {
    widthCombo_->addItem(QString::number(n));
  }
  // A width the list lacks (from a file) shows no entry and stays until one is chosen.
  widthCombo_->setCurrentIndex(lineWidth >= 1 && lineWidth <= kWidthEntries ? lineWidth - 1 : -1);
}

void CDlg_figure::OnWidthChosen(int entry) {
  if (entry < 0) {
    return;
  }
  lineWidth = entry + 1;
  preview_->update();
}

void CDlg_figure::ChooseColour(Colour& colour, const QString& title) {
  QColorDialog chooser(ToQColor(colour), this);
  chooser.setWindowTitle(title);
  if (chooser.exec() != QDialog::Accepted) {
    return;
  }
  colour = FromQColor(chooser.selectedColor());
  update();
}

void CDlg_figure::DrawPreview(Canvas& canvas, std::int32_t kind, Colour line, Colour fill,
                              std::int32_t lineWidth) {
  const std::int64_t w = canvas.Width();
  const std::int64_t h = canvas.Height();
  DrawRectangle(canvas, Box{0, 0, w, h}, DefaultStyle());

  DrawObject figure;
  figure.kind = kind;
  figure.penColour = line;
  figure.fillColour = fill;
  ShapeStyle style = StyleOf(figure);
  // One dot wider than the object's own pen; like any pen, its absolute width, 0 as 1.
  const std::int64_t width = std::int64_t{lineWidth} + 1;
  style.penWidth = std::max<std::int64_t>(width < 0 ? -width : width, 1);
  const Box box{w / 4, h / 4, w / 4 + w / 2, h / 4 + h / 2};
  if (kind == static_cast<std::int32_t>(ObjectKind::Line)) {
    DrawLine(canvas, box.left, box.top, box.right, box.bottom, style);
  } else if (kind == static_cast<std::int32_t>(ObjectKind::Ellipse)) {
    DrawEllipse(canvas, box, style);
  } else {
    DrawRectangle(canvas, box, style);
  }
}

}  // namespace azuz
