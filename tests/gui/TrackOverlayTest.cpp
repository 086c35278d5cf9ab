#include <QImage>
#include <QPainter>
#include <algorithm>
#include <set>

#include "GuiTestSupport.h"
#include "TrackOverlay.h"

namespace azuz::test {

namespace {

using Shape = TrackOutline::Shape;

std::set<std::pair<int, int>> DotSet(const std::vector<QPoint>& dots) {
  std::set<std::pair<int, int>> set;
  for (const QPoint& p : dots) {
    set.insert({p.x(), p.y()});
  }
  return set;
}

}  // namespace

class TrackOverlayTest : public QObject {
  Q_OBJECT

 private slots:
  void ALineRunsThreeDotsOnThreeOffAndLeavesOutItsEnd() {
    const std::vector<QPoint> dots = OutlineDots({Shape::Line, 0, 0, 12, 4}, QRect(0, 0, 50, 50));
    // Steps 0-2 and 6-8 of 12; y is 4 * k / 12 rounded to nearest, halves down.
    const std::vector<QPoint> expected = {{0, 0}, {1, 0}, {2, 1}, {6, 2}, {7, 2}, {8, 3}};
    QCOMPARE(dots, expected);
    const std::vector<QPoint> back = OutlineDots({Shape::Line, 12, 4, 0, 0}, QRect(0, 0, 50, 50));
    QVERIFY(std::none_of(back.begin(), back.end(), [](QPoint p) { return p == QPoint(0, 0); }));
  }

  void FarShapesCostOnlyWhatTheClipShows() {
    const QRect clip(0, 0, 100, 80);
    const TrackOutline far{Shape::Line, -2000000000, 40, 2000000000, 40};
    const std::vector<QPoint> dots = OutlineDots(far, clip);
    QVERIFY(dots.size() >= 48 && dots.size() <= 52);
    QVERIFY(std::all_of(dots.begin(), dots.end(), [&](QPoint p) { return clip.contains(p); }));
    QVERIFY(!OutlineDots({Shape::Ellipse, -2000000000, -5, 2000000000, 60}, clip).empty());
    QVERIFY(OutlineDots({Shape::Rectangle, 200, 200, 300, 300}, clip).empty());
  }

  void EllipsesAndRectanglesInvertEachDotOnceInsideTheirBox() {
    for (const TrackOutline& o :
         {TrackOutline{Shape::Ellipse, 10, 10, 13, 60}, TrackOutline{Shape::Ellipse, 70, 50, 5, 8},
          TrackOutline{Shape::Rectangle, 30, 30, 31, 40},
          TrackOutline{Shape::Rectangle, 5, 5, 40, 6},
          TrackOutline{Shape::Rectangle, 40, 40, 20, 20}}) {
      const std::vector<QPoint> dots = OutlineDots(o, QRect(0, 0, 100, 100));
      QVERIFY(!dots.empty());
      QCOMPARE(DotSet(dots).size(), dots.size());
      const QRect box = QRect(QPoint(std::min(o.left, o.right), std::min(o.top, o.bottom)),
                              QPoint(std::max(o.left, o.right) - 1, std::max(o.top, o.bottom) - 1));
      QVERIFY(std::all_of(dots.begin(), dots.end(), [&](QPoint p) { return box.contains(p); }));
    }
    QVERIFY(OutlineDots({Shape::Rectangle, 5, 5, 5, 40}, QRect(0, 0, 100, 100)).empty());
  }

  void DrawingAnOutlineTwiceRemovesItAndSharedDotsShowWhatIsBelow() {
    TrackOverlay overlay;
    const QRect client(0, 0, 60, 60);
    const TrackOutline a{Shape::Rectangle, 10, 10, 40, 40};
    const TrackOutline b{Shape::Rectangle, 10, 10, 50, 20};  // shares the top-left corner
    overlay.Toggle(a, client);
    overlay.Toggle(b, client);
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(qRgb(10, 200, 30));
    {
      QPainter painter(&image);
      overlay.Paint(painter, client);
    }
    QCOMPARE(image.pixel(10, 10), qRgb(10, 200, 30));   // inverted twice
    QCOMPARE(image.pixel(39, 25), qRgb(245, 55, 225));  // a's right side only
    QVERIFY(overlay.Toggle(a, client).contains(QPoint(39, 25)));
    QCOMPARE(overlay.Outlines(), std::vector<TrackOutline>{b});
    QVERIFY(overlay.Clear(client).contains(QPoint(49, 15)));
    QVERIFY(overlay.Empty());
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::TrackOverlayTest)
#include "TrackOverlayTest.moc"
