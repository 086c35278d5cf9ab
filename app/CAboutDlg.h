#pragma once

#include <QDialog>

namespace azuz {

// The About box: the program's name and version, nothing else.
class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 100;
  explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace azuz
