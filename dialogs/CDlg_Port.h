#pragma once

#include <QDialog>
#include <QTimer>

#include "TransferSession.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace azuz {

// The transfer window: shows one TransferSession with its progress and its one button. It
// appears at once and says it is connecting while the session's worker opens the connection;
// a failed open shows its message and ends the window with the cancel result. It ends by itself
// with the OK result about a second after the whole block went out; after a failure it waits
// with "Close". Enter, Escape, the button and the close box all cancel, and the window never
// ends while the worker still uses the block. The session's messages are shown here, never
// from the worker.
class CDlg_Port : public QDialog {
  Q_OBJECT

 public:
  static constexpr int IDD = 139;
  static constexpr int kFinishTimerId = 101;

  explicit CDlg_Port(TransferRequest request, QWidget* parent = nullptr);
  ~CDlg_Port() override;

  // Starts the session and runs the window; QDialog::Accepted when the transfer completed.
  int DoModal();

  QPushButton* Button() const { return button_; }
  QProgressBar* Progress() const { return progress_; }
  QLabel* State() const { return state_; }
  const TransferSession& Session() const { return session_; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void reject() override;
  void accept() override;

 private:
  TransferSession session_;
  QLabel* state_;
  QProgressBar* progress_;
  QPushButton* button_;
  QTimer finishTimer_;

  void OnOpened(bool opened);
  void OnWorkerEnded();
  void OnCancel();
  void OnTimer();
  void OnFinished();
  // The session's messages for the user, one box each.
  void ShowMessages();
};

}  // namespace azuz
