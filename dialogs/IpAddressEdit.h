#pragma once

#include <QWidget>
#include <array>
#include <cstdint>

class QSpinBox;

namespace azuz {

// An IPv4 address as four parts of 0 to 255, most significant first.
class IpAddressEdit : public QWidget {
  Q_OBJECT

 public:
  explicit IpAddressEdit(const QString& accessibleName, QWidget* parent = nullptr);

  std::array<std::uint8_t, 4> Address() const;
  void SetAddress(const std::array<std::uint8_t, 4>& address);
  QSpinBox* Part(int index) const { return parts_[static_cast<std::size_t>(index)]; }

 signals:
  // The user changed a part.
  void addressEdited();

 private:
  std::array<QSpinBox*, 4> parts_{};
};

}  // namespace azuz
