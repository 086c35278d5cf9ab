#include <QColorDialog>
#include <QComboBox>
#include <QPushButton>

#include "CDlg_figure.h"
#include "GuiTestSupport.h"
#include "RenderedArea.h"

namespace azuz::test {

namespace {

constexpr QRgb kBlack = 0xFF000000u;
constexpr QRgb kWhite = 0xFFFFFFFFu;

// What the area shows on the screen, taken through a real paint.
QImage Painted(RenderedArea* area) {
  return area->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Pixels from x0 rightwards along row y, until the colour changes: how wide an outline is.
int RunOf(const QImage& image, int x0, int y, QRgb colour) {
  int x = x0;
  while (x < image.width() && image.pixel(x, y) == colour) {
    ++x;
  }
  return x - x0;
}

}  // namespace

class FigureDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void ANewFigureOpensBlackOnWhiteWithWidthOne() {
    CDlg_figure dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* width = Control<QComboBox>(&dialog, IDC_LINE_WIDTH);
    QCOMPARE(width->count(), 10);
    QCOMPARE(width->itemText(0), QStringLiteral("1"));
    QCOMPARE(width->itemText(9), QStringLiteral("10"));
    QCOMPARE(width->currentText(), QStringLiteral("1"));

    // Each swatch: the default one-dot black frame around its colour.
    const QImage line = Painted(dialog.LineSwatch());
    const QImage fill = Painted(dialog.FillSwatch());
    QCOMPARE(line.pixel(0, 0), kBlack);
    QCOMPARE(line.pixel(line.width() / 2, line.height() / 2), kBlack);
    QCOMPARE(fill.pixel(0, fill.height() / 2), kBlack);
    QCOMPARE(fill.pixel(fill.width() - 1, fill.height() - 1), kBlack);
    QCOMPARE(fill.pixel(fill.width() / 2, fill.height() / 2), kWhite);
    QCOMPARE(fill.pixel(1, 1), kWhite);
  }

  void ThePreviewOutlineIsOneDotWiderThanTheWidth() {
    CDlg_figure dialog;
    dialog.fillColour = 0x0000FF;  // red inside, so the outline's end shows
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    RenderedArea* preview = dialog.Preview();
    const int w = preview->width();
    const int h = preview->height();
    const int boxLeft = w / 4;
    const int middle = h / 4 + h / 4;  // a row through the box's middle

    QImage image = Painted(preview);
    // The area's own frame: one black dot, then white.
    QCOMPARE(RunOf(image, 0, middle, kBlack), 1);
    QCOMPARE(image.pixel(1, middle), kWhite);
    QCOMPARE(RunOf(image, boxLeft, middle, kBlack), 2);
    QCOMPARE(image.pixel(boxLeft + 2, middle), qRgb(255, 0, 0));
    QCOMPARE(image.pixel(boxLeft - 1, middle), kWhite);

    // Entry 3 is width 4: a 5-dot outline, repainted on the choice.
    Control<QComboBox>(&dialog, IDC_LINE_WIDTH)->setCurrentIndex(3);
    QCOMPARE(dialog.lineWidth, 4);
    image = Painted(preview);
    QCOMPARE(RunOf(image, boxLeft, middle, kBlack), 5);
    QCOMPARE(image.pixel(boxLeft + 5, middle), qRgb(255, 0, 0));
  }

  void EachKindDrawsItsOwnFigureInTheMiddleHalf() {
    for (std::int32_t kind : {2, 3, 4}) {
      CDlg_figure dialog;
      dialog.kind = kind;
      dialog.show();
      QVERIFY(QTest::qWaitForWindowExposed(&dialog));
      const QImage image = Painted(dialog.Preview());
      const int w = image.width();
      const int h = image.height();
      const QPoint corner(w / 4 + 1, h / 4 + 1);
      const QPoint centre(w / 4 + w / 4, h / 4 + h / 4);
      const QPoint leftMiddle(w / 4, h / 2);
      const QPoint outside(w / 8, h / 8);
      QCOMPARE(image.pixel(outside), kWhite);
      switch (kind) {
        case 2:  // a diagonal through the box: its centre inked, the left edge not
          QCOMPARE(image.pixel(centre), kBlack);
          QCOMPARE(image.pixel(leftMiddle), kWhite);
          break;
        case 3:  // a framed box: corner and left edge inked, the filled centre white
          QCOMPARE(image.pixel(corner), kBlack);
          QCOMPARE(image.pixel(leftMiddle), kBlack);
          QCOMPARE(image.pixel(centre), kWhite);
          break;
        default:  // the inscribed ellipse: its left edge inked, the box's corner not
          QCOMPARE(image.pixel(corner), kWhite);
          QCOMPARE(image.pixel(leftMiddle), kBlack);
          QCOMPARE(image.pixel(centre), kWhite);
          break;
      }
    }
  }

  void ColourButtonsStartFromTheCurrentColourAndKeepTheChoice() {
    CDlg_figure dialog;
    dialog.kind = 2;  // a line: the fill stays editable all the same
    dialog.lineColour = 0x0000FF;
    dialog.fillColour = 0x00FF00;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QColor started;
    {
      auto chooser = ChooseInColourDialog(QColor(0, 0, 255), &started);
      QTest::mouseClick(Control<QPushButton>(&dialog, IDC_LINE_COLOUR), Qt::LeftButton);
      QVERIFY(chooser->Handled());
    }
    QCOMPARE(started, QColor(255, 0, 0));
    QCOMPARE(dialog.lineColour, Colour{0xFF0000});
    QCOMPARE(dialog.fillColour, Colour{0x00FF00});
    const QImage swatch = Painted(dialog.LineSwatch());
    QCOMPARE(swatch.pixel(swatch.width() / 2, swatch.height() / 2), qRgb(0, 0, 255));

    {
      auto chooser = ChooseInColourDialog(QColor(10, 20, 30), &started);
      QTest::mouseClick(Control<QPushButton>(&dialog, IDC_FILL_COLOUR), Qt::LeftButton);
      QVERIFY(chooser->Handled());
    }
    QCOMPARE(started, QColor(0, 255, 0));
    QCOMPARE(dialog.fillColour, Colour{0x1E140A});

    // A cancelled chooser changes nothing.
    ModalHandler cancel("QColorDialog", [](QWidget* modal) {
      static_cast<QColorDialog*>(modal)->setCurrentColor(Qt::yellow);
      static_cast<QColorDialog*>(modal)->reject();
      return true;
    });
    QTest::mouseClick(Control<QPushButton>(&dialog, IDC_LINE_COLOUR), Qt::LeftButton);
    QVERIFY(cancel.Handled());
    QCOMPARE(dialog.lineColour, Colour{0xFF0000});
  }

  void AWidthOutsideTheListShowsNoEntryAndStays() {
    CDlg_figure dialog;
    dialog.lineWidth = 2147483647;  // read from a file: one wider overflows 32 bits
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(Control<QComboBox>(&dialog, IDC_LINE_WIDTH)->currentIndex(), -1);
    // The preview still draws, with the wide pen kept inside the figure's box.
    const QImage image = Painted(dialog.Preview());
    const int w = image.width();
    const int h = image.height();
    QCOMPARE(image.pixel(w / 4 + 3, h / 2), kBlack);
    QCOMPARE(image.pixel(w / 4 - 1, h / 2), kWhite);
    QTest::mouseClick(Control<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(dialog.lineWidth, 2147483647);
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::FigureDialogTest)
#include "FigureDialogTest.moc"
