#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>

#include "CDlg_CommSet.h"
#include "CommandIds.h"
#include "CommunicationTest.h"
#include "DesignRenderer.h"
#include "GuiTestSupport.h"
#include "IpAddressEdit.h"
#include "PrinterCommands.h"
#include "QtPrompts.h"
// moc can't read the fixture's raw strings; it needs nothing from it.
#ifndef Q_MOC_RUN
#include "printer/CupsdFixture.h"
#endif

namespace azuz::test {

namespace {

const QByteArray kTestText(kCommunicationTestText, static_cast<int>(kCommunicationTestLength));

void Click(QWidget* dialog, int id) {
  QAbstractButton* button = Control<QAbstractButton>(dialog, id);
  QVERIFY2(button->isEnabled(), qPrintable(ControlName(id)));
  QTest::mouseClick(button, Qt::LeftButton);
}

// Chooses TCP/IP and types the address and the port, as a user does.
void ChooseTcp(QWidget* dialog, const std::array<int, 4>& address, int port) {
  Click(dialog, IDC_PORT_TCPIP);
  auto* parts = Control<IpAddressEdit>(dialog, IDC_IP_ADDRESS);
  for (int n = 0; n < 4; ++n) {
    QSpinBox* part = parts->Part(n);
    part->selectAll();
    QTest::keyClicks(part, QString::number(address[static_cast<std::size_t>(n)]));
  }
  auto* edit = Control<QLineEdit>(dialog, IDC_TCP_PORT);
  edit->selectAll();
  QTest::keyClicks(edit, QString::number(port));
}

// A listener whose queue is full, so that connects to it get no answer.
class SilentPort {
 public:
  SilentPort() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in where{};
    where.sin_family = AF_INET;
    where.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&where), sizeof where);
    listen(listener_, 0);
    socklen_t size = sizeof where;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&where), &size);
    port_ = ntohs(where.sin_port);
    for (int& filler : fillers_) {
      filler = socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
      connect(filler, reinterpret_cast<sockaddr*>(&where), sizeof where);
    }
    QTest::qWait(100);
  }
  ~SilentPort() {
    for (int filler : fillers_) {
      close(filler);
    }
    close(listener_);
  }
  int Port() const { return port_; }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::array<int, 3> fillers_{};
};

}  // namespace

class CommSetDialogTest : public QObject {
  Q_OBJECT

  PrivateCupsd cupsd_;
  bool cupsdUp_ = false;

 private slots:
  void initTestCase() {
    InstallQtPrompts();  // the dialogs run here without the designer, which installs them
    // Before anything asks the spooler on this thread.
    cupsdUp_ = PrivateCupsd::Installed() && cupsd_.Start();
  }
  void cleanupTestCase() { cupsd_.Stop(); }

  void EveryControlHasAnAccessibleName() {
    CDlg_CommSet dialog;
    dialog.show();
    int controls = 0;
    for (QWidget* widget : dialog.findChildren<QWidget*>()) {
      if (qobject_cast<QAbstractButton*>(widget) || qobject_cast<QComboBox*>(widget) ||
          qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractSpinBox*>(widget)) {
        if (qobject_cast<QLineEdit*>(widget) && qobject_cast<QAbstractSpinBox*>(widget->parent())) {
          continue;  // a spin box's own editor
        }
        QVERIFY2(!widget->accessibleName().isEmpty(), qPrintable(widget->objectName()));
        ++controls;
      }
    }
    QVERIFY(controls >= 21);  // 6 radios, 7 lists, port, 4 parts, test, OK, Cancel
    QCOMPARE(Control<QLabel>(&dialog, IDC_PORT_LABEL)->text(), QStringLiteral("Port:"));
    QCOMPARE(Control<QLabel>(&dialog, IDC_BAUD_LABEL)->text(), QStringLiteral("Baudrate:"));
  }

  void ATcpTestPrintArrivesAsExactlyTheTestText() {
    LoopbackListener printer(LoopbackListener::Mode::ReadAll);
    CDlg_CommSet dialog;
    dialog.show();
    ChooseTcp(&dialog, {127, 0, 0, 1}, printer.Port());
    QCOMPARE(Control<QLabel>(&dialog, IDC_PORT_LABEL)->text(), QStringLiteral("IP:"));
    QCOMPARE(Control<QLabel>(&dialog, IDC_BAUD_LABEL)->text(), QStringLiteral("PORT:"));
    QVERIFY(Control<QComboBox>(&dialog, IDC_PORT_LIST)->isHidden());
    QSignalSpy ended(&dialog, &CDlg_CommSet::testEnded);
    Click(&dialog, IDC_COMM_TEST);
    QVERIFY(ended.wait(5000));
    QCOMPARE(ended.first().at(0).toInt(), 0);
    QVERIFY(ended.first().at(1).toBool());
    QCOMPARE(printer.Received(), kTestText);  // also waits for the connection to close
    QCOMPARE(Control<QPushButton>(&dialog, IDC_COMM_TEST)->text(), QStringLiteral("&Test"));
  }

  void ADriverModeTestIsOneRawSpoolerJob() {
    if (!cupsdUp_) {
      QSKIP(PrivateCupsd::Installed() ? "cupsd did not start" : "cupsd is not installed");
    }
    cupsd_.ClearJobs();
    QVERIFY(cupsd_.AddQueue("slip", "ORVELIX QPT-L710"));
    CDlg_CommSet dialog;
    dialog.show();
    Click(&dialog, IDC_DRIVER_MODE);
    auto* printers = Control<QComboBox>(&dialog, IDC_PRINTER_LIST);
    QVERIFY(printers->isEnabled());
    QCOMPARE(printers->currentText(), QStringLiteral("ORVELIX QPT-L710 (slip)"));
    QVERIFY(!Control<QComboBox>(&dialog, IDC_PORT_LIST)->isEnabled());
    QSignalSpy ended(&dialog, &CDlg_CommSet::testEnded);
    Click(&dialog, IDC_COMM_TEST);
    QVERIFY(ended.wait(10000));
    QCOMPARE(ended.first().at(0).toInt(), 0);
    QVERIFY2(cupsd_.WaitForJobs(1, std::chrono::seconds(10)), cupsd_.ErrorLog().c_str());
    const std::vector<CapturedJob> jobs = cupsd_.Jobs();
    QCOMPARE(jobs.size(), std::size_t{1});
    QCOMPARE(jobs[0].queue, std::string("slip"));
    QCOMPARE(jobs[0].title, std::string("WaterMark: Communication Test"));
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(jobs[0].bytes.data()),
                        static_cast<int>(jobs[0].bytes.size())),
             kTestText);
    QVERIFY(cupsd_.RemoveQueue("slip"));
  }

  void APrinterThatIsGoneShowsTheSpoolersErrorCode() {
    if (!cupsdUp_) {
      QSKIP(PrivateCupsd::Installed() ? "cupsd did not start" : "cupsd is not installed");
    }
    QVERIFY(cupsd_.AddQueue("till", "ORVELIX QPT-L712"));
    CDlg_CommSet dialog;
    dialog.show();
    Click(&dialog, IDC_DRIVER_MODE);
    QCOMPARE(Control<QComboBox>(&dialog, IDC_PRINTER_LIST)->currentText(),
             QStringLiteral("ORVELIX QPT-L712 (till)"));
    QVERIFY(cupsd_.RemoveQueue("till"));
    auto box = AnswerMessageBox(QMessageBox::Ok);
    QSignalSpy ended(&dialog, &CDlg_CommSet::testEnded);
    Click(&dialog, IDC_COMM_TEST);
    QVERIFY(ended.wait(10000));
    QCOMPARE(ended.first().at(0).toInt(), -1);
    QVERIFY(box->Handled());
    QCOMPARE(box->Seen(), QStringLiteral("Failed to test printing\r\nError Code = -1!!!"));
  }

  void EscapeDuringATestEndsTheDialogSoon() {
    SilentPort silent;
    CDlg_CommSet dialog;
    QElapsedTimer sinceEscape;
    ModalHandler user("azuz::CDlg_CommSet", [&](QWidget*) {
      if (!dialog.TestRunning()) {
        ChooseTcp(&dialog, {127, 0, 0, 1}, silent.Port());
        Click(&dialog, IDC_COMM_TEST);
        return false;
      }
      sinceEscape.start();
      QTest::keyClick(&dialog, Qt::Key_Escape);
      return true;
    });
    QCOMPARE(dialog.exec(), static_cast<int>(QDialog::Rejected));
    QVERIFY(user.Handled());
    QVERIFY2(sinceEscape.elapsed() < 1000, qPrintable(QString::number(sinceEscape.elapsed())));
    QVERIFY(!dialog.TestRunning());
  }

  void ARefusedConnectionShowsThePortLayersMessageOnly() {
    CDlg_CommSet dialog;
    dialog.show();
    ChooseTcp(&dialog, {127, 0, 0, 1}, LoopbackListener::RefusingPort());
    QStringList seen;
    ModalHandler boxes("QMessageBox", [&](QWidget* box) {
      seen << static_cast<QMessageBox*>(box)->text();
      static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
      return false;  // and every later one
    });
    QSignalSpy ended(&dialog, &CDlg_CommSet::testEnded);
    Click(&dialog, IDC_COMM_TEST);
    QVERIFY(ended.wait(5000));
    QTRY_COMPARE(seen.size(), 1);
    QTest::qWait(300);
    QCOMPARE(seen, QStringList{QStringLiteral("Error : Failed to connected \r\nPlease, check IP "
                                              "port configuration in printer control pannel "
                                              "\"PORT\"")});
    QVERIFY(!ended.first().at(1).toBool());
  }

  void ATestThatGetsNoAnswerCanBeStoppedWhileTheWindowResponds() {
    SilentPort silent;
    CDlg_CommSet dialog;
    dialog.show();
    ChooseTcp(&dialog, {127, 0, 0, 1}, silent.Port());
    auto* test = Control<QPushButton>(&dialog, IDC_COMM_TEST);
    QSignalSpy ended(&dialog, &CDlg_CommSet::testEnded);
    Click(&dialog, IDC_COMM_TEST);
    QVERIFY(dialog.TestRunning());
    QCOMPARE(test->text(), QStringLiteral("&Stop Test"));
    // The window keeps working meanwhile: a timer of this thread fires on time.
    QElapsedTimer waited;
    waited.start();
    QTest::qWait(300);
    QVERIFY(waited.elapsed() < 1000);
    QVERIFY(dialog.TestRunning());
    QElapsedTimer sinceStop;
    sinceStop.start();
    QTest::mouseClick(test, Qt::LeftButton);
    QVERIFY(ended.wait(2000));
    QVERIFY2(sinceStop.elapsed() < 1000, qPrintable(QString::number(sinceStop.elapsed())));
    QVERIFY(!ended.first().at(1).toBool());
    QCOMPARE(test->text(), QStringLiteral("&Test"));
  }

  void OkThenADownloadGoesToTheChosenConnection() {
    LoopbackListener printer(LoopbackListener::Mode::ReadAll);
    StartedDesigner designer;
    ModalHandler user("azuz::CDlg_CommSet", [&](QWidget* dialog) {
      ChooseTcp(dialog, {127, 0, 0, 1}, printer.Port());
      Click(dialog, IDOK);
      return true;
    });
    QVERIFY(designer.Frame().OnCommand(ID_COMM_SETTINGS));
    QVERIFY(user.Handled());
    const ConnectionState& state = designer.Frame().Connection().state;
    QCOMPARE(state.portKind, kPortKindTcpIp);
    QCOMPARE(state.useDriver, 0);
    QCOMPARE(state.settings.portName, std::string("127.  0.  0.  1"));
    QCOMPARE(state.settings.baudRate, printer.Port());

    const std::vector<std::uint8_t> expected =
        DownloadCommand(*RenderWatermarkImage(designer.Doc())).bytes;
    ModalHandler transfer("azuz::CDlg_Port", [](QWidget*) { return true; });
    QVERIFY(designer.Frame().OnCommand(ID_DOWNLOAD_WATERMARK));
    const QByteArray received = printer.Received();
    QCOMPARE(received.size(), static_cast<int>(expected.size()));
    QVERIFY(std::equal(expected.begin(), expected.end(), received.begin()));
  }

  void CancelChangesNothing() {
    StartedDesigner designer;
    ConnectionState& state = designer.Frame().Connection().state;
    state.settings.portName = "COM2";
    state.settings.baudRate = 19200;
    const ConnectionState before = state;
    QStringList shown;
    ModalHandler user("azuz::CDlg_CommSet", [&](QWidget* dialog) {
      shown << Control<QComboBox>(dialog, IDC_PORT_LIST)->currentText()
            << Control<QComboBox>(dialog, IDC_BAUD_LIST)->currentText();
      ChooseTcp(dialog, {10, 1, 2, 3}, 9200);
      Click(dialog, IDCANCEL);
      return true;
    });
    QVERIFY(designer.Frame().OnCommand(ID_COMM_SETTINGS));
    QVERIFY(user.Handled());
    QCOMPARE(shown, (QStringList{QStringLiteral("COM2"), QStringLiteral("19200")}));
    QVERIFY(state == before);
  }

  void OkWithAPortThatIsNoNumberKeepsTheDialogOpen() {
    CDlg_CommSet dialog;
    dialog.show();
    ChooseTcp(&dialog, {127, 0, 0, 1}, 9100);
    auto* edit = Control<QLineEdit>(&dialog, IDC_TCP_PORT);
    edit->selectAll();
    QTest::keyClicks(edit, QStringLiteral("91x"));
    auto box = AnswerMessageBox(QMessageBox::Ok);
    Click(&dialog, IDOK);
    QTRY_VERIFY(box->Handled());
    QCOMPARE(box->Seen(), QStringLiteral("Please enter a positive integer."));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), 0);
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::CommSetDialogTest)
#include "CommSetDialogTest.moc"
