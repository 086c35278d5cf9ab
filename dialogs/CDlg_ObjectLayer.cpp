#include "CDlg_ObjectLayer.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ControlIds.h"
#include "DrawObject.h"

namespace azuz {

namespace {

constexpr int kKinds = 5;

}  // namespace

CDlg_ObjectLayer::CDlg_ObjectLayer(QWidget* parent) : QDialog(parent) {
  setObjectName(ControlName(IDD));
  setWindowTitle(QStringLiteral("Add Object"));

  auto* group = new QGroupBox(QStringLiteral("Kind of object"), this);
  auto* radios = new QVBoxLayout(group);
  kinds_ = new QButtonGroup(this);
  for (int kind = 0; kind < kKinds; ++kind) {
    auto* radio = new QRadioButton(QString::fromLatin1(ObjectKindName(kind)), group);
    radio->setObjectName(ControlName(IDC_KIND_FIRST + kind));
    radio->setAccessibleName(radio->text());
    kinds_->addButton(radio, kind);
    radios->addWidget(radio);
  }

  auto* accept = new QPushButton(QStringLiteral("OK"), this);
  accept->setObjectName(ControlName(IDC_KIND_ACCEPT));
  accept->setAccessibleName(QStringLiteral("OK"));
  accept->setDefault(true);
  connect(accept, &QPushButton::clicked, this, &CDlg_ObjectLayer::OnAccept);
  auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
  cancel->setObjectName(ControlName(IDC_KIND_CANCEL));
  cancel->setAccessibleName(QStringLiteral("Cancel"));
  connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(accept);
  buttons->addWidget(cancel);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(group);
  layout->addLayout(buttons);
  layout->setSizeConstraint(QLayout::SetFixedSize);
}

void CDlg_ObjectLayer::showEvent(QShowEvent* event) {
  // Every run starts at Bitmap, whatever was chosen before.
  kindChoice = 0;
  kinds_->button(kindChoice)->setChecked(true);
  QDialog::showEvent(event);
}

void CDlg_ObjectLayer::OnAccept() {
  kindChoice = kinds_->checkedId();
  accept();
}

}  // namespace azuz
