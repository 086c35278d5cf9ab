#pragma once

#include <QDialog>
#include <cstdint>

class QButtonGroup;

namespace azuz {

// Which kind of object to add: one radio button per ObjectKind, Bitmap preselected.
class CDlg_ObjectLayer : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 135;

  explicit CDlg_ObjectLayer(QWidget* parent = nullptr);

  std::int32_t kindChoice = 0;  // the ObjectKind, read from the radio group on OK

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QButtonGroup* kinds_;

  void OnAccept();
};

}  // namespace azuz
