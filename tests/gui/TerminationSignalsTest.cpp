#include <QElapsedTimer>
#include <QSignalSpy>
#include <csignal>

#include "CDlg_Port.h"
#include "CupsQueues.h"
#include "GuiTestSupport.h"
#include "QtPrompts.h"
#include "SpoolerPorts.h"
#include "TerminationSignals.h"
#include "printer/SilentListener.h"
// moc can't read the fixture's raw strings; it needs nothing from it.
#ifndef Q_MOC_RUN
#include "printer/CupsdFixture.h"
#endif

namespace azuz::test {

namespace {

std::string UriOf(const std::string& queue) {
  const auto found = GetCupsQueue(queue);
  return found ? found->deviceUri : "<missing>";
}

}  // namespace

class TerminationSignalsTest : public QObject {
  Q_OBJECT

  PrivateCupsd cupsd_;
  bool cupsdUp_ = false;

 private slots:
  void initTestCase() {
    InstallQtPrompts();
    cupsdUp_ = PrivateCupsd::Installed() && cupsd_.Start();
  }
  void cleanupTestCase() { cupsd_.Stop(); }
  void cleanup() {
    // The signal left every event loop, as it does in the program; a run of the application's
    // own loop clears that for the next test.
    QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
    QCoreApplication::exec();
  }

  void ASignalDuringATransferEndsItAndGivesTheParkedQueueBack_data() {
    QTest::addColumn<int>("signal");
    QTest::newRow("SIGINT") << SIGINT;
    QTest::newRow("SIGTERM") << SIGTERM;
    QTest::newRow("SIGHUP") << SIGHUP;
  }
  void ASignalDuringATransferEndsItAndGivesTheParkedQueueBack() {
    if (!cupsdUp_) {
      QSKIP(PrivateCupsd::Installed() ? "cupsd did not start" : "cupsd is not installed");
    }
    QFETCH(int, signal);
    SilentListener printer;  // the connect hangs, so the transfer is under way when it comes
    QVERIFY2(printer.full, "the listener's queue never filled");
    const std::string device = "socket://127.0.0.1:" + std::to_string(printer.port);
    QVERIFY2(cupsd_.AddQueue("net", "ORVELIX QPT-L712", device), cupsd_.Error().c_str());

    const std::vector<std::uint8_t> block(4, 0x01);
    TransferRequest request;
    request.data = block.data();
    request.length = static_cast<std::uint32_t>(block.size());
    request.portKind = kPortKindTcpIp;
    request.releaseSpoolerPort = true;
    request.settings.portName = "127.0.0.1";
    request.settings.baudRate = printer.port;
    SpoolerPortHooks hooks = MakeSpoolerPortHooks();
    request.releasePorts = hooks.release;
    request.restorePorts = hooks.restore;

    const TerminationSignals termination;
    QSignalSpy taken(&termination, &TerminationSignals::signalled);
    auto dialog = std::make_unique<CDlg_Port>(request);
    QElapsedTimer sinceShown;
    QElapsedTimer sinceSignal;
    std::string uriWhileConnecting;
    ModalHandler user("azuz::CDlg_Port", [&](QWidget*) {
      if (!sinceShown.isValid()) {
        sinceShown.start();
      }
      if (sinceShown.elapsed() < 300 || UriOf("net") != kParkedDeviceUri) {
        return false;
      }
      uriWhileConnecting = UriOf("net");
      sinceSignal.start();
      raise(signal);
      return true;
    });
    QCOMPARE(dialog->DoModal(), static_cast<int>(QDialog::Rejected));
    QVERIFY(!dialog->Session().Opened());
    // As in the program, whose loops unwind through the window's end.
    dialog.reset();
    const qint64 signalToClosed = sinceSignal.elapsed();
    QVERIFY(user.Handled());
    QCOMPARE(taken.count(), 1);
    QCOMPARE(termination.Taken(), signal);
    QCOMPARE(uriWhileConnecting, std::string(kParkedDeviceUri));
    QVERIFY2(signalToClosed < 500, qPrintable(QString::number(signalToClosed)));
    // The worker gives the queue back before the program may end.
    QVERIFY(TransferSession::WaitForAllSessions(std::chrono::seconds(15)));
    const qint64 signalToRestored = sinceSignal.elapsed();
    QCOMPARE(UriOf("net"), device);
    qInfo("signal to window gone %lld ms, to queue given back %lld ms", signalToClosed,
          signalToRestored);
    QVERIFY2(signalToRestored < 2000, qPrintable(QString::number(signalToRestored)));
    QVERIFY(cupsd_.RemoveQueue("net"));
  }

  void TheSignalsAreTheProgramsOwnOnlyWhileItWatches() {
    struct sigaction before {};
    sigaction(SIGTERM, nullptr, &before);
    {
      const TerminationSignals termination;
      struct sigaction during {};
      sigaction(SIGTERM, nullptr, &during);
      QVERIFY(during.sa_handler != before.sa_handler);
    }
    struct sigaction after {};
    sigaction(SIGTERM, nullptr, &after);
    QVERIFY(after.sa_handler == before.sa_handler);
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::TerminationSignalsTest)
#include "TerminationSignalsTest.moc"
