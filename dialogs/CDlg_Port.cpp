#include "CDlg_Port.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "UserPrompts.h"

namespace azuz {

namespace {

const QString kConnecting = QStringLiteral("Connecting to the printer...");
const QString kSending = QStringLiteral("Sending data to the printer...");

}  // namespace

CDlg_Port::CDlg_Port(TransferRequest request, QWidget* parent)
    : QDialog(parent), session_(std::move(request)) {
  setObjectName(QStringLiteral("id%1").arg(IDD));
  setWindowTitle(QString::fromLocal8Bit(session_.Request().caption));

  state_ = new QLabel(kConnecting, this);
  state_->setObjectName(QStringLiteral("transferState"));
  state_->setAccessibleName(QStringLiteral("Transfer state"));
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
  layout->addWidget(state_);
  layout->addWidget(progress_);
  layout->addLayout(row);
  resize(320, 110);

  finishTimer_.setSingleShot(true);
  finishTimer_.setInterval(static_cast<int>(TransferSession::kFinishDelay.count()));
  connect(&finishTimer_, &QTimer::timeout, this, &CDlg_Port::OnTimer);

  // The worker never waits for the window: its reports are queued to the window's thread, and
  // dropped if the window is gone by then.
  session_.onOpened = [this](bool opened) {
    QMetaObject::invokeMethod(
        this, [this, opened] { OnOpened(opened); }, Qt::QueuedConnection);
  };
  session_.onProgress = [this](int position, std::uint32_t) {
    QMetaObject::invokeMethod(
        this, [this, position] { progress_->setValue(std::min(position, 100)); },
        Qt::QueuedConnection);
  };
  session_.onWorkerEnded = [this] {
    QMetaObject::invokeMethod(
        this, [this] { OnWorkerEnded(); }, Qt::QueuedConnection);
  };
  session_.onFinished = [this] {
    QMetaObject::invokeMethod(
        this, [this] { OnFinished(); }, Qt::QueuedConnection);
  };
}

CDlg_Port::~CDlg_Port() {
  finishTimer_.stop();
  session_.Cancel();
}

int CDlg_Port::DoModal() {
  if (!session_.Start()) {
    setResult(QDialog::Rejected);
    return QDialog::Rejected;
  }
  return exec();
}

void CDlg_Port::ShowMessages() {
  for (const ConnectionMessage& message : session_.TakeMessages()) {
    Prompts().Message(message.text, message.detail);
  }
}

void CDlg_Port::OnOpened(bool opened) {
  if (session_.Ended()) {
    return;
  }
  if (opened) {
    state_->setText(kSending);
    return;
  }
  ShowMessages();
  OnCancel();
}

void CDlg_Port::OnWorkerEnded() {
  if (session_.Ended() || !session_.Opened()) {
    return;
  }
  // A failed write says so before the finishing step, as the worker's own box did.
  ShowMessages();
  if (!session_.Ended()) {
    finishTimer_.start();
  }
}

void CDlg_Port::OnTimer() {
  // The worker closes the connection and gives the queues back; OnFinished follows.
  session_.RequestFinish();
}

void CDlg_Port::OnFinished() {
  if (session_.Ended() || !session_.Opened()) {
    return;
  }
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
  // Waits only until the worker, whose blocking I/O the session interrupts, lets go of the block
  // and the connection; spooler queues come back on the worker.
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
