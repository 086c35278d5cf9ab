#include <QElapsedTimer>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>
#include <mutex>
#include <thread>
#include <vector>

#include "CDlg_Port.h"
#include "CommandIds.h"
#include "DesignRenderer.h"
#include "GuiTestSupport.h"
#include "PrinterCommands.h"
#include "PrinterEmulator.h"
#include "printer/SilentListener.h"

namespace azuz::test {

namespace {

void PointAtLoopback(CMainFrame& frame, int port) {
  ConnectionState& state = frame.Connection().state;
  state = ConnectionState{};
  state.portKind = kPortKindTcpIp;
  state.settings.portName = "127.0.0.1";
  state.settings.baudRate = port;
}

TransferRequest LoopbackRequest(const std::vector<std::uint8_t>& block, int port) {
  TransferRequest request;
  request.data = block.data();
  request.length = static_cast<std::uint32_t>(block.size());
  request.caption = "Download Watermark image";
  request.portKind = kPortKindTcpIp;
  request.settings.portName = "127.0.0.1";
  request.settings.baudRate = port;
  return request;
}

// Follows the transfer window while it runs: its captions, progress and how it ended.
struct TransferWatch {
  QStringList captions;
  int highestProgress = -1;
  int result = -1;
  std::unique_ptr<ModalHandler> handler;

  TransferWatch() {
    handler = std::make_unique<ModalHandler>("azuz::CDlg_Port", [this](QWidget* modal) {
      auto* dialog = static_cast<CDlg_Port*>(modal);
      QPushButton* button = Control<QPushButton>(dialog, IDC_TRANSFER_BUTTON);
      QProgressBar* progress = Control<QProgressBar>(dialog, IDC_TRANSFER_PROGRESS);
      QObject::connect(dialog, &QDialog::finished, [this, button, progress](int code) {
        captions << button->text();
        highestProgress = std::max(highestProgress, progress->value());
        result = code;
      });
      QObject::connect(progress, &QProgressBar::valueChanged,
                       [this](int value) { highestProgress = std::max(highestProgress, value); });
      captions << dialog->windowTitle() << button->text();
      return true;
    });
  }
};

}  // namespace

class TransferDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void DownloadToTheEmulatorCompletesWithTheExactImage() {
    PrinterEmulator emulator;
    emulator.outDir = ScratchDir().toStdString();
    QVERIFY(emulator.Listen("127.0.0.1", 0));
    std::mutex mutex;
    std::vector<EmulatorEvent> events;
    emulator.onEvent = [&](const EmulatorEvent& event) {
      const std::lock_guard lock(mutex);
      events.push_back(event);
    };
    std::thread printer([&] { emulator.Run(1); });

    StartedDesigner designer;
    PointAtLoopback(designer.Frame(), emulator.Port());
    const WatermarkImage expected = *RenderWatermarkImage(designer.Doc());
    TransferWatch watch;
    QVERIFY(designer.Frame().OnCommand(ID_DOWNLOAD_WATERMARK));
    printer.join();

    QCOMPARE(watch.captions, (QStringList{QStringLiteral("Download Watermark image"),
                                          QStringLiteral("Cancel"), QStringLiteral("Completed")}));
    QCOMPARE(watch.result, static_cast<int>(QDialog::Accepted));
    QCOMPARE(watch.highestProgress, 100);
    const std::lock_guard lock(mutex);
    QCOMPARE(events.size(), std::size_t{1});
    QCOMPARE(events[0].kind, EmulatorEvent::kDownload);
    QVERIFY(events[0].image == expected);
    QCOMPARE(expected.size(), std::size_t{21129});  // the 512-dot page of the default model
  }

  void TestPageArrivesByteForByte() {
    LoopbackListener printer(LoopbackListener::Mode::ReadAll);
    StartedDesigner designer;
    PointAtLoopback(designer.Frame(), printer.Port());
    TransferWatch watch;
    QVERIFY(designer.Frame().OnCommand(ID_TEST_PRINT));
    const QByteArray received = printer.Received();
    const std::vector<std::uint8_t> page = TestPageCommand().bytes;
    QCOMPARE(received.size(), 4028);
    QVERIFY(std::equal(page.begin(), page.end(), received.begin()));
    QCOMPARE(watch.captions.value(0), QStringLiteral("Print test watermark."));
    QCOMPARE(watch.result, static_cast<int>(QDialog::Accepted));
  }

  void ARefusedConnectionShowsTheTcpMessageAndEndsTheWindowWithCancel() {
    StartedDesigner designer;
    PointAtLoopback(designer.Frame(), LoopbackListener::RefusingPort());
    TransferWatch watch;
    auto message = AnswerMessageBox(QMessageBox::Ok);
    const std::uint8_t on[] = {0x08, 0x57, 0x45, 0x01};
    QVERIFY(!designer.Frame().SendPrinterData(on, 4, "Set watermark On.", false));
    QVERIFY(message->Handled());
    QCOMPARE(message->Seen(),
             QStringLiteral("Error : Failed to connected \r\nPlease, check IP port configuration "
                            "in printer control pannel \"PORT\""));
    // The window (which may end before a watcher sees it) ended with the cancel result and sent
    // nothing.
    QVERIFY(!watch.captions.contains(QStringLiteral("Completed")));
    QVERIFY(watch.highestProgress <= 0);
  }

  void TheWindowAnswersWhileAConnectHangsAndCancelEndsItAtOnce() {
    test::SilentListener silent;
    QVERIFY2(silent.full, "the listener's queue never filled");
    const std::vector<std::uint8_t> block(4, 0x01);
    CDlg_Port dialog(LoopbackRequest(block, silent.port));
    QElapsedTimer clock;
    clock.start();
    // A timer on the window's thread: the longest gap between its ticks says how long the
    // window could not answer.
    QTimer ticker;
    qint64 lastTick = 0;
    qint64 longestGap = 0;
    QObject::connect(&ticker, &QTimer::timeout, [&] {
      longestGap = std::max(longestGap, clock.elapsed() - lastTick);
      lastTick = clock.elapsed();
    });
    ticker.start(20);
    qint64 shownAt = -1;
    QString stateShown;
    QElapsedTimer sinceCancel;
    ModalHandler user("azuz::CDlg_Port", [&](QWidget*) {
      if (shownAt < 0) {
        shownAt = clock.elapsed();
        stateShown = dialog.State()->text();
      }
      if (clock.elapsed() - shownAt < 1500) {
        return false;
      }
      // A click that only the window's own event loop can deliver.
      QPushButton* button = dialog.Button();
      const QPointF at = QRectF(button->rect()).center();
      sinceCancel.start();
      QCoreApplication::postEvent(
          button, new QMouseEvent(QEvent::MouseButtonPress, at, button->mapToGlobal(at),
                                  Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
      QCoreApplication::postEvent(
          button, new QMouseEvent(QEvent::MouseButtonRelease, at, button->mapToGlobal(at),
                                  Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
      return true;
    });
    QCOMPARE(dialog.DoModal(), static_cast<int>(QDialog::Rejected));
    const qint64 cancelToClosed = sinceCancel.elapsed();
    ticker.stop();
    qInfo("window shown after %lld ms; longest unanswered gap %lld ms; Cancel to closed %lld ms",
          shownAt, longestGap, cancelToClosed);
    QVERIFY(user.Handled());
    QVERIFY2(shownAt >= 0 && shownAt < 300, qPrintable(QString::number(shownAt)));
    QCOMPARE(stateShown, QStringLiteral("Connecting to the printer..."));
    QVERIFY2(longestGap < 250, qPrintable(QString::number(longestGap)));
    QVERIFY2(cancelToClosed < 500, qPrintable(QString::number(cancelToClosed)));
    QVERIFY(!dialog.Session().Opened());
    QVERIFY(dialog.Session().Ended());
  }

  void ADroppedConnectionLeavesTheWindowOpenWithClose() {
    LoopbackListener printer(LoopbackListener::Mode::DropAfter, 2000);
    const std::vector<std::uint8_t> block(23773, 0x55);
    CDlg_Port dialog(LoopbackRequest(block, printer.Port()));
    auto failure = AnswerMessageBox(QMessageBox::Ok);
    QString captionAtTheEnd;
    // Once the window says "Close" it waits for the user, who presses the button.
    ModalHandler user("azuz::CDlg_Port", [&](QWidget*) {
      if (dialog.Button()->text() != QStringLiteral("Close")) {
        return false;
      }
      captionAtTheEnd = dialog.Button()->text();
      QTest::mouseClick(dialog.Button(), Qt::LeftButton);
      return true;
    });
    QCOMPARE(dialog.DoModal(), static_cast<int>(QDialog::Rejected));
    QVERIFY(failure->Handled());
    QCOMPARE(failure->Seen(), QStringLiteral("Error : Data transfer is failed!"));
    QCOMPARE(captionAtTheEnd, QStringLiteral("Close"));
    QVERIFY(dialog.Progress()->value() < 100);
    QVERIFY(printer.Received().size() >= 2000);
  }

  void EnterEscapeAndTheCloseBoxCancelARunningTransfer_data() {
    QTest::addColumn<int>("how");
    QTest::newRow("Escape") << 0;
    QTest::newRow("Enter") << 1;
    QTest::newRow("close box") << 2;
    QTest::newRow("button") << 3;
  }
  void EnterEscapeAndTheCloseBoxCancelARunningTransfer() {
    QFETCH(int, how);
    LoopbackListener printer(LoopbackListener::Mode::NeverRead);
    // Larger than any socket buffer, so the worker is still sending when the user cancels.
    const std::vector<std::uint8_t> block(64u << 20, 0xAA);
    CDlg_Port dialog(LoopbackRequest(block, printer.Port()));
    QElapsedTimer sinceShown;
    QElapsedTimer sinceCancel;
    ModalHandler user("azuz::CDlg_Port", [&](QWidget*) {
      if (!sinceShown.isValid()) {
        sinceShown.start();
      }
      if (sinceShown.elapsed() < 200) {
        return false;
      }
      sinceCancel.start();
      switch (how) {
        case 0:
          QTest::keyClick(&dialog, Qt::Key_Escape);
          break;
        case 1:
          QTest::keyClick(&dialog, Qt::Key_Return);
          break;
        case 2:
          dialog.close();
          break;
        default:
          QTest::mouseClick(dialog.Button(), Qt::LeftButton);
          break;
      }
      return true;
    });
    QCOMPARE(dialog.DoModal(), static_cast<int>(QDialog::Rejected));
    QVERIFY(user.Handled());
    QVERIFY2(sinceCancel.elapsed() < 1500, qPrintable(QString::number(sinceCancel.elapsed())));
    QVERIFY(dialog.Session().Ended());
    QVERIFY(!dialog.Session().Completed());
    QCOMPARE(dialog.Button()->text(), QStringLiteral("Cancel"));
  }

  void AFourByteCommandIsOneChunkThenFull() {
    LoopbackListener printer(LoopbackListener::Mode::ReadAll);
    StartedDesigner designer;
    PointAtLoopback(designer.Frame(), printer.Port());
    TransferWatch watch;
    QElapsedTimer clock;
    clock.start();
    QVERIFY(designer.Frame().OnCommand(ID_WATERMARK_OFF));
    QVERIFY(clock.elapsed() >= 900);  // the window closes about a second after the write
    QCOMPARE(printer.Received(), QByteArray("\x08\x57\x45\x00", 4));
    QCOMPARE(watch.highestProgress, 100);
    QCOMPARE(watch.captions.value(0), QStringLiteral("Set watermark Off."));
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::TransferDialogTest)
#include "TransferDialogTest.moc"
