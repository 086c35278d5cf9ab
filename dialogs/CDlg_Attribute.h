#pragma once

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace azuz {

class CMainFrame;
class TrackBar;

// The modeless panel beside the design view: the objects in z-order, the selected index, the
// fade controls and the list buttons. Controls are named after their ids ("id1011", ...).
class CDlg_Attribute : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 131;

  explicit CDlg_Attribute(CMainFrame* owner);

  // Places the panel at the frame's right edge, 70 pixels below the frame's top.
  void PlaceBesideOwner();

  void RefreshObjectList();
  void SetSelectedIndex(int index);
  int SelectedIndex() const { return selectedIndex_; }

  // Button handlers; also reached by tests and by the frame through the same ids.
  void OnDeleteObject();  // 1009
  void OnDeleteAll();     // 1013
  void OnMoveForward();   // 1026
  void OnMoveBackward();  // 1027

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  CMainFrame* owner_;
  int selectedIndex_ = -1;
  QTableWidget* list_;
  TrackBar* fadeSlider_;
  QComboBox* patternCombo_;
  QLabel* indexText_;

  void OnListItemChanged(int row);
  void OnFadeSliderReleased();
  QPushButton* AddButton(int id, const QString& caption);
};

}  // namespace azuz
