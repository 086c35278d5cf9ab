#include "CDlg_PaperSize.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "ControlIds.h"
#include "UserPrompts.h"

namespace azuz {

CDlg_PaperSize::CDlg_PaperSize(QWidget* parent) : QDialog(parent) {
  setObjectName(ControlName(IDD));
  setWindowTitle(QStringLiteral("Paper Size"));

  heightEdit_ = new QLineEdit(this);
  heightEdit_->setObjectName(ControlName(IDC_PAGE_HEIGHT));
  heightEdit_->setAccessibleName(QStringLiteral("Height in dots"));
  widthEdit_ = new QLineEdit(this);
  widthEdit_->setObjectName(ControlName(IDC_PAGE_WIDTH));
  widthEdit_->setAccessibleName(QStringLiteral("Width in dots"));

  auto* fields = new QFormLayout;
  fields->addRow(QStringLiteral("&Height (dots):"), heightEdit_);
  fields->addRow(QStringLiteral("&Width (dots):"), widthEdit_);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(IDOK));
  buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
  buttons->button(QDialogButtonBox::Cancel)->setObjectName(ControlName(IDCANCEL));
  buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
  connect(buttons, &QDialogButtonBox::accepted, this, &CDlg_PaperSize::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

  auto* layout = new QVBoxLayout(this);
  layout->addLayout(fields);
  layout->addWidget(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlg_PaperSize::showEvent(QShowEvent* event) {
  heightEdit_->setText(QString::number(pageHeight));
  widthEdit_->setText(QString::number(pageWidth));
  QDialog::showEvent(event);
}

bool CDlg_PaperSize::ReadField(QLineEdit* field, std::int32_t& value) {
  bool ok = false;
  // Blanks around the number are allowed, as is a sign; the value must fit 32 bits.
  const int read = field->text().trimmed().toInt(&ok, 10);
  if (!ok) {
    Prompts().Message(kNotAnInteger);
    field->setFocus();
    field->selectAll();
    return false;
  }
  value = read;
  return true;
}

void CDlg_PaperSize::accept() {
  std::int32_t height = 0;
  std::int32_t width = 0;
  if (!ReadField(heightEdit_, height) || !ReadField(widthEdit_, width)) {
    return;
  }
  pageHeight = height;
  pageWidth = width;
  QDialog::accept();
}

}  // namespace azuz
