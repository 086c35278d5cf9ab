#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <sstream>

#include "Archive.h"
#include "CDlg_Attribute.h"
#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "DesignRenderer.h"
#include "GuiTestSupport.h"
#include "TrackBar.h"

namespace azuz::test {

namespace {

// A page dot as a client point of the view.
QPoint At(int x, int y) {
  return {x + 18, y + 18};
}

// The design as its file holds it, and as the printer would print it.
struct Design {
  std::string file;
  WatermarkImage image;
  bool operator==(const Design&) const = default;
};

Design DesignOf(CORVELIXImageToolDoc& doc) {
  std::stringbuf buffer;
  ArchiveWriter writer(buffer);
  std::string why;
  doc.Serialize(writer, &why);
  return {buffer.str(), RenderWatermarkImage(doc).value_or(WatermarkImage{})};
}

}  // namespace

class UndoRedoTest : public QObject {
  Q_OBJECT

  std::unique_ptr<StartedDesigner> designer_;
  CORVELIXImageToolView* view_ = nullptr;
  CORVELIXImageToolDoc* doc_ = nullptr;

  QAction* Undo() { return designer_->Frame().Action(ID_EDIT_UNDO); }
  QAction* Redo() { return designer_->Frame().Action(ID_EDIT_REDO); }
  QString IndexText() {
    return Control<QLabel>(designer_->Frame().AttributePanel(), IDC_SELECTED_INDEX)->text();
  }
  int Rows() {
    return Control<QTableWidget>(designer_->Frame().AttributePanel(), IDC_OBJECT_LIST)->rowCount();
  }
  // A key typed into a window, made the active one as the user's typing makes it: shortcuts
  // only reach the active window.
  void Key(int key, Qt::KeyboardModifiers modifiers = {}, QWidget* window = nullptr) {
    window = window != nullptr ? window : &designer_->Frame();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(window->windowHandle(), static_cast<Qt::Key>(key), modifiers);
    QCoreApplication::processEvents();
  }
  void KeyEvent(QEvent::Type type, Qt::Key key, bool autoRepeat) {
    qt_handleKeyEvent(designer_->Frame().windowHandle(), type, key, {}, {}, autoRepeat, 1);
    QCoreApplication::processEvents();
  }
  void AddRectangle() {
    ModalHandler figure("azuz::CDlg_figure", [](QWidget* modal) {
      QTest::mouseClick(Control<QPushButton>(modal, IDOK), Qt::LeftButton);
      return true;
    });
    QVERIFY(designer_->Frame().OnCommand(ID_ADD_RECTANGLE));
    QVERIFY(figure.Handled());
  }

 private slots:
  void init() {
    designer_ = std::make_unique<StartedDesigner>();
    view_ = designer_->Frame().GetActiveView();
    doc_ = &designer_->Doc();
  }
  void cleanup() { designer_.reset(); }

  void AddMoveDeleteAreTakenBackAndDoneAgainByTheKeys() {
    QVERIFY(!Undo()->isEnabled());
    QVERIFY(!Redo()->isEnabled());
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo"));
    const Design empty = DesignOf(*doc_);

    AddRectangle();
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo Add Rectangle"));
    QVERIFY(Undo()->isEnabled());
    const Design added = DesignOf(*doc_);

    // A new rectangle lies at 0,0,100,100; a drag of fifty moves is one step.
    QTest::mousePress(view_, Qt::LeftButton, {}, At(50, 50));
    for (int i = 1; i <= 50; ++i) {
      QTest::mouseMove(view_, At(50 + 2 * i, 50 + i));
    }
    QTest::mouseRelease(view_, Qt::LeftButton, {}, At(150, 100));
    QCOMPARE(doc_->objects[0]->left, 100);
    QCOMPARE(doc_->history.UndoCount(), std::size_t{2});
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo Move"));
    const Design moved = DesignOf(*doc_);

    Key(Qt::Key_Delete);
    QCOMPARE(doc_->ObjectCount(), std::size_t{0});
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo Delete Rectangle"));
    const Design deleted = DesignOf(*doc_);

    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(DesignOf(*doc_), moved);
    QCOMPARE(Rows(), 1);
    QCOMPARE(doc_->selectedObject, nullptr);  // the deleted object came back unselected
    QCOMPARE(IndexText(), QStringLiteral("Not Selected"));
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo Move"));
    QCOMPARE(Redo()->text(), QStringLiteral("&Redo Delete Rectangle"));
    Key(Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(DesignOf(*doc_), added);
    QCOMPARE(Redo()->text(), QStringLiteral("&Redo Move"));
    // Undo also reaches the design from the panel's window.
    Key(Qt::Key_Z, Qt::ControlModifier, designer_->Frame().AttributePanel());
    QCOMPARE(DesignOf(*doc_), empty);
    QCOMPARE(Rows(), 0);
    QVERIFY(!Undo()->isEnabled());
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo"));
    QVERIFY(!designer_->Frame().OnCommand(ID_EDIT_UNDO));  // disabled: nothing runs

    Key(Qt::Key_Y, Qt::ControlModifier);
    QCOMPARE(DesignOf(*doc_), added);
    Key(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(DesignOf(*doc_), moved);
    QCOMPARE(Redo()->text(), QStringLiteral("&Redo Delete Rectangle"));
    QVERIFY(designer_->Frame().OnCommand(ID_EDIT_REDO));
    QCOMPARE(DesignOf(*doc_), deleted);
    QVERIFY(!Redo()->isEnabled());
    QCOMPARE(Redo()->text(), QStringLiteral("&Redo"));
  }

  void ARunOfArrowKeysIsOneStepAndAClickIsNone() {
    AddRectangle();
    QTest::mouseClick(view_, Qt::LeftButton, {}, At(50, 50));
    QCOMPARE(doc_->history.UndoCount(), std::size_t{1});  // selecting changed nothing
    // Held down: X11 repeats as release/press pairs marked auto-repeated.
    KeyEvent(QEvent::KeyPress, Qt::Key_Right, false);
    for (int i = 0; i < 4; ++i) {
      KeyEvent(QEvent::KeyRelease, Qt::Key_Right, true);
      KeyEvent(QEvent::KeyPress, Qt::Key_Right, true);
    }
    KeyEvent(QEvent::KeyRelease, Qt::Key_Right, false);
    Key(Qt::Key_Down);
    QCOMPARE(doc_->objects[0]->left, 5);
    QCOMPARE(doc_->objects[0]->top, 1);
    QCOMPARE(doc_->history.UndoCount(), std::size_t{3});
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo Move"));
    QVERIFY(designer_->Frame().OnCommand(ID_EDIT_UNDO));
    QCOMPARE(doc_->objects[0]->top, 0);
    QCOMPARE(doc_->objects[0]->left, 5);
    QVERIFY(designer_->Frame().OnCommand(ID_EDIT_UNDO));
    QCOMPARE(doc_->objects[0]->left, 0);
    // With nothing selected the arrows move nothing and record nothing.
    Key(Qt::Key_Left);
    QCOMPARE(doc_->history.UndoCount(), std::size_t{1});
  }

  void TheFadeLevelComesBackWithTheSliderShowingIt() {
    AddRectangle();
    auto* panel = designer_->Frame().AttributePanel();
    auto* slider = Control<TrackBar>(panel, IDC_FADE_LEVEL);
    slider->setValue(20);
    emit slider->ReleasedCapture();
    QCOMPARE(doc_->fadeLevel, 20);
    QCOMPARE(Undo()->text(), QStringLiteral("&Undo Fade Level"));
    QVERIFY(designer_->Frame().OnCommand(ID_EDIT_UNDO));
    QCOMPARE(doc_->fadeLevel, 50);
    QCOMPARE(slider->value(), 50);
    QVERIFY(designer_->Frame().OnCommand(ID_EDIT_REDO));
    QCOMPARE(slider->value(), 20);

    // New starts a fresh history.
    QVERIFY(designer_->Frame().OnCommand(ID_FILE_NEW));
    QVERIFY(!Undo()->isEnabled());
    QVERIFY(!Redo()->isEnabled());
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::UndoRedoTest)
#include "UndoRedoTest.moc"
