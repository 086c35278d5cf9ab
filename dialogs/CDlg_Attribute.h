#pragma once

#include <QDialog>
#include <functional>

#include "CORVELIXImageToolDoc.h"

class QComboBox;
class QLabel;
class QPushButton;
class QTableWidget;

namespace azuz {

class TrackBar;

// The modeless panel beside the design view: the objects in z-order, the selected index, the
// fade controls and the list buttons. Controls are named after their ids (ControlIds.h).
class CDlg_Attribute : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 131;

  // `owner`: the window the panel belongs to and is placed against. `onClose`: what the close
  // box and Escape do instead of closing by themselves (the owner hides the panel and keeps its
  // menu check in step).
  CDlg_Attribute(CORVELIXImageToolDoc& doc, QWidget* owner, std::function<void()> onClose);

  // Places the panel at the owner's right edge, 70 pixels below the owner's top.
  void PlaceBesideOwner();

  void RefreshObjectList();
  void SetSelectedIndex(int index);
  int SelectedIndex() const { return selectedIndex_; }
  // The slider and the pattern list show the document's fade level and pattern again.
  void ShowFadePattern();

  // Button handlers (IDC_ADD_OBJECT, IDC_MODIFY_OBJECT, IDC_DELETE_OBJECT, IDC_DELETE_ALL,
  // IDC_MOVE_FORWARD, IDC_MOVE_BACKWARD).
  void OnAddObject();
  void OnModifyObject();
  void OnDeleteObject();
  void OnDeleteAll();
  void OnMoveForward();
  void OnMoveBackward();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void reject() override;

 private:
  CORVELIXImageToolDoc& doc_;
  QWidget* owner_;
  std::function<void()> onClose_;
  int selectedIndex_ = -1;
  QTableWidget* list_;
  TrackBar* fadeSlider_;
  QComboBox* patternCombo_;
  QLabel* indexText_;

  void OnListItemChanged(int row);
  void OnFadeSliderReleased();
  QPushButton* AddButton(int id, const QString& caption,
                         void (CDlg_Attribute::*handler)() = nullptr);
};

}  // namespace azuz
