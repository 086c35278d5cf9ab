#include "CDlg_Port.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

namespace azuz {

CDlg_Port::CDlg_Port(TransferRequest request, QWidget* parent)
    : QDialog(parent), session_(std::move(request)) {
  setObjectName(QStringLiteral("id%1").arg(IDD));
  setWindowTitle(QString::fromLocal8Bit(session_.Request().caption));

  progress_ = new QProgressBar(this);
  progress_->setObjectName(QStringLiteral("id1027"));
  progress_->setRange(0, 100);
  progress_->setValue(0);
  progress_->setTextVisible(false);
  progress_->setAccessibleName(QStringLiteral("Transfer progress"));
  progress_->setAccessibleDescription(QStringLiteral("Share of the data sent to the printer"));
  button_ = new QPushButton(QStringLiteral("Cancel"), this);
  button_->setObjectName(QStringLiteral("id1009"));
  button_->setAutoDefault(false);
  // The name follows the caption (Cancel, Completed, Close); the description says what it does.
  button_->setAccessibleDescription(
      QStringLiteral("Stops the transfer, or closes the window once it has ended"));
  connect(button_, &QPushButton::clicked, this, &CDlg_Port::OnCancel);

  auto* row = new QHBoxLayout;
  row->addStretch(1);
  row->addWidget(button_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(QStringLiteral("Sending data to the printer..."), this));
  layout->addWidget(progress_);
  layout->addLayout(row);
  resize(320, 110);

  finishTimer_.setSingleShot(true);
  finishTimer_.setInterval(static_cast<int>(TransferSession::kFinishDelay.count()));
  connect(&finishTimer_, &QTimer::timeout, this, &CDlg_Port::OnTimer);

  // The worker never waits for the window: its reports are queued to the window's thread, and
  // dropped if the window is gone by then.
  session_.onProgress = [this](int position, std::uint32_t) {
    QMetaObject::invokeMethod(
        this, [this, position] { progress_->setValue(std::min(position, 100)); },
        Qt::QueuedConnection);
  };
  session_.onWorkerEnded = [this] {
    QMetaObject::invokeMethod(
        this, [this] { finishTimer_.start(); }, Qt::QueuedConnection);
  };
}

CDlg_Port::~CDlg_Port() {
  finishTimer_.stop();
  session_.onProgress = nullptr;
  session_.onWorkerEnded = nullptr;
  session_.Cancel();
}

int CDlg_Port::DoModal() {
  if (!session_.Start()) {
    setResult(QDialog::Rejected);
    return QDialog::Rejected;
  }
  return exec();
}

void CDlg_Port::OnTimer() {
  session_.Finish();
  if (session_.Completed()) {
    button_->setText(QStringLiteral("Completed"));
    OnCancel();
  } else {
    button_->setText(QStringLiteral("Close"));
  }
}

void CDlg_Port::OnCancel() {
  finishTimer_.stop();
  // Waits for the worker, whose blocking I/O the session interrupts, before the window ends.
  const TransferSession::Result result = session_.Cancel();
  done(result == TransferSession::Result::Ok ? QDialog::Accepted : QDialog::Rejected);
}

void CDlg_Port::closeEvent(QCloseEvent* event) {
  event->ignore();
  OnCancel();
}

void CDlg_Port::keyPressEvent(QKeyEvent* event) {
  // Enter has no default button to press here: it cancels, as Escape does.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    OnCancel();
    return;
  }
  QDialog::keyPressEvent(event);
}

void CDlg_Port::reject() {
  OnCancel();
}

void CDlg_Port::accept() {
  OnCancel();
}

}  // namespace azuz
