#include <QDBusConnection>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QTableWidget>
#include <vector>

#include "CommandIds.h"
#include "ConnectionSetup.h"
#include "GuiTestSupport.h"
#include "SessionService.h"
#include "StartupArguments.h"

namespace azuz::test {

namespace {

QString Designer() {
  return QStringLiteral(AZUZ_BINARY_DIR "/app/vurodadud-azuz");
}

// A writable copy of a corpus design (opening asks for write access), or empty when absent.
QString WritableCopy(const QString& name) {
  const QString source = CorpusDesign(name);
  if (source.isEmpty()) {
    return {};
  }
  const QString copy = ScratchDir() + QLatin1Char('/') + name;
  QFile::remove(copy);
  if (!QFile::copy(source, copy) ||
      !QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner)) {
    return {};
  }
  return copy;
}

QStringList ObjectRows(const CMainFrame& frame) {
  auto* list = Control<QTableWidget>(frame.AttributePanel(), IDC_OBJECT_LIST);
  QStringList rows;
  for (int row = 0; row < list->rowCount(); ++row) {
    QStringList cells;
    for (int column = 0; column < list->columnCount(); ++column) {
      cells << (list->item(row, column) != nullptr ? list->item(row, column)->text() : QString());
    }
    rows << cells.join(QLatin1Char('|'));
  }
  return rows;
}

}  // namespace

class OpenOptionTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() {
    // A private session bus for this run: the user's own never sees the test's designers.
    bus_.start(QStringLiteral("dbus-daemon"),
               {QStringLiteral("--session"), QStringLiteral("--nofork"),
                QStringLiteral("--print-address")});
    QVERIFY(bus_.waitForStarted());
    QVERIFY(bus_.waitForReadyRead(5000));
    address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    QVERIFY(!address_.isEmpty());
    qputenv("DBUS_SESSION_BUS_ADDRESS", address_.toUtf8());
    QVERIFY(QDBusConnection::sessionBus().isConnected());
  }

  void cleanupTestCase() {
    bus_.kill();
    bus_.waitForFinished();
  }

  void OpenTakesItsFileAndLeavesTheTail_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("openPath");
    QTest::addColumn<QString>("tail");
    QTest::newRow("file and printer")
        << QStringList{"--open", "/d/logo.bwi", "Front", "Desk"} << "/d/logo.bwi"
        << "Front Desk";
    QTest::newRow("printer first")
        << QStringList{"Custom", "QPT-L712", "--open", "a b.bwi"} << "a b.bwi"
        << "Custom QPT-L712";
    QTest::newRow("joined form") << QStringList{"--open=/x.bwi"} << "/x.bwi"
                                 << "";
    QTest::newRow("file without option") << QStringList{"/tmp/logo.bwi"} << ""
                                         << "/tmp/logo.bwi";
    QTest::newRow("option without file") << QStringList{"Front", "--open"} << ""
                                         << "Front";
  }
  void OpenTakesItsFileAndLeavesTheTail() {
    QFETCH(QStringList, arguments);
    QFETCH(QString, openPath);
    QFETCH(QString, tail);
    std::vector<QByteArray> storage{"vurodadud-azuz"};
    for (const QString& argument : arguments) {
      storage.push_back(argument.toUtf8());
    }
    std::vector<const char*> argv;
    for (const QByteArray& argument : storage) {
      argv.push_back(argument.constData());
    }
    const StartupArguments parsed =
        ParseStartupArguments(static_cast<int>(argv.size()), argv.data());
    QCOMPARE(parsed.openPath, openPath);
    QCOMPARE(QString::fromStdString(parsed.commandLineTail), tail);
    QVERIFY(!parsed.showHelp);
  }

  void OpenShowsWhatFileOpenShows() {
    const QString design = WritableCopy(QStringLiteral("overlap_fade50.bwi"));
    if (design.isEmpty()) {
      QSKIP("test corpus not present");
    }
    StartedDesigner chosen;
    auto dialog = ChooseInFileDialog(design);
    QVERIFY(chosen.Frame().OnCommand(ID_FILE_OPEN));
    QVERIFY(dialog->Handled());

    // A printer named beside the option still chooses the connection.
    StartedDesigner opened("Custom QPT-L712", design);
    QCOMPARE(opened.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [overlap_fade50.bwi]"));
    QCOMPARE(opened.Frame().windowTitle(), chosen.Frame().windowTitle());
    QCOMPARE(ObjectRows(opened.Frame()), ObjectRows(chosen.Frame()));
    QVERIFY(!ObjectRows(opened.Frame()).isEmpty());
    QCOMPARE(opened.Doc().filePath, chosen.Doc().filePath);
    QCOMPARE(opened.Doc().pageWidth, 576);
  }

  void OpenOfADamagedFileGivesFileOpensMessage() {
    const QString missing = ScratchDir() + QStringLiteral("/damaged.bwi");
    QFile damaged(missing);
    QVERIFY(damaged.open(QIODevice::WriteOnly));
    damaged.write("not a design at all");
    damaged.close();
    QString viaOpen;
    {
      auto box = AnswerMessageBox(QMessageBox::Ok);
      StartedDesigner opened({}, missing);
      QTRY_VERIFY(box->Handled());
      viaOpen = box->Seen();
      QVERIFY2(viaOpen.contains(QStringLiteral("damaged.bwi")), qPrintable(viaOpen));
      QCOMPARE(opened.Doc().objects.size(), std::size_t{0});
    }
    StartedDesigner chosen;
    auto dialog = ChooseInFileDialog(missing);
    auto box = AnswerMessageBox(QMessageBox::Ok);
    QVERIFY(chosen.Frame().OnCommand(ID_FILE_OPEN));
    QTRY_VERIFY(box->Handled());
    QCOMPARE(viaOpen, box->Seen());
  }

  void SecondStartHandsItsFileToTheRunningWindow() {
    const QString first = WritableCopy(QStringLiteral("overlap_fade50.bwi"));
    const QString second = WritableCopy(QStringLiteral("fade_0.bwi"));
    if (first.isEmpty() || second.isEmpty()) {
      QSKIP("test corpus not present");
    }
    SessionService service;
    QCOMPARE(service.ClaimName(), SessionService::Claim::Claimed);
    StartedDesigner running({}, first);
    service.Serve(&running.Frame());
    running.Frame().showMinimized();
    QCOMPARE(running.Frame().windowTitle(),
             QStringLiteral("Vurodadud Azuz - [overlap_fade50.bwi]"));

    // Started from another folder with a relative name, as a file manager might.
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), address_);
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(ScratchDir());
    QElapsedTimer clock;
    clock.start();
    process.start(Designer(), {QStringLiteral("--open"), QStringLiteral("fade_0.bwi")});
    QVERIFY(process.waitForStarted());
    QTRY_VERIFY_WITH_TIMEOUT(process.state() == QProcess::NotRunning, 5000);
    const qint64 elapsed = clock.elapsed();
    qInfo("the second start ended after %lld ms", elapsed);
    QCOMPARE(process.exitStatus(), QProcess::NormalExit);
    QCOMPARE(process.exitCode(), 0);
    QVERIFY2(elapsed < 1000, qPrintable(QString::number(elapsed)));

    QTRY_COMPARE(running.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [fade_0.bwi]"));
    QCOMPARE(QString::fromStdString(running.Doc().filePath), second);
    QVERIFY(!running.Frame().isMinimized());
  }

  void WithoutTheRunningDesignerASecondStartOpensItsOwnWindow() {
    // Nobody holds the name on this bus now, and with no bus at all the designer starts too.
    for (const QString& bus : {address_, QStringLiteral("unix:path=/nonexistent/bus")}) {
      QProcess process;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
      environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus);
      process.setProcessEnvironment(environment);
      process.start(Designer(), {QStringLiteral("--open"), ScratchDir() + "/nothing.bwi"});
      QVERIFY(process.waitForStarted());
      QVERIFY2(!process.waitForFinished(1500), qPrintable(bus));
      process.kill();
      process.waitForFinished();
    }
  }

  void HelpAndVersionEndAtOnce() {
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
      QProcess process;
      QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
      environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
      process.setProcessEnvironment(environment);
      process.start(Designer(), {option});
      QVERIFY(process.waitForFinished(5000));
      QCOMPARE(process.exitCode(), 0);
      const QString output = QString::fromUtf8(process.readAllStandardOutput());
      QVERIFY2(output.contains(option == "--help" ? "--open FILE" : "vurodadud-azuz 0."),
               qPrintable(output));
    }
  }

 private:
  QProcess bus_;
  QString address_;
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::OpenOptionTest)
#include "OpenOptionTest.moc"
