#pragma once

#include <QDialog>
#include <QTimer>

#include "TransferSession.h"

class QProgressBar;
class QPushButton;

namespace azuz {

// The transfer window: shows one TransferSession with its progress and its one button. It
// ends by itself with the OK result about a second after the whole block went out; after a
// failure it waits with "Close". Enter, Escape, the button and the close box all cancel, and
// the window never ends while the worker still runs.
class CDlg_Port : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 139;
  static constexpr int kFinishTimerId = 101;

  explicit CDlg_Port(TransferRequest request, QWidget* parent = nullptr);
  ~CDlg_Port() override;

  // Opens the connection and runs the window; QDialog::Accepted when the transfer completed.
  // A failed open ends at once with the cancel result, without showing the window.
  int DoModal();

  QPushButton* Button() const { return button_; }
  QProgressBar* Progress() const { return progress_; }
  const TransferSession& Session() const { return session_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;
  void accept() override;

 private:
  TransferSession session_;
  QProgressBar* progress_;
  QPushButton* button_;
  QTimer finishTimer_;

  void OnCancel();
  void OnTimer();
};

}  // namespace azuz
