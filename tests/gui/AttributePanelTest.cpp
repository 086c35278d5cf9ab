#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTableWidget>

#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "EditingOperations.h"
#include "GuiTestSupport.h"
#include "ObjectListText.h"
#include "TrackBar.h"
#include "WatermarkFile.h"

namespace azuz::test {

namespace {

DrawObject* AddShape(CORVELIXImageToolDoc& doc, ObjectKind kind, int left) {
  DrawObject* object = doc.FindOrCreateObject(-1);
  object->kind = static_cast<std::int32_t>(kind);
  object->left = left;
  object->top = 10;
  object->right = left + 40;
  object->bottom = 60;
  object->penColour = 0;
  doc.AppendAtTail(object);
  return object;
}

struct Panel {
  explicit Panel(CMainFrame& frame) : dialog(frame.AttributePanel()) {}
  CDlg_Attribute* dialog;
  QTableWidget* List() const { return Control<QTableWidget>(dialog, IDC_OBJECT_LIST); }
  QString IndexText() const { return Control<QLabel>(dialog, IDC_SELECTED_INDEX)->text(); }
  QPushButton* Button(int id) const { return Control<QPushButton>(dialog, id); }
  TrackBar* Slider() const { return Control<TrackBar>(dialog, IDC_FADE_LEVEL); }
  void ClickRow(int row) const {
    List()->scrollToItem(List()->item(row, 0));
    QTest::mouseClick(List()->viewport(), Qt::LeftButton, {},
                      List()->visualItemRect(List()->item(row, 1)).center());
  }
};

// Records the regions the view is asked to repaint.
class PaintRecorder : public QObject {
 public:
  explicit PaintRecorder(QWidget* view) { view->installEventFilter(this); }
  QRegion painted;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) {
      painted += static_cast<QPaintEvent*>(event)->region();
    }
    return false;
  }
};

std::string Repeated(const std::string& piece, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) {
    out += piece;
  }
  return out;
}

}  // namespace

class AttributePanelTest : public QObject {
  Q_OBJECT

 private slots:
  void NamesAreShortenedPastFifteenCharacters() {
    DrawObject text;
    text.kind = static_cast<std::int32_t>(ObjectKind::Text);
    text.text = "exactly fifteen";
    QCOMPARE(ObjectListName(text), std::string("exactly fifteen"));
    text.text = "sixteen letters!";
    QCOMPARE(ObjectListName(text), std::string("...ixteen letters!"));
    DrawObject picture;
    picture.kind = static_cast<std::int32_t>(ObjectKind::Bitmap);
    picture.picturePath = "/home/user/pictures/logo.bmp";
    QCOMPARE(ObjectListName(picture), std::string("...ctures/logo.bmp"));
    // A path counts UTF-8 characters: the last 15 bytes would begin inside a euro sign.
    picture.picturePath = "/daten/" + Repeated("\xE2\x82\xAC", 16) + ".bmp";
    QCOMPARE(ObjectListName(picture), "..." + Repeated("\xE2\x82\xAC", 11) + ".bmp");
    QCOMPARE(QString::fromStdString(ObjectListName(picture)).contains(QChar::ReplacementCharacter),
             false);
    picture.picturePath = "/" + Repeated("\xC3\xA9", 14);  // 15 characters, 29 bytes: whole
    QCOMPARE(ObjectListName(picture), picture.picturePath);
    // A text keeps the byte rule: its bytes are characters of the system code page.
    text.text = Repeated("\xE9", 16);
    QCOMPARE(ObjectListName(text), "..." + Repeated("\xE9", 15));
    DrawObject ellipse;
    ellipse.kind = static_cast<std::int32_t>(ObjectKind::Ellipse);
    ellipse.picturePath = "ignored for shapes";
    QCOMPARE(ObjectListName(ellipse), std::string("Ellipse"));
    QCOMPARE(IndexText(-7), std::string("Not Selected"));
    QCOMPARE(IndexText(0), std::string("0"));
  }

  void ListShowsEveryObjectInOrderWithNumbersFromOne() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    AddShape(doc, ObjectKind::Line, 10);
    DrawObject* text = AddShape(doc, ObjectKind::Text, 60);
    text->text = "A receipt footer text";
    AddShape(doc, ObjectKind::Ellipse, 110);
    RefreshDesign(doc);
    const Panel panel(designer.Frame());
    QCOMPARE(panel.List()->rowCount(), 3);
    QCOMPARE(panel.List()->horizontalHeaderItem(0)->text(), QStringLiteral("No."));
    QCOMPARE(panel.List()->horizontalHeaderItem(1)->text(), QStringLiteral("Name"));
    QCOMPARE(panel.List()->horizontalHeaderItem(2)->text(), QStringLiteral("Type"));
    QCOMPARE(panel.List()->columnWidth(0), 30);
    QCOMPARE(panel.List()->columnWidth(1), 140);
    QCOMPARE(panel.List()->columnWidth(2), 50);
    QCOMPARE(panel.List()->item(0, 0)->text(), QStringLiteral("1"));
    QCOMPARE(panel.List()->item(0, 1)->text(), QStringLiteral("Line"));
    QCOMPARE(panel.List()->item(1, 1)->text(), QStringLiteral("...ipt footer text"));
    QCOMPARE(panel.List()->item(1, 2)->text(), QStringLiteral("Text"));
    QCOMPARE(panel.List()->item(2, 0)->text(), QStringLiteral("3"));
    QCOMPARE(panel.IndexText(), QStringLiteral("Not Selected"));
  }

  void SelectingARowSelectsTheObjectAndRepaintsOnlyThePage() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    AddShape(doc, ObjectKind::Rectangle, 10);
    DrawObject* second = AddShape(doc, ObjectKind::Ellipse, 100);
    RefreshDesign(doc);
    const Panel panel(designer.Frame());
    QTest::qWait(20);
    PaintRecorder recorder(designer.Frame().GetActiveView());

    panel.ClickRow(1);
    QCOMPARE(panel.IndexText(), QStringLiteral("1"));
    QCOMPARE(doc.selectedObject, second);
    QCOMPARE(second->selectState, 1);
    QCOMPARE(doc.objects[0]->selectState, 0);
    QTRY_VERIFY(!recorder.painted.isEmpty());
    const ViewRect page = designer.Frame().GetActiveView()->PageRect();
    QCOMPARE(recorder.painted.boundingRect(),
             QRect(18, 18, 512, 330).intersected(designer.Frame().GetActiveView()->rect()));
    QCOMPARE(page.right, 18 + 512);
  }

  void DeleteButtonRemovesTheSelectedObjectThenDoesNothing() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    AddShape(doc, ObjectKind::Rectangle, 10);
    AddShape(doc, ObjectKind::Line, 60);
    AddShape(doc, ObjectKind::Ellipse, 110);
    RefreshDesign(doc);
    const Panel panel(designer.Frame());
    panel.ClickRow(1);
    QTest::mouseClick(panel.Button(IDC_DELETE_OBJECT), Qt::LeftButton);
    QCOMPARE(doc.objects.size(), std::size_t{2});
    QCOMPARE(doc.objects[1]->kind, static_cast<std::int32_t>(ObjectKind::Ellipse));
    QCOMPARE(doc.selectedObject, nullptr);
    QCOMPARE(panel.IndexText(), QStringLiteral("Not Selected"));
    QCOMPARE(panel.List()->rowCount(), 2);
    QTest::mouseClick(panel.Button(IDC_DELETE_OBJECT), Qt::LeftButton);
    QCOMPARE(doc.objects.size(), std::size_t{2});
  }

  void TheDeleteKeyInTheMainWindowDeletesAtThePanelsIndex() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    AddShape(doc, ObjectKind::Rectangle, 10);
    AddShape(doc, ObjectKind::Line, 60);
    RefreshDesign(doc);
    Panel(designer.Frame()).ClickRow(0);
    // Typed into the panel's list, the key stays there.
    QTest::keyClick(Panel(designer.Frame()).dialog->windowHandle(), Qt::Key_Delete);
    QCOMPARE(doc.objects.size(), std::size_t{2});
    // The key arrives at the main window as the window system delivers it.
    QTest::keyClick(designer.Frame().windowHandle(), Qt::Key_Delete);
    QCOMPARE(doc.objects.size(), std::size_t{1});
    QCOMPARE(doc.objects[0]->kind, static_cast<std::int32_t>(ObjectKind::Line));
  }

  void MoveButtonsReorderAndFollowTheObject() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    DrawObject* rectangle = AddShape(doc, ObjectKind::Rectangle, 10);
    DrawObject* line = AddShape(doc, ObjectKind::Line, 60);
    RefreshDesign(doc);
    const Panel panel(designer.Frame());
    panel.ClickRow(0);
    QTest::mouseClick(panel.Button(IDC_MOVE_BACKWARD), Qt::LeftButton);
    QCOMPARE(doc.objects[0].get(), line);
    QCOMPARE(doc.objects[1].get(), rectangle);
    QCOMPARE(panel.IndexText(), QStringLiteral("1"));
    QCOMPARE(panel.List()->item(1, 1)->text(), QStringLiteral("Rectangle"));
    // At the tail it stays; toward the head it moves back.
    QTest::mouseClick(panel.Button(IDC_MOVE_BACKWARD), Qt::LeftButton);
    QCOMPARE(doc.objects[1].get(), rectangle);
    QCOMPARE(panel.IndexText(), QStringLiteral("1"));
    QVERIFY(designer.Frame().OnCommand(ID_MOVE_FORWARD));
    QCOMPARE(doc.objects[0].get(), rectangle);
    QCOMPARE(panel.IndexText(), QStringLiteral("0"));
    QTest::mouseClick(panel.Button(IDC_MOVE_FORWARD), Qt::LeftButton);
    QCOMPARE(doc.objects[0].get(), rectangle);
  }

  void DeleteAllEmptiesTheDesignWithoutAQuestion() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    AddShape(doc, ObjectKind::Rectangle, 10);
    AddShape(doc, ObjectKind::Line, 60);
    RefreshDesign(doc);
    const Panel panel(designer.Frame());
    panel.ClickRow(1);
    auto question = AnswerMessageBox(QMessageBox::No);
    QTest::mouseClick(panel.Button(IDC_DELETE_ALL), Qt::LeftButton);
    QVERIFY(!question->Handled());
    QCOMPARE(doc.objects.size(), std::size_t{0});
    QCOMPARE(panel.List()->rowCount(), 0);
    QCOMPARE(panel.IndexText(), QStringLiteral("Not Selected"));
  }

  void FadeSliderAppliesOnlyWhenTheMouseReleasesIt() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    const Panel panel(designer.Frame());
    TrackBar* slider = panel.Slider();
    QCOMPARE(slider->value(), 50);
    QCOMPARE(slider->minimum(), 0);
    QCOMPARE(slider->maximum(), 100);
    QCOMPARE(Control<QComboBox>(panel.dialog, IDC_PATTERN_METHOD)->currentText(),
             QStringLiteral("Random Matrix"));
    doc.fadeLevel = 50;

    slider->setFocus();
    QTest::keyClick(slider, Qt::Key_Home);
    QCOMPARE(slider->value(), 0);
    QCOMPARE(doc.fadeLevel, 50);

    // A click on the groove near its right end pages the value up, then the release applies it.
    const QPoint nearEnd(slider->width() - 3, slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, {}, nearEnd);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, nearEnd);
    QVERIFY(slider->value() > 0);
    QCOMPARE(doc.fadeLevel, slider->value());
    QCOMPARE(doc.patternMethod, 0);

    slider->setValue(0);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(doc.fadeLevel, slider->value());
  }

  void OpeningADesignLeavesTheFadeControlsAlone() {
    CORVELIXImageToolDoc stored;
    stored.fadeLevel = 80;
    const std::string path = (ScratchDir() + QStringLiteral("/fade80.bwi")).toStdString();
    QVERIFY(SaveWatermarkFile(path, stored));
    StartedDesigner designer;
    const Panel panel(designer.Frame());
    panel.Slider()->setValue(20);
    QVERIFY(designer.Frame().OpenDocumentFile(path));
    QCOMPARE(designer.Doc().fadeLevel, 80);
    QCOMPARE(panel.Slider()->value(), 20);
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::AttributePanelTest)
#include "AttributePanelTest.moc"
