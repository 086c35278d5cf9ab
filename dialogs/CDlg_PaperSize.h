#pragma once

#include <QDialog>
#include <cstdint>

class QLineEdit;

namespace azuz {

// The page's height and width in dots. Any integer is taken, 0 and negative ones too; a field
// that holds no integer keeps the dialog open with a prompt and gets the focus.
class CDlg_PaperSize : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 130;
  static constexpr const char* kNotAnInteger = "Please enter an integer.";

  explicit CDlg_PaperSize(QWidget* parent = nullptr);

  std::int32_t pageHeight = 0;
  std::int32_t pageWidth = 0;

  void accept() override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  QLineEdit* heightEdit_;
  QLineEdit* widthEdit_;

  bool ReadField(QLineEdit* field, std::int32_t& value);
};

}  // namespace azuz
