#include <QAbstractSpinBox>
#include <QAccessible>
#include <QAccessibleTableInterface>
#include <QAccessibleValueInterface>
#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "CDlg_Port.h"
#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "GuiTestSupport.h"

namespace azuz::test {

namespace {

// The roles a user operates or follows: each must say what it is.
bool Interactive(QAccessible::Role role) {
  switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::SpinBox:
    case QAccessible::Slider:
    case QAccessible::Dial:
    case QAccessible::List:
    case QAccessible::Table:
    case QAccessible::Tree:
    case QAccessible::MenuItem:
    case QAccessible::PageTab:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::ProgressBar:
    case QAccessible::Graphic:
      return true;
    default:
      return false;
  }
}

QString Describe(QAccessibleInterface* node, const QWidget* widget) {
  return QStringLiteral("%1 %2 (%3)")
      .arg(widget != nullptr ? QString::fromLatin1(widget->metaObject()->className()) : "item",
           widget != nullptr ? widget->objectName() : QString(),
           QString::number(static_cast<int>(node->role()), 16));
}

// Every interactive control of the window, its menus' items included, that has no name.
QStringList UnnamedControls(QWidget* window, int* checked = nullptr) {
  QStringList unnamed;
  int seen = 0;
  QList<QWidget*> widgets = window->findChildren<QWidget*>();
  widgets.prepend(window);
  for (QWidget* widget : widgets) {
    // A combo box's or spin box's own editor is part of the named control around it.
    QWidget* parent = widget->parentWidget();
    if (qobject_cast<QAbstractSpinBox*>(parent) != nullptr ||
        qobject_cast<QComboBox*>(parent) != nullptr) {
      continue;
    }
    QAccessibleInterface* node = QAccessible::queryAccessibleInterface(widget);
    // A menu is hidden until it pops up; its items are checked all the same.
    const bool menu =
        qobject_cast<QMenu*>(widget) != nullptr || qobject_cast<QMenuBar*>(widget) != nullptr;
    if (node == nullptr || (node->state().invisible && !menu)) {
      continue;
    }
    seen += Interactive(node->role()) ? 1 : 0;
    if (Interactive(node->role()) && node->text(QAccessible::Name).trimmed().isEmpty()) {
      unnamed << Describe(node, widget);
    }
    if (menu) {
      for (int i = 0; i < node->childCount(); ++i) {
        QAccessibleInterface* item = node->child(i);
        // Items of a closed menu all read as invisible: the action says whether it is shown.
        auto* action = item != nullptr ? qobject_cast<QAction*>(item->object()) : nullptr;
        if (item == nullptr || item->role() != QAccessible::MenuItem ||
            (action != nullptr ? !action->isVisible() : item->state().invisible)) {
          continue;
        }
        ++seen;
        if (item->text(QAccessible::Name).trimmed().isEmpty()) {
          unnamed << Describe(item, widget) + QStringLiteral(" item %1").arg(i);
        }
      }
    }
  }
  if (checked != nullptr) {
    *checked += seen;
  }
  return unnamed;
}

// What a screen reader walking the tree would say, one line a node.
void Read(QAccessibleInterface* node, int depth, QStringList* lines) {
  if (node == nullptr || node->state().invisible || depth > 12) {
    return;
  }
  QString line = QString(depth * 2, QLatin1Char(' ')) + QStringLiteral("[%1] %2")
                                                            .arg(static_cast<int>(node->role()))
                                                            .arg(node->text(QAccessible::Name));
  if (QAccessibleValueInterface* value = node->valueInterface()) {
    line += QStringLiteral(" = ") + value->currentValue().toString();
  }
  lines->append(line);
  if (QAccessibleTableInterface* table = node->tableInterface()) {
    QStringList header;
    for (int column = 0; column < table->columnCount(); ++column) {
      header << table->columnDescription(column);
    }
    lines->append(QStringLiteral("table %1 x %2: %3")
                      .arg(table->rowCount())
                      .arg(table->columnCount())
                      .arg(header.join(QLatin1Char('|'))));
    for (int row = 0; row < table->rowCount(); ++row) {
      QStringList cells;
      for (int column = 0; column < table->columnCount(); ++column) {
        QAccessibleInterface* cell = table->cellAt(row, column);
        cells << (cell != nullptr ? cell->text(QAccessible::Name) : QString());
      }
      lines->append(QStringLiteral("row: ") + cells.join(QLatin1Char('|')));
    }
    return;
  }
  for (int i = 0; i < node->childCount(); ++i) {
    Read(node->child(i), depth + 1, lines);
  }
}

// Our own dialogs, not Qt's stock ones (file, print, colour), which bring their own names.
bool OwnDialog(const QWidget* window) {
  return QByteArray(window->metaObject()->className()).startsWith("azuz::");
}

}  // namespace

class AccessibilityTest : public QObject {
  Q_OBJECT

 private slots:
  void MainWindowAndPanelHaveNoUnnamedControl() {
    StartedDesigner designer;
    int checked = 0;
    QStringList unnamed = UnnamedControls(&designer.Frame(), &checked);
    unnamed << UnnamedControls(designer.Frame().AttributePanel(), &checked);
    // Menus with their items, the view, and the panel's list, choices and buttons.
    QVERIFY2(checked > 40, qPrintable(QString::number(checked)));
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("; "))));
  }

  // Every command whose item ends in "..." opens a dialog: each one met, whatever it is, is
  // walked, so that a dialog added later is walked too.
  void EveryDialogHasNoUnnamedControl() {
    const QString design = CorpusDesign(QStringLiteral("overlap_fade50.bwi"));
    StartedDesigner designer;
    if (!design.isEmpty()) {
      designer.Frame().OpenDocumentFile(design.toStdString());
    }
    QStringList unnamed;
    QStringList walked;
    QTimer closer;
    closer.setInterval(5);
    connect(&closer, &QTimer::timeout, [&] {
      auto* modal = qobject_cast<QDialog*>(QApplication::activeModalWidget());
      if (modal == nullptr || !modal->isVisible()) {
        return;
      }
      if (OwnDialog(modal) && !walked.contains(modal->metaObject()->className())) {
        walked << modal->metaObject()->className();
        for (const QString& control : UnnamedControls(modal)) {
          unnamed << QString::fromLatin1(modal->metaObject()->className()) + ": " + control;
        }
      }
      modal->reject();
    });
    closer.start();
    auto* list = Control<QTableWidget>(designer.Frame().AttributePanel(), IDC_OBJECT_LIST);
    for (QAction* action : designer.Frame().findChildren<QAction*>()) {
      if (!action->text().endsWith(QStringLiteral("...")) || action->menu() != nullptr) {
        continue;
      }
      // Modify works on the selected object.
      if (list->rowCount() > 0) {
        list->selectRow(0);
      }
      if (action->isEnabled()) {
        action->trigger();
      }
    }
    // The panel's Add opens the object kind dialog, its Edit the selected object's.
    for (int id : {IDC_ADD_OBJECT, IDC_MODIFY_OBJECT}) {
      if (list->rowCount() > 0) {
        list->selectRow(0);
      }
      auto* button = Control<QPushButton>(designer.Frame().AttributePanel(), id);
      if (button->isEnabled()) {
        button->click();
      }
    }
    closer.stop();
    qInfo("walked: %s", qPrintable(walked.join(QStringLiteral(", "))));
    for (const char* expected : {"azuz::CAboutDlg", "azuz::CDlg_PaperSize", "azuz::CDlg_CommSet",
                                 "azuz::CDlg_ObjectLayer"}) {
      QVERIFY2(walked.contains(QString::fromLatin1(expected)), expected);
    }
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("; "))));
  }

  // The transfer window opens from the download commands, which no "..." item names.
  void TheTransferWindowHasNoUnnamedControl() {
    CDlg_Port window(TransferRequest{});
    window.show();
    int checked = 0;
    const QStringList unnamed = UnnamedControls(&window, &checked);
    QCOMPARE(checked, 2);  // the progress bar and the button
    QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral("; "))));
  }

  void ObjectListReadsAsATableAndViewAsANamedGraphic() {
    const QString design = CorpusDesign(QStringLiteral("overlap_fade50.bwi"));
    if (design.isEmpty()) {
      QSKIP("test corpus not present");
    }
    StartedDesigner designer;
    QVERIFY(designer.Frame().OpenDocumentFile(design.toStdString()));
    auto* list = Control<QTableWidget>(designer.Frame().AttributePanel(), IDC_OBJECT_LIST);
    list->selectRow(1);

    QStringList lines;
    Read(QAccessible::queryAccessibleInterface(designer.Frame().AttributePanel()), 0, &lines);
    const QString read = lines.join(QLatin1Char('\n'));
    QVERIFY2(read.contains(QStringLiteral("] Objects\ntable 2 x 3: No.|Name|Type\n"
                                          "row: 1|Rectangle|Rectangle\nrow: 2|")),
             qPrintable(read));
    QVERIFY2(read.contains(QStringLiteral("] Fade = 50")), qPrintable(read));
    QVERIFY2(read.contains(QStringLiteral("] Pattern")), qPrintable(read));
    QVERIFY2(read.contains(QStringLiteral("] 1\n")), qPrintable(read));  // the selected index

    QAccessibleInterface* view =
        QAccessible::queryAccessibleInterface(designer.Frame().GetActiveView());
    QCOMPARE(view->role(), QAccessible::Graphic);
    QCOMPARE(view->text(QAccessible::Name), QStringLiteral("Design"));
    const QString description = view->text(QAccessible::Description);
    QVERIFY2(description.startsWith(QStringLiteral("Page %1 by %2 dots, 2 objects, selected: "
                                                   "object 2, ")
                                        .arg(designer.Doc().pageWidth)
                                        .arg(designer.Doc().pageHeight)),
             qPrintable(description));
    QVERIFY(designer.Frame().OnCommand(ID_FILE_NEW));
    QCOMPARE(view->text(QAccessible::Description),
             QStringLiteral("Page %1 by %2 dots, 0 objects, none selected")
                 .arg(designer.Doc().pageWidth)
                 .arg(designer.Doc().pageHeight));
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::AccessibilityTest)
#include "AccessibilityTest.moc"
