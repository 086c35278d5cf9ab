#include "IpAddressEdit.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

namespace azuz {

IpAddressEdit::IpAddressEdit(const QString& accessibleName, QWidget* parent) : QWidget(parent) {
  setAccessibleName(accessibleName);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(2);
  for (std::size_t n = 0; n < parts_.size(); ++n) {
    auto* part = new QSpinBox(this);
    part->setRange(0, 255);
    part->setButtonSymbols(QAbstractSpinBox::NoButtons);
    part->setAlignment(Qt::AlignRight);
    part->setMaximumWidth(part->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 16);
    part->setObjectName(QStringLiteral("part%1").arg(n + 1));
    part->setAccessibleName(accessibleName + QStringLiteral(", part %1").arg(n + 1));
    connect(part, &QSpinBox::valueChanged, this, [this] { emit addressEdited(); });
    if (n > 0) {
      layout->addWidget(new QLabel(QStringLiteral("."), this));
    }
    layout->addWidget(part);
    parts_[n] = part;
  }
  layout->addStretch(1);
}

std::array<std::uint8_t, 4> IpAddressEdit::Address() const {
  std::array<std::uint8_t, 4> address{};
  for (std::size_t n = 0; n < parts_.size(); ++n) {
    address[n] = static_cast<std::uint8_t>(parts_[n]->value());
  }
  return address;
}

void IpAddressEdit::SetAddress(const std::array<std::uint8_t, 4>& address) {
  for (std::size_t n = 0; n < parts_.size(); ++n) {
    const QSignalBlocker quiet(parts_[n]);
    parts_[n]->setValue(address[n]);
  }
}

}  // namespace azuz
