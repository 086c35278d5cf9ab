#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QMessageBox>
#include <QPaintEvent>
#include <QPushButton>
#include <QRadioButton>

#include "CDlg_ObjectLayer.h"
#include "CDlg_PaperSize.h"
#include "CDlg_Text.h"
#include "CDlg_figure.h"
#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "FontChooser.h"
#include "GuiTestSupport.h"
#include "QtPrompts.h"
#include "RenderedArea.h"

namespace azuz::test {

namespace {

// The names a screen reader reads for the dialog's controls, or the controls that have none.
QStringList UnnamedControls(QWidget* dialog) {
  QStringList unnamed;
  for (QWidget* widget : dialog->findChildren<QWidget*>()) {
    const bool control = qobject_cast<QAbstractButton*>(widget) != nullptr ||
                         qobject_cast<QLineEdit*>(widget) != nullptr ||
                         qobject_cast<QComboBox*>(widget) != nullptr ||
                         qobject_cast<QAbstractItemView*>(widget) != nullptr ||
                         qobject_cast<RenderedArea*>(widget) != nullptr;
    if (!control || !widget->isVisibleTo(dialog)) {
      continue;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
    if (accessible == nullptr || accessible->text(QAccessible::Name).trimmed().isEmpty() ||
        widget->accessibleName().trimmed().isEmpty()) {
      unnamed << QString::fromLatin1(widget->metaObject()->className()) + QLatin1Char(' ') +
                     widget->objectName();
    }
  }
  return unnamed;
}

// A radio button takes clicks on its indicator and its label only.
void ClickIndicator(QRadioButton* radio) {
  QTest::mouseClick(radio, Qt::LeftButton, {}, QPoint(radio->height() / 2, radio->height() / 2));
}

// Records the regions a widget is asked to repaint.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(QWidget* widget) { widget->installEventFilter(this); }
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      painted += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
};

}  // namespace

class SmallDialogsTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallQtPrompts(); }

  void TheKindDialogStartsAtBitmapAndAnswersTheCheckedKind() {
    CDlg_ObjectLayer dialog;
    dialog.kindChoice = 3;  // whatever the caller left: every run starts at Bitmap
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(Control<QRadioButton>(&dialog, IDC_KIND_FIRST)->isChecked());
    QCOMPARE(Control<QRadioButton>(&dialog, IDC_KIND_FIRST + 4)->text(), QStringLiteral("Ellipse"));
    QTest::mouseClick(Control<QPushButton>(&dialog, IDC_KIND_ACCEPT), Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(dialog.kindChoice, 0);

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(Control<QRadioButton>(&dialog, IDC_KIND_FIRST)->isChecked());
    ClickIndicator(Control<QRadioButton>(&dialog, IDC_KIND_FIRST + 4));
    QTest::mouseClick(Control<QPushButton>(&dialog, IDC_KIND_ACCEPT), Qt::LeftButton);
    QCOMPARE(dialog.kindChoice, 4);

    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ClickIndicator(Control<QRadioButton>(&dialog, IDC_KIND_FIRST + 1));
    QTest::mouseClick(Control<QPushButton>(&dialog, IDC_KIND_CANCEL), Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Rejected));
  }

  void ThePaperSizeTakesAnyIntegerAndPromptsOnAnythingElse() {
    CDlg_PaperSize dialog;
    dialog.pageHeight = 330;
    dialog.pageWidth = 576;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* height = Control<QLineEdit>(&dialog, IDC_PAGE_HEIGHT);
    auto* width = Control<QLineEdit>(&dialog, IDC_PAGE_WIDTH);
    QCOMPARE(height->text(), QStringLiteral("330"));
    QCOMPARE(width->text(), QStringLiteral("576"));

    for (const QString& bad :
         {QStringLiteral("abc"), QStringLiteral("12x"), QString(), QStringLiteral("99999999999")}) {
      width->setText(bad);
      auto prompt = AnswerMessageBox(QMessageBox::Ok);
      QTest::mouseClick(Control<QPushButton>(&dialog, IDOK), Qt::LeftButton);
      QVERIFY2(prompt->Handled(), qPrintable(bad));
      QCOMPARE(prompt->Seen(), QStringLiteral("Please enter an integer."));
      QVERIFY(dialog.isVisible());
      QCOMPARE(dialog.focusWidget(), width);
      QCOMPARE(dialog.pageWidth, 576);
    }

    height->setText(QStringLiteral(" -40 "));
    width->setText(QStringLiteral("0"));
    QTest::mouseClick(Control<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(dialog.pageHeight, -40);
    QCOMPARE(dialog.pageWidth, 0);
  }

  void ThePaperSizeCommandWritesThePageAndRepaintsTheWholeWindow() {
    StartedDesigner designer;
    CORVELIXImageToolView* view = designer.Frame().GetActiveView();
    QTest::qWait(20);
    PaintRecorder recorder(view);
    ModalHandler change("azuz::CDlg_PaperSize", [](QWidget* modal) {
      Control<QLineEdit>(modal, IDC_PAGE_HEIGHT)->setText(QStringLiteral("200"));
      Control<QLineEdit>(modal, IDC_PAGE_WIDTH)->setText(QStringLiteral("300"));
      QTest::mouseClick(Control<QPushButton>(modal, IDOK), Qt::LeftButton);
      return true;
    });
    QVERIFY(designer.Frame().OnCommand(ID_PAPER_SIZE));
    QVERIFY(change.Handled());
    QCOMPARE(designer.Doc().pageHeight, 200);
    QCOMPARE(designer.Doc().pageWidth, 300);
    QTRY_VERIFY(recorder.painted.contains(view->rect()));  // rulers included
    QCOMPARE(view->PageCanvas()->Width(), 300);

    QString widthShown;
    ModalHandler cancel("azuz::CDlg_PaperSize", [&widthShown](QWidget* modal) {
      widthShown = Control<QLineEdit>(modal, IDC_PAGE_WIDTH)->text();
      Control<QLineEdit>(modal, IDC_PAGE_WIDTH)->setText(QStringLiteral("9"));
      QTest::mouseClick(Control<QPushButton>(modal, IDCANCEL), Qt::LeftButton);
      return true;
    });
    QVERIFY(designer.Frame().OnCommand(ID_PAPER_SIZE));
    QVERIFY(cancel.Handled());
    QCOMPARE(widthShown, QStringLiteral("300"));
    QCOMPARE(designer.Doc().pageWidth, 300);
  }

  void EveryControlOfTheDialogsHasAnAccessibleName() {
    CDlg_figure figure;
    CDlg_Text text;
    FontChooser font(FontRecord{}, 0);
    CDlg_ObjectLayer kind;
    CDlg_PaperSize paper;
    for (QDialog* dialog : std::initializer_list<QDialog*>{&figure, &text, &font, &kind, &paper}) {
      dialog->show();
      QVERIFY(QTest::qWaitForWindowExposed(dialog));
      QCOMPARE(UnnamedControls(dialog), QStringList());
      dialog->hide();
    }
    // Names are what the controls do, as a reader would announce them; a combo box reads its
    // entry as its name here and its label through the label relation.
    QAccessibleInterface* width =
        QAccessible::queryAccessibleInterface(Control<QComboBox>(&figure, IDC_LINE_WIDTH));
    const auto labels = width->relations(QAccessible::Label);
    QCOMPARE(labels.size(), 1);
    QCOMPARE(labels.first().first->text(QAccessible::Name), QStringLiteral("Line width:"));
    QCOMPARE(QAccessible::queryAccessibleInterface(Control<QLineEdit>(&paper, IDC_PAGE_HEIGHT))
                 ->text(QAccessible::Name),
             QStringLiteral("Height in dots"));
    QCOMPARE(QAccessible::queryAccessibleInterface(Control<QPushButton>(&text, IDC_CHOOSE_FONT))
                 ->text(QAccessible::Name),
             QStringLiteral("Choose the font"));
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::SmallDialogsTest)
#include "SmallDialogsTest.moc"
