#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QTableWidget>

#include "CommandIds.h"
#include "GuiTestSupport.h"
#include "LockKeyIndicators.h"
#include "ModelName.h"

namespace azuz::test {

class StartupTest : public QObject {
  Q_OBJECT

 private slots:
  void StartsWithANewDesignWhateverTheCommandLine_data() {
    QTest::addColumn<QString>("tail");
    QTest::newRow("empty") << QString();
    QTest::newRow("a design's file name") << QStringLiteral("/tmp/logo.bwi");
    QTest::newRow("a printer name") << QStringLiteral("No Such Printer");
  }
  void StartsWithANewDesignWhateverTheCommandLine() {
    QFETCH(QString, tail);
    StartedDesigner designer(tail.toStdString());
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [New]"));
    QCOMPARE(designer.Doc().filePath, std::string("NONE"));
    QCOMPARE(designer.Doc().objects.size(), std::size_t{0});
    QCOMPARE(designer.Frame().size(), QSize(800, 450));
    QVERIFY(!designer.Frame().windowIcon().isNull());
  }

  void PageWidthFollowsTheModelChosenAtStart() {
    {
      StartedDesigner designer;
      QCOMPARE(designer.Doc().pageWidth, 512);
    }
    StartedDesigner custom("Custom QPT-L712");
    QCOMPARE(CurrentModelName(), std::string("QPT-L712"));
    QCOMPARE(custom.Doc().pageWidth, 576);
  }

  void PanelIsShownAtTheFramesRightEdgeBelowItsTop() {
    StartedDesigner designer;
    CDlg_Attribute* panel = designer.Frame().AttributePanel();
    QVERIFY(panel != nullptr);
    QVERIFY(panel->isVisible());
    const QRect frame = designer.Frame().frameGeometry();
    QCOMPARE(panel->frameGeometry().right(), frame.right());
    QCOMPARE(panel->frameGeometry().top(), frame.top() + 70);
    QCOMPARE(Control<QTableWidget>(panel, IDC_OBJECT_LIST)->rowCount(), 0);
    QCOMPARE(Control<QLabel>(panel, IDC_SELECTED_INDEX)->text(), QStringLiteral("Not Selected"));
  }

  void PanelCommandAndCloseBoxToggleItWithTheCheckMark() {
    StartedDesigner designer;
    CMainFrame& frame = designer.Frame();
    QAction* item = frame.Action(ID_VIEW_ATTRIBUTE);
    QVERIFY(item->isChecked());

    frame.AttributePanel()->close();  // the close box
    QVERIFY(!frame.AttributePanel()->isVisible());
    QVERIFY(!frame.PanelVisible());
    QVERIFY(!item->isChecked());

    QVERIFY(frame.OnCommand(ID_VIEW_ATTRIBUTE));
    QVERIFY(frame.AttributePanel()->isVisible());
    QVERIFY(item->isChecked());

    QVERIFY(frame.OnCommand(ID_VIEW_ATTRIBUTE));
    QVERIFY(!frame.AttributePanel()->isVisible());
    QVERIFY(!item->isChecked());
  }

  void EscapeInThePanelHidesItLikeItsCloseBox() {
    StartedDesigner designer;
    CMainFrame& frame = designer.Frame();
    frame.AttributePanel()->activateWindow();
    QTest::keyClick(frame.AttributePanel(), Qt::Key_Escape);
    QVERIFY(!frame.AttributePanel()->isVisible());
    QVERIFY(!frame.Action(ID_VIEW_ATTRIBUTE)->isChecked());
    QVERIFY(frame.OnCommand(ID_VIEW_ATTRIBUTE));
    QVERIFY(frame.AttributePanel()->isVisible());
  }

  void EveryMenuItemCarriesItsCommandId() {
    StartedDesigner designer;
    const QList<QAction*> actions = designer.Frame().menuBar()->findChildren<QAction*>();
    int commands = 0;
    for (QAction* action : designer.Frame().findChildren<QAction*>()) {
      if (action->isSeparator() || action->menu() != nullptr || !action->data().isValid()) {
        continue;
      }
      const int id = action->data().toInt();
      QCOMPARE(action->objectName(), QStringLiteral("id%1").arg(id));
      QCOMPARE(designer.Frame().Action(id), action);
      ++commands;
    }
    for (int id :
         {ID_FILE_NEW,         ID_FILE_OPEN,     ID_FILE_SAVE,         ID_FILE_SAVE_AS,
          ID_FILE_PRINT_SETUP, ID_FILE_PRINT,    ID_FILE_PRINT_DIRECT, ID_FILE_PRINT_PREVIEW,
          ID_APP_ABOUT,        ID_APP_EXIT,      ID_DELETE_OBJECT,     ID_DELETE_ALL,
          ID_MOVE_FORWARD,     ID_MOVE_BACKWARD, ID_VIEW_ATTRIBUTE,    ID_DOWNLOAD_WATERMARK,
          ID_TEST_PRINT,       ID_WATERMARK_ON,  ID_WATERMARK_OFF,     ID_PERMANENT_ON,
          ID_PERMANENT_OFF,    ID_COMM_SETTINGS}) {
      QVERIFY2(designer.Frame().Action(id) != nullptr, qPrintable(QString::number(id)));
      QVERIFY(designer.Frame().Action(id)->isEnabled());
    }
    QVERIFY(commands >= 30);
    QVERIFY(!designer.Frame().OnCommand(12345));
  }

  void StatusBarHasTheMessagePaneThenTheThreeLockIndicators() {
    StartedDesigner designer;
    QStatusBar* bar = designer.Frame().statusBar();
    QCOMPARE(bar->objectName(), QStringLiteral("id59393"));
    QCOMPARE(designer.Frame().MessagePane()->text(), QStringLiteral("Ready"));
    const QLabel* caps = designer.Frame().Indicators()->Pane(LockKeyIndicators::kCaps);
    const QLabel* num = designer.Frame().Indicators()->Pane(LockKeyIndicators::kNum);
    const QLabel* scroll = designer.Frame().Indicators()->Pane(LockKeyIndicators::kScroll);
    QCOMPARE(caps->objectName(), QStringLiteral("id59137"));
    QCOMPARE(num->objectName(), QStringLiteral("id59138"));
    QCOMPARE(scroll->objectName(), QStringLiteral("id59139"));
    QVERIFY(designer.Frame().MessagePane()->x() < caps->x());
    QVERIFY(caps->x() < num->x());
    QVERIFY(num->x() < scroll->x());
  }

  void LockIndicatorsFollowTheKeyboardLeds() {
    const QString leds = ScratchDir() + QStringLiteral("/leds");
    const auto setLed = [&](const QString& name, const char* value) {
      QDir().mkpath(leds + QLatin1Char('/') + name);
      QFile file(leds + QLatin1Char('/') + name + QStringLiteral("/brightness"));
      QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
      file.write(value);
    };
    setLed(QStringLiteral("input3::capslock"), "0\n");
    setLed(QStringLiteral("input7::capslock"), "1\n");
    setLed(QStringLiteral("input3::numlock"), "0\n");
    QStatusBar bar;
    LockKeyIndicators indicators(leds);
    indicators.AddTo(bar);
    QCOMPARE(indicators.Pane(LockKeyIndicators::kCaps)->text(), QStringLiteral("CAP"));
    QCOMPARE(indicators.Pane(LockKeyIndicators::kNum)->text(), QString());
    QCOMPARE(indicators.Pane(LockKeyIndicators::kScroll)->text(), QString());
    setLed(QStringLiteral("input7::capslock"), "0\n");
    setLed(QStringLiteral("input3::numlock"), "1\n");
    indicators.Refresh();
    QCOMPARE(indicators.Pane(LockKeyIndicators::kCaps)->text(), QString());
    QCOMPARE(indicators.Pane(LockKeyIndicators::kNum)->text(), QStringLiteral("NUM"));
  }

  void ClosingTheWindowAsksNothingEvenWithAFile() {
    StartedDesigner designer;
    designer.Doc().filePath = (ScratchDir() + QStringLiteral("/has-a-file.bwi")).toStdString();
    designer.Doc().fileTitle = "has-a-file.bwi";
    auto watcher = AnswerMessageBox(QMessageBox::No);
    QVERIFY(designer.Frame().close());
    QTest::qWait(50);
    QVERIFY(!watcher->Handled());
    QVERIFY(!designer.Frame().isVisible());
    QCOMPARE(designer.exitCalls, 0);
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::StartupTest)
#include "StartupTest.moc"
