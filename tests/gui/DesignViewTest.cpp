#include <QDir>
#include <QFile>
#include <QImage>
#include <QPrintPreviewWidget>
#include <QPrinter>

#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "DesignRenderer.h"
#include "EditingOperations.h"
#include "GuiTestSupport.h"
#include "PdfImages.h"
#include "SelectionHandles.h"
#include "ViewPrinting.h"
#include "WatermarkFile.h"

namespace azuz::test {

namespace {

// Paints the view into an image exactly as the window gets it.
QImage Grab(CORVELIXImageToolView& view) {
  return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

DrawObject* AddShape(CORVELIXImageToolDoc& doc, ObjectKind kind, int l, int t, int r, int b) {
  DrawObject* object = doc.FindOrCreateObject(-1);
  object->kind = static_cast<std::int32_t>(kind);
  object->left = l;
  object->top = t;
  object->right = r;
  object->bottom = b;
  object->penColour = 0x000000FF;
  object->fillColour = 0x00203040;
  object->penWidth = 3;
  doc.InsertAtHead(object);
  return object;
}

// The page part of a grabbed view compared dot for dot with a canvas; the first difference.
QString PageDifference(const QImage& shot, const Canvas& canvas) {
  for (int y = 0; y < canvas.Height(); ++y) {
    for (int x = 0; x < canvas.Width(); ++x) {
      const QRgb seen = shot.pixel(18 + x, 18 + y);
      if (seen != canvas.Pixel(x, y)) {
        return QStringLiteral("dot %1,%2: view %3, rasterizer %4")
            .arg(x)
            .arg(y)
            .arg(seen, 8, 16)
            .arg(canvas.Pixel(x, y), 8, 16);
      }
    }
  }
  return {};
}

// Fills the page with shapes of several colours, as edits do (each asks for a redraw), and
// returns the page part of the window as it then shows.
QImage BusyPageOnScreen(StartedDesigner& designer) {
  AddShape(designer.Doc(), ObjectKind::Rectangle, 10, 10, 200, 100);
  DrawObject* ellipse = AddShape(designer.Doc(), ObjectKind::Ellipse, 150, 40, 400, 300);
  ellipse->penColour = 0x0000C000;
  ellipse->fillColour = 0x00F0A0FF;
  AddShape(designer.Doc(), ObjectKind::Line, 0, 329, 511, 0);
  designer.Doc().RedrawPage();
  const QImage shot = Grab(*designer.Frame().GetActiveView());
  return shot.copy(18, 18, designer.Doc().pageWidth, designer.Doc().pageHeight);
}

bool IsBlack(QRgb pixel) {
  return (pixel & 0xFFFFFF) == 0;
}

}  // namespace

class DesignViewTest : public QObject {
  Q_OBJECT

 private slots:
  void PageShowsWhatTheRasterizerDraws_data() {
    QTest::addColumn<QString>("design");
    QTest::newRow("shapes at fade 50") << QStringLiteral("fade_50.bwi");
    QTest::newRow("overlap") << QStringLiteral("overlap_fade50.bwi");
    QTest::newRow("text over a rectangle") << QStringLiteral("text_over_rect_fade50.bwi");
    QTest::newRow("pictures") << QStringLiteral("pic_fade50.bwi");
  }
  void PageShowsWhatTheRasterizerDraws() {
    QFETCH(QString, design);
    const QString path = CorpusDesign(design);
    if (path.isEmpty()) {
      QSKIP("test corpus not present");
    }
    // Pictures are referenced relative to the corpus folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QFileInfo(path).absolutePath());
    StartedDesigner designer;
    const bool opened = designer.Frame().OpenDocumentFile(path.toStdString());
    QDir::setCurrent(previous);
    QVERIFY(opened);
    CORVELIXImageToolView& view = *designer.Frame().GetActiveView();

    Canvas expected(designer.Doc().pageWidth, designer.Doc().pageHeight, view.PageBackground());
    DrawDesign(expected, designer.Doc(), designer.Doc().fadeLevel);
    const QImage shot = Grab(view);
    QVERIFY(shot.width() >= 18 + expected.Width());
    QVERIFY(shot.height() >= 18 + expected.Height());
    const QString difference = PageDifference(shot, expected);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
  }

  void SelectedObjectShowsEightUnfadedHandles() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    doc.fadeLevel = 95;  // would whiten everything inside the rectangle
    DrawObject* object = AddShape(doc, ObjectKind::Rectangle, 40, 30, 141, 90);
    doc.selectedObject = object;
    object->selectState = 1;
    RefreshDesign(doc);
    const QImage shot = Grab(*designer.Frame().GetActiveView());
    QCOMPARE(HandleRect(*object, 2).left, 40 + 50 - 4);
    for (int handle = 1; handle <= 8; ++handle) {
      const DotRect r = HandleRect(*object, handle);
      QVERIFY2(IsBlack(shot.pixel(18 + r.left, 18 + r.top)), qPrintable(QString::number(handle)));
      QVERIFY(IsBlack(shot.pixel(18 + r.right - 1, 18 + r.bottom - 1)));
      QCOMPARE(shot.pixel(18 + r.left + 3, 18 + r.top + 3) & 0xFFFFFF, 0xFFFFFFu);
      QVERIFY(!IsBlack(shot.pixel(18 + r.right, 18 + r.bottom)) ||
              handle == 8);  // the square ends before its right and bottom edges
    }
    doc.selectedObject = nullptr;
    RefreshDesign(doc);
    const QImage without = Grab(*designer.Frame().GetActiveView());
    const DotRect r = HandleRect(*object, 5);
    QVERIFY(!IsBlack(without.pixel(18 + r.left, 18 + r.top)));
  }

  void RulersTicksLabelsSurroundAndBorder() {
    StartedDesigner designer;
    CORVELIXImageToolView& view = *designer.Frame().GetActiveView();
    const QImage shot = Grab(view);
    const QRgb ruler = qRgb(250, 230, 180);
    const QRgb surround = qRgb(180, 180, 180);
    QCOMPARE(shot.pixel(3, view.height() - 3), ruler);
    QCOMPARE(shot.pixel(view.width() - 3, 3), ruler);
    QVERIFY(IsBlack(shot.pixel(200, 17)));  // the top ruler line
    QVERIFY(IsBlack(shot.pixel(17, 200)));  // the left ruler line
    // x = 27: a short tick; x = 67 (50): a middle one; x = 117 (100): the long one, labelled.
    QVERIFY(IsBlack(shot.pixel(27, 15)));
    QCOMPARE(shot.pixel(27, 14), ruler);
    QVERIFY(IsBlack(shot.pixel(67, 13)));
    QCOMPARE(shot.pixel(67, 12), ruler);
    QVERIFY(IsBlack(shot.pixel(117, 11)));
    QVERIFY(IsBlack(shot.pixel(117, 10)));
    bool labelInk = false;
    for (int x = 119; x < 135; ++x) {
      for (int y = 5; y < 17; ++y) {
        labelInk = labelInk || IsBlack(shot.pixel(x, y));
      }
    }
    QVERIFY(labelInk);
    QCOMPARE(shot.pixel(37, 12), ruler);  // no label at 20
    // The same along the left ruler.
    QVERIFY(IsBlack(shot.pixel(15, 27)));
    QCOMPARE(shot.pixel(14, 27), ruler);
    QVERIFY(IsBlack(shot.pixel(11, 117)));
    // Border right of and below the page, grey beyond it.
    const int right = 18 + designer.Doc().pageWidth;
    const int bottom = 18 + designer.Doc().pageHeight;
    QVERIFY(IsBlack(shot.pixel(right, 100)));
    QVERIFY(IsBlack(shot.pixel(100, bottom)));
    QVERIFY(IsBlack(shot.pixel(right, bottom)));
    QCOMPARE(shot.pixel(right + 1, 100), surround);
    QCOMPARE(shot.pixel(100, bottom + 1), surround);
    QCOMPARE(shot.pixel(100, 100), view.PageBackground());
  }

  void RedrawPageRepaintsThePageAndRedrawAllTheWindow() {
    StartedDesigner designer;
    CORVELIXImageToolView& view = *designer.Frame().GetActiveView();
    QTest::qWait(20);
    QRegion painted;
    struct Recorder : QObject {
      QRegion* region;
      explicit Recorder(QRegion* r) : region(r) {}
      bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
          *region += static_cast<QPaintEvent*>(event)->region();
        }
        return false;
      }
    } recorder(&painted);
    view.installEventFilter(&recorder);
    designer.Doc().RedrawPage();
    QTRY_VERIFY(!painted.isEmpty());
    QCOMPARE(painted.boundingRect(), QRect(18, 18, 512, 330).intersected(view.rect()));
    painted = QRegion();
    designer.Doc().RedrawAll();
    QTRY_VERIFY(!painted.isEmpty());
    QCOMPARE(painted.boundingRect(), view.rect());
    view.removeEventFilter(&recorder);
  }

  void EmptyAndAbsurdPagesPaintWithoutAPage_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");
    QTest::newRow("zero") << 0 << 330;
    QTest::newRow("negative") << -40 << -1;
    QTest::newRow("huge") << 2000000000 << 2000000000;
  }
  void EmptyAndAbsurdPagesPaintWithoutAPage() {
    QFETCH(int, width);
    QFETCH(int, height);
    StartedDesigner designer;
    AddShape(designer.Doc(), ObjectKind::Ellipse, 10, 10, 100, 100);
    designer.Doc().pageWidth = width;
    designer.Doc().pageHeight = height;
    designer.Doc().RedrawAll();
    const QImage shot = Grab(*designer.Frame().GetActiveView());
    QVERIFY(designer.Frame().GetActiveView()->PageCanvas() == nullptr);
    QCOMPARE(shot.pixel(300, 3), qRgb(250, 230, 180));  // the top ruler is drawn all the same
  }

  void EnlargingThePageShowsAllOfIt() {
    StartedDesigner designer;
    CORVELIXImageToolView& view = *designer.Frame().GetActiveView();
    Grab(view);
    designer.Doc().pageWidth = 640;
    designer.Doc().RedrawAll();
    Grab(view);
    QCOMPARE(view.PageCanvas()->Width(), 640);
    QCOMPARE(view.PageRect().right, 18 + 640);
  }

  void PrintDirectPrintsThePageDotForDot() {
    StartedDesigner designer;
    const QImage page = BusyPageOnScreen(designer);
    const QString pdf = ScratchDir() + QStringLiteral("/printed.pdf");
    SharedPrinter().setOutputFormat(QPrinter::PdfFormat);
    SharedPrinter().setOutputFileName(pdf);
    QVERIFY(designer.Frame().OnCommand(ID_FILE_PRINT_DIRECT));
    const QList<QImage> printed = ImagesInPdf(pdf);
    QCOMPARE(printed.size(), 1);
    const QString difference = ImageDifference(printed[0], page);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
  }

  void PrintPreviewShowsAndPrintsThePageDotForDot() {
    StartedDesigner designer;
    const QImage page = BusyPageOnScreen(designer);
    const QString pdf = ScratchDir() + QStringLiteral("/previewed.pdf");
    SharedPrinter().setOutputFormat(QPrinter::PdfFormat);
    SharedPrinter().setOutputFileName(pdf);
    int pages = -1;
    ModalHandler preview("QPrintPreviewDialog", [&pages](QWidget* dialog) {
      auto* widget = dialog->findChild<QPrintPreviewWidget*>();
      pages = widget->pageCount();
      widget->print();  // the pages the preview holds, to the printer
      static_cast<QDialog*>(dialog)->reject();
      return true;
    });
    QVERIFY(designer.Frame().OnCommand(ID_FILE_PRINT_PREVIEW));
    QVERIFY(preview.Handled());
    QCOMPARE(pages, 1);
    const QList<QImage> printed = ImagesInPdf(pdf);
    QCOMPARE(printed.size(), 1);
    const QString difference = ImageDifference(printed[0], page);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::DesignViewTest)
#include "DesignViewTest.moc"
