#include <QAccessible>
#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "DesignRenderer.h"
#include "EditGeometry.h"
#include "GuiTestSupport.h"

namespace azuz::test {

namespace {

QImage Grab(CORVELIXImageToolView& view) {
  return view.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

bool Printed(const WatermarkImage& image, int width, int x, int y) {
  const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
  const std::uint8_t byte = image[9 + static_cast<std::size_t>(y) * rowBytes + x / 8];
  return (byte & (0x80 >> (x % 8))) != 0;
}

bool OnHandle(const DrawObject* selected, int x, int y) {
  for (int h = 1; h <= kHandleCount && selected != nullptr; ++h) {
    const DotRect r = HandleRect(*selected, h);
    if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
      return true;
    }
  }
  return false;
}

// The first dot of the view's page that is not the packed image's dot, black printed and
// white blank, the selected object's handles left out; empty when every dot agrees.
QString DifferenceFromPrinted(const QImage& shot, const CORVELIXImageToolDoc& doc) {
  const WatermarkImage image = *RenderWatermarkImage(doc);
  for (int y = 0; y < doc.pageHeight; ++y) {
    for (int x = 0; x < doc.pageWidth; ++x) {
      const QRgb expected =
          Printed(image, doc.pageWidth, x, y) ? qRgb(0, 0, 0) : qRgb(255, 255, 255);
      if (!OnHandle(doc.selectedObject, x, y) && shot.pixel(18 + x, 18 + y) != expected) {
        return QStringLiteral("dot %1,%2").arg(x).arg(y);
      }
    }
  }
  return {};
}

}  // namespace

class PrintedDotsTest : public QObject {
  Q_OBJECT

 private slots:
  void ThePageShowsThePackedImageAndTheToolAgrees() {
    // A colour picture and a GIF at fade 50: light colours print black, then the pattern thins.
    const QString path = CorpusDesign(QStringLiteral("pic_fade50.bwi"));
    if (path.isEmpty()) {
      QSKIP("test corpus not present");
    }
    const QString previous = QDir::currentPath();
    QDir::setCurrent(QFileInfo(path).absolutePath());  // pictures are relative to it
    StartedDesigner designer;
    const bool opened = designer.Frame().OpenDocumentFile(path.toStdString());
    QVERIFY(opened);
    CORVELIXImageToolDoc& doc = designer.Doc();
    QCOMPARE(doc.fadeLevel, 50);
    QVERIFY(!doc.objects.empty() && doc.objects.back()->picture);
    CORVELIXImageToolView& view = *designer.Frame().GetActiveView();
    QAction* dots = designer.Frame().Action(ID_VIEW_PRINTED_DOTS);
    QVERIFY(dots->isCheckable());
    QVERIFY(!dots->isChecked());
    QVERIFY(!view.PrintedDots());
    const QImage colours = Grab(view);

    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&view);
    QVERIFY(!reader->text(QAccessible::Description).contains(QStringLiteral("printed")));
    QVERIFY(designer.Frame().OnCommand(ID_VIEW_PRINTED_DOTS));
    QVERIFY(dots->isChecked());
    QVERIFY(
        reader->text(QAccessible::Description).endsWith(QStringLiteral(", shown as printed dots")));
    const QImage shot = Grab(view);
    QVERIFY(shot != colours);
    QString difference = DifferenceFromPrinted(shot, doc);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));

    // The tool's picture of the same design, dot for dot.
    const QString png = ScratchDir() + QStringLiteral("/dots.png");
    QProcess azuz;
    azuz.start(QStringLiteral(AZUZ_BINARY_DIR "/cli/azuz"),
               {QStringLiteral("render"), path,
                QStringLiteral("--page=%1x%2").arg(doc.pageWidth).arg(doc.pageHeight),
                QStringLiteral("--png"), png});
    QVERIFY(azuz.waitForFinished(20000));
    QDir::setCurrent(previous);
    QCOMPARE(azuz.exitCode(), 0);
    const QImage tool = QImage(png).convertToFormat(QImage::Format_RGB32);
    QCOMPARE(tool.size(), QSize(doc.pageWidth, doc.pageHeight));
    QCOMPARE(shot.copy(18, 18, doc.pageWidth, doc.pageHeight), tool);

    // Selecting and dragging work as with colours; the handles lie over the dots.
    const DrawObject& front = *doc.objects[0];
    const QPoint inside(18 + (front.left + front.right) / 2, 18 + (front.top + front.bottom) / 2);
    QTest::mousePress(&view, Qt::LeftButton, {}, inside);
    QTest::mouseMove(&view, inside + QPoint(30, 12));
    QTest::mouseRelease(&view, Qt::LeftButton, {}, inside + QPoint(30, 12));
    QCOMPARE(doc.selectedObject, &front);
    const QImage moved = Grab(view);
    difference = DifferenceFromPrinted(moved, doc);
    QVERIFY2(difference.isEmpty(), qPrintable(difference));
    const DotRect handle = HandleRect(front, 1);
    QCOMPARE(moved.pixel(18 + handle.left, 18 + handle.top), qRgb(0, 0, 0));
    QCOMPARE(moved.pixel(18 + handle.left + 3, 18 + handle.top + 3), qRgb(255, 255, 255));

    // Off again: the design's colours on the window background.
    QVERIFY(designer.Frame().OnCommand(ID_VIEW_PRINTED_DOTS));
    QVERIFY(!dots->isChecked());
    Canvas expected(doc.pageWidth, doc.pageHeight, view.PageBackground());
    DrawDesign(expected, doc, doc.fadeLevel);
    const QImage back = Grab(view);
    int differing = 0;
    for (int y = 0; y < doc.pageHeight; ++y) {
      for (int x = 0; x < doc.pageWidth; ++x) {
        differing += !OnHandle(&front, x, y) && back.pixel(18 + x, 18 + y) != expected.Pixel(x, y);
      }
    }
    QCOMPARE(differing, 0);
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::PrintedDotsTest)
#include "PrintedDotsTest.moc"
