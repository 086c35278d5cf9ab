#include <QLabel>
#include <QScreen>
#include <QStatusBar>

#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "DesignRenderer.h"
#include "EditGeometry.h"
#include "EditingOperations.h"
#include "GuiTestSupport.h"
#include "WatermarkFile.h"

namespace azuz::test {

namespace {

// A page dot as a client point of the view.
QPoint At(int x, int y) {
  return {x + 18, y + 18};
}

DrawObject* AddObject(CORVELIXImageToolDoc& doc, ObjectKind kind, int l, int t, int r, int b) {
  DrawObject* object = doc.FindOrCreateObject(-1);
  object->kind = static_cast<std::int32_t>(kind);
  object->left = l;
  object->top = t;
  object->right = r;
  object->bottom = b;
  object->penWidth = 5;
  object->penColour = 0x00000000;
  object->fillColour = 0x00808080;
  doc.AppendAtTail(object);
  return object;
}

// What the window shows of the view, once the repaints asked for are done: the window's own
// pixels, where a grab of the widget would paint it afresh.
QImage OnScreen(CORVELIXImageToolView& view) {
  QCoreApplication::processEvents();
  QWidget* window = view.window();
  const QPoint origin = view.mapTo(window, QPoint(0, 0));
  return window->screen()
      ->grabWindow(window->winId(), origin.x(), origin.y(), view.width(), view.height())
      .toImage()
      .convertToFormat(QImage::Format_RGB32);
}

// The first dot where the grabbed page differs from the rasterizer's canvas of the document,
// the selected object's handles left out; empty when none does.
QString DifferenceFromRasterizer(CORVELIXImageToolView& view, const CORVELIXImageToolDoc& doc) {
  Canvas expected(doc.pageWidth, doc.pageHeight, view.PageBackground());
  DrawDesign(expected, doc, doc.fadeLevel);
  const QImage shot = OnScreen(view);
  for (int y = 0; y < expected.Height(); ++y) {
    for (int x = 0; x < expected.Width(); ++x) {
      bool onHandle = false;
      for (int h = 1; h <= kHandleCount && doc.selectedObject != nullptr; ++h) {
        const DotRect r = HandleRect(*doc.selectedObject, h);
        onHandle = onHandle || (x >= r.left && x < r.right && y >= r.top && y < r.bottom);
      }
      if (!onHandle && shot.pixel(18 + x, 18 + y) != expected.Pixel(x, y)) {
        return QStringLiteral("dot %1,%2").arg(x).arg(y);
      }
    }
  }
  return {};
}

// The view's paints, counted.
class PaintCounter : public QObject {
 public:
  explicit PaintCounter(QWidget* view) { view->installEventFilter(this); }
  int paints = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint ? 1 : 0;
    return false;
  }
};

}  // namespace

class MouseEditingTest : public QObject {
  Q_OBJECT

  std::unique_ptr<StartedDesigner> designer_;
  CORVELIXImageToolView* view_ = nullptr;
  CORVELIXImageToolDoc* doc_ = nullptr;

  QString IndexText() {
    return Control<QLabel>(designer_->Frame().AttributePanel(), IDC_SELECTED_INDEX)->text();
  }
  void KeyEvent(QEvent::Type type, Qt::Key key, bool autoRepeat) {
    qt_handleKeyEvent(designer_->Frame().windowHandle(), type, key, {}, {}, autoRepeat, 1);
    QCoreApplication::processEvents();
  }

 private slots:
  void init() {
    designer_ = std::make_unique<StartedDesigner>();
    view_ = designer_->Frame().GetActiveView();
    doc_ = &designer_->Doc();
  }
  void cleanup() { designer_.reset(); }

  void ADragMovesTheObjectAndTheSavedFileHoldsTheMovedEdges() {
    DrawObject* front = AddObject(*doc_, ObjectKind::Rectangle, 10, 20, 110, 80);
    AddObject(*doc_, ObjectKind::Ellipse, 200, 100, 260, 150);
    RefreshDesign(*doc_);
    QCoreApplication::processEvents();  // the repaint it asked for

    PaintCounter counter(view_);
    QTest::mousePress(view_, Qt::LeftButton, {}, At(50, 50));
    QCoreApplication::processEvents();
    QCOMPARE(counter.paints, 0);  // the press repaints nothing
    QCOMPARE(doc_->selectedObject, front);
    QCOMPARE(IndexText(), QStringLiteral("0"));
    QTest::mouseMove(view_, At(70, 45));
    QTest::mouseMove(view_, At(87, 38));
    QCOMPARE(front->left, 47);  // the document changes at every move
    QTest::mouseRelease(view_, Qt::LeftButton, {}, At(87, 38));

    const QString path = ScratchDir() + QStringLiteral("/moved.bwi");
    auto dialog = ChooseInFileDialog(path);
    QVERIFY(designer_->Frame().OnCommand(ID_FILE_SAVE_AS));
    CORVELIXImageToolDoc saved;
    QCOMPARE(LoadWatermarkFile(path.toStdString(), saved), LoadResult::Loaded);
    QCOMPARE(saved.objects.size(), std::size_t{2});
    const DrawObject& moved = *saved.objects[0];
    QCOMPARE((QList<int>{moved.left, moved.top, moved.right, moved.bottom}),
             (QList<int>{47, 8, 147, 68}));
    const DrawObject& other = *saved.objects[1];
    QCOMPARE((QList<int>{other.left, other.top, other.right, other.bottom}),
             (QList<int>{200, 100, 260, 150}));
  }

  void HandlesResizeTheirEdgesAndTheReleaseEndsTheResize() {
    DrawObject* o = AddObject(*doc_, ObjectKind::Rectangle, 40, 30, 140, 90);
    RefreshDesign(*doc_);
    QTest::mouseClick(view_, Qt::LeftButton, {}, At(90, 60));
    QTest::mousePress(view_, Qt::LeftButton, {}, At(141, 91));  // handle 8
    QCOMPARE(o->selectState, 2);
    QTest::mouseMove(view_, At(161, 96));
    QTest::mouseRelease(view_, Qt::LeftButton, {}, At(161, 96));
    QCOMPARE(o->selectState, 1);
    QCOMPARE((QList<int>{o->left, o->top, o->right, o->bottom}), (QList<int>{40, 30, 160, 95}));

    QTest::mousePress(view_, Qt::LeftButton, {}, At(100, 29));  // handle 2, at (100, 30)
    QCOMPARE(view_->Gesture().ActiveHandle(), 2);
    QTest::mouseMove(view_, At(108, 20));
    QTest::mouseRelease(view_, Qt::LeftButton, {}, At(108, 20));
    QCOMPARE((QList<int>{o->left, o->top, o->right, o->bottom}), (QList<int>{40, 21, 160, 95}));
  }

  void TheOverlayHoldsTheStartAndTheNewOutlineUntilTheRelease() {
    doc_->fadeLevel = 0;
    DrawObject* o = AddObject(*doc_, ObjectKind::Rectangle, 40, 30, 140, 90);
    RefreshDesign(*doc_);
    const QImage before = OnScreen(*view_);
    QTest::mousePress(view_, Qt::LeftButton, {}, At(90, 60));
    const TrackOutline start = OutlineOf(*o);
    QTest::mouseMove(view_, At(100, 70));
    QCOMPARE(view_->Overlay().Outlines(), (std::vector<TrackOutline>{start, OutlineOf(*o)}));

    // Corners start the dotted pattern inverted; the object itself stays where it was drawn.
    const QImage during = OnScreen(*view_);
    QCOMPARE(during.pixel(At(40, 30)), before.pixel(At(40, 30)) ^ 0x00FFFFFFu);
    QCOMPARE(during.pixel(At(50, 40)), before.pixel(At(50, 40)) ^ 0x00FFFFFFu);
    QCOMPARE(during.pixel(At(43, 30)), before.pixel(At(43, 30)));  // a gap of the dots
    QCOMPARE(during.pixel(At(41, 60)), before.pixel(At(41, 60)));  // the old left edge's pen
    // Drawn twice, an outline is gone.
    view_->DrawTrackOutline();
    view_->DrawTrackOutline();
    QCOMPARE(OnScreen(*view_), during);

    QTest::mouseRelease(view_, Qt::LeftButton, {}, At(100, 70));
    QVERIFY(view_->Overlay().Empty());
    const QString difference = DifferenceFromRasterizer(*view_, *doc_);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
  }

  void AfterADragThePageIsTheRasterizersCanvas() {
    doc_->fadeLevel = 50;
    AddObject(*doc_, ObjectKind::Ellipse, 60, 40, 200, 160);
    DrawObject* line = AddObject(*doc_, ObjectKind::Line, 20, 20, 300, 200);
    AddObject(*doc_, ObjectKind::Rectangle, 100, 80, 400, 300);
    RefreshDesign(*doc_);
    const QImage before = OnScreen(*view_);
    // Only the line's rectangle holds the point; the drag pulls it partly off the page, so its
    // outline crosses the rulers.
    QTest::mousePress(view_, Qt::LeftButton, {}, At(250, 50));
    QTest::mouseMove(view_, At(160, 25));
    QTest::mouseMove(view_, At(70, 0));
    const QImage during = OnScreen(*view_);
    QVERIFY(during.copy(0, 0, 17, during.height()) != before.copy(0, 0, 17, before.height()));
    QTest::mouseRelease(view_, Qt::LeftButton, {}, At(70, 0));
    QCOMPARE(doc_->selectedObject, line);
    QCOMPARE(line->left, 20 - 180);
    const QString difference = DifferenceFromRasterizer(*view_, *doc_);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    const QImage after = OnScreen(*view_);
    QCOMPARE(after.copy(0, 0, 17, after.height()), before.copy(0, 0, 17, before.height()));
    QCOMPARE(after.copy(0, 0, after.width(), 17), before.copy(0, 0, before.width(), 17));
  }

  void ArrowKeysNudgeOncePerPressAndRepaintOnTheRealRelease() {
    DrawObject* o = AddObject(*doc_, ObjectKind::Rectangle, 40, 30, 140, 90);
    RefreshDesign(*doc_);
    QTest::mouseClick(view_, Qt::LeftButton, {}, At(90, 60));
    for (int n = 0; n < 3; ++n) {
      QTest::keyClick(designer_->Frame().windowHandle(), Qt::Key_Right);
    }
    QCOMPARE(o->left, 43);
    QVERIFY(view_->Overlay().Empty());

    // Held down: X11 repeats as release/press pairs marked auto-repeated.
    KeyEvent(QEvent::KeyPress, Qt::Key_Down, false);
    KeyEvent(QEvent::KeyRelease, Qt::Key_Down, true);
    QCOMPARE(view_->Overlay().Outlines().size(), std::size_t{2});  // no repaint in between
    KeyEvent(QEvent::KeyPress, Qt::Key_Down, true);
    QCOMPARE(o->top, 32);
    KeyEvent(QEvent::KeyRelease, Qt::Key_Down, false);
    QVERIFY(view_->Overlay().Empty());
    QCOMPARE(o->left, 43);

    // Keys typed into the panel stay there.
    QTest::keyClick(designer_->Frame().AttributePanel()->windowHandle(), Qt::Key_Left);
    QCOMPARE(o->left, 43);
    const QString difference = DifferenceFromRasterizer(*view_, *doc_);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
  }

  void HandlesShowTheirSizingCursors() {
    DrawObject* o = AddObject(*doc_, ObjectKind::Rectangle, 40, 30, 140, 90);
    RefreshDesign(*doc_);
    const auto hover = [this](QPoint p) {
      QMouseEvent move(QEvent::MouseMove, p, view_->mapToGlobal(p), Qt::NoButton, Qt::NoButton,
                       Qt::NoModifier);
      QCoreApplication::sendEvent(view_, &move);
      return view_->cursor().shape();
    };
    QCOMPARE(hover(At(40, 30)), Qt::ArrowCursor);  // nothing selected yet
    QTest::mouseClick(view_, Qt::LeftButton, {}, At(90, 60));
    const Qt::CursorShape expected[] = {
        Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor, Qt::SizeHorCursor,
        Qt::SizeHorCursor,   Qt::SizeBDiagCursor, Qt::SizeVerCursor,   Qt::SizeFDiagCursor};
    for (int h = 1; h <= kHandleCount; ++h) {
      const DotRect r = HandleRect(*o, h);
      QCOMPARE(hover(At(r.right - 1, r.top)), expected[h - 1]);
    }
    QCOMPARE(hover(At(90, 60)), Qt::ArrowCursor);
  }

  void AReleaseOutsideTheViewStillEndsTheDrag() {
    DrawObject* o = AddObject(*doc_, ObjectKind::Rectangle, 40, 30, 140, 90);
    RefreshDesign(*doc_);
    // Through the window, as the window system delivers the pointer.
    QWindow* window = designer_->Frame().windowHandle();
    const auto inWindow = [this](QPoint client) {
      return view_->mapTo(&designer_->Frame(), client);
    };
    QTest::mousePress(window, Qt::LeftButton, {}, inWindow(At(90, 60)));
    QTest::mouseMove(window, inWindow(At(95, 60)));
    const QPoint statusBar =
        designer_->Frame().statusBar()->mapTo(&designer_->Frame(), QPoint(5, 5));
    QTest::mouseRelease(window, Qt::LeftButton, {}, statusBar);
    QVERIFY(!view_->Gesture().Dragging());
    const int left = o->left;
    QTest::mouseMove(window, inWindow(At(120, 60)));
    QCOMPARE(o->left, left);
  }

  void PressesOnNothingLeaveTheDesignAlone() {
    QTest::mouseClick(view_, Qt::LeftButton, {}, At(50, 50));
    QCOMPARE(IndexText(), QStringLiteral("Not Selected"));
    AddObject(*doc_, ObjectKind::Rectangle, 40, 30, 140, 90);
    RefreshDesign(*doc_);
    QTest::mouseClick(view_, Qt::LeftButton, {}, At(90, 60));
    QCOMPARE(IndexText(), QStringLiteral("0"));
    QTest::mouseClick(view_, Qt::LeftButton, {}, At(300, 200));
    QCOMPARE(IndexText(), QStringLiteral("Not Selected"));
    QCOMPARE(doc_->selectedObject, nullptr);
    PaintCounter counter(view_);
    KeyEvent(QEvent::KeyPress, Qt::Key_Left, false);  // no selection: nothing moves
    KeyEvent(QEvent::KeyRelease, Qt::Key_Left, false);
    QCOMPARE(doc_->objects[0]->left, 40);
    QTRY_VERIFY(counter.paints > 0);  // but the release repaints
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::MouseEditingTest)
#include "MouseEditingTest.moc"
