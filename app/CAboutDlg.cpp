#include "CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "AppIcon.h"
#include "ControlIds.h"

namespace azuz {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
  setObjectName(ControlName(IDD));
  setWindowTitle(QStringLiteral("About Vurodadud Azuz"));
  auto* icon = new QLabel(this);
  icon->setAccessibleName(QStringLiteral("Vurodadud Azuz icon"));
  icon->setPixmap(AppIcon().pixmap(48, 48));
  auto* text = new QLabel(QStringLiteral("Vurodadud Azuz Version %1\nWatermark designer for "
                                         "QPT-L710 and QPT-L712 printers")
                              .arg(QStringLiteral(AZUZ_VERSION)),
                          this);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  buttons->button(QDialogButtonBox::Ok)->setObjectName(ControlName(IDOK));
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  auto* row = new QHBoxLayout;
  row->addWidget(icon);
  row->addWidget(text, 1);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(row);
  layout->addWidget(buttons);
}

}  // namespace azuz
