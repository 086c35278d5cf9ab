#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>

#include "CDlg_Text.h"
#include "FontChooser.h"
#include "GuiTestSupport.h"
#include "RenderedArea.h"
#include "TextRenderer.h"

namespace azuz::test {

namespace {

QImage Painted(RenderedArea* area) {
  return area->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The shared renderer's own output for the text at the centre of an area of this size.
QImage RendererOutput(QSize size, const std::string& text, FontRecord font, Colour colour,
                      std::int32_t escapement) {
  Canvas canvas(size.width(), size.height());
  font.escapement = escapement;
  DrawTextAt(canvas, text, font, colour, size.width() / 2, size.height() / 2);
  return QImage(reinterpret_cast<const uchar*>(canvas.Data()), canvas.Width(), canvas.Height(),
                canvas.Width() * 4, QImage::Format_RGB32)
      .copy();
}

// The box of the non-white pixels.
QRect InkOf(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFFu) != 0xFFFFFFu) {
        ink |= QRect(x, y, 1, 1);
      }
    }
  }
  return ink;
}

}  // namespace

class TextDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void ANewTextStartsAsTextInBlackArialUnturned() {
    CDlg_Text dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(Control<QLineEdit>(&dialog, IDC_TEXT)->text(), QStringLiteral("TEXT"));
    auto* rotation = Control<QComboBox>(&dialog, IDC_ROTATION);
    QCOMPARE(rotation->count(), 4);
    const QStringList entries = {rotation->itemText(0), rotation->itemText(1),
                                 rotation->itemText(2), rotation->itemText(3)};
    QCOMPARE(entries, (QStringList{QStringLiteral("0"), QStringLiteral("Left 90"),
                                   QStringLiteral("Right 90"), QStringLiteral("180")}));
    QCOMPARE(rotation->currentIndex(), 0);
    QCOMPARE(dialog.font.FaceName(), std::string("Arial"));
    QCOMPARE(dialog.font.height, 0);
    QCOMPARE(dialog.font.weight, 400);
    QCOMPARE(dialog.font.charSet, std::uint8_t{1});
    QCOMPARE(dialog.textColour, Colour{0});
    QCOMPARE(dialog.pointSize, 10);
  }

  void ThePreviewIsTheRenderersTextFromTheCentreForEveryRotation() {
    CDlg_Text dialog;
    dialog.text = "Receipt";
    dialog.font.height = -20;
    dialog.textColour = 0x00802040;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* rotation = Control<QComboBox>(&dialog, IDC_ROTATION);
    RenderedArea* preview = dialog.Preview();
    const QPoint centre(preview->width() / 2, preview->height() / 2);
    for (int entry = 0; entry < 4; ++entry) {
      rotation->setCurrentIndex(entry);
      const QImage shown = Painted(preview);
      QCOMPARE(dialog.font.escapement, CDlg_Text::kEscapements[static_cast<std::size_t>(entry)]);
      QCOMPARE(shown, RendererOutput(preview->size(), "Receipt", dialog.font, 0x00802040,
                                     CDlg_Text::kEscapements[static_cast<std::size_t>(entry)]));
      // The text starts at the centre and runs its own way: right, up, down, left (a dot of
      // slack for the anchor's rounding).
      const QRect ink = InkOf(shown);
      QVERIFY(ink.width() > 40 || ink.height() > 40);
      const int cx = centre.x();
      const int cy = centre.y();
      switch (entry) {
        case 0:
          QVERIFY(ink.left() >= cx - 1 && ink.top() >= cy - 1);
          QVERIFY(ink.width() > ink.height());
          break;
        case 1:
          QVERIFY(ink.bottom() <= cy + 1 && ink.left() >= cx - 1);
          QVERIFY(ink.height() > ink.width());
          break;
        case 2:
          QVERIFY(ink.top() >= cy - 1 && ink.right() <= cx + 1);
          QVERIFY(ink.height() > ink.width());
          break;
        default:
          QVERIFY(ink.right() <= cx + 1 && ink.bottom() <= cy + 1);
          QVERIFY(ink.width() > ink.height());
          break;
      }
    }
  }

  void EveryKeystrokeRepaintsThePreview() {
    CDlg_Text dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy painted(dialog.Preview(), &RenderedArea::Painted);
    auto* edit = Control<QLineEdit>(&dialog, IDC_TEXT);
    edit->setFocus();
    edit->end(false);
    QTest::keyClick(edit, Qt::Key_Z);
    QVERIFY(painted.wait(1000));
    QCOMPARE(Painted(dialog.Preview()),
             RendererOutput(dialog.Preview()->size(), "TEXTz", dialog.font, 0, 0));
    painted.clear();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QVERIFY(painted.wait(1000));
  }

  void OkWithAnEmptyTextEndsAsCancel() {
    CDlg_Text dialog;
    dialog.text = "keep me";
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    Control<QLineEdit>(&dialog, IDC_TEXT)->clear();
    QTest::mouseClick(Control<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Rejected));
    QCOMPARE(dialog.text, std::string("keep me"));
  }

  void OkTakesTheTextTheRotationAndItsAngle() {
    CDlg_Text dialog;
    dialog.rotation = 3;
    dialog.font.escapement = 1800;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QCOMPARE(Control<QComboBox>(&dialog, IDC_ROTATION)->currentIndex(), 3);
    Control<QLineEdit>(&dialog, IDC_TEXT)->setText(QStringLiteral("Caf\u00e9"));
    Control<QComboBox>(&dialog, IDC_ROTATION)->setCurrentIndex(2);
    QTest::mouseClick(Control<QPushButton>(&dialog, IDOK), Qt::LeftButton);
    QCOMPARE(dialog.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(dialog.text, std::string("Caf\xe9"));  // the design's code page
    QCOMPARE(dialog.rotation, 2);
    QCOMPARE(dialog.font.escapement, 2700);
    QCOMPARE(dialog.pointSize, 10);
  }

  void TheFontButtonTakesTheChoosersRecordColourAndWholePoints() {
    CDlg_Text dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QString startedFace;
    ModalHandler chooser("azuz::FontChooser", [&](QWidget* modal) {
      auto* font = static_cast<FontChooser*>(modal);
      startedFace = font->findChild<QLineEdit*>(QStringLiteral("Font"))->text();
      auto* sizes = font->findChild<QListWidget*>(QStringLiteral("Sizes"));
      sizes->setCurrentItem(sizes->findItems(QStringLiteral("12"), Qt::MatchExactly).value(0));
      font->findChild<QComboBox*>(QStringLiteral("Colour"))->setCurrentText(QStringLiteral("Red"));
      font->accept();
      return true;
    });
    QTest::mouseClick(Control<QPushButton>(&dialog, IDC_CHOOSE_FONT), Qt::LeftButton);
    QVERIFY(chooser.Handled());
    QCOMPARE(startedFace, QStringLiteral("Arial"));
    QCOMPARE(dialog.font.height, -16);
    QCOMPARE(dialog.pointSize, 12);
    QCOMPARE(dialog.textColour, Colour{0x0000FF});
    QCOMPARE(Painted(dialog.Preview()),
             RendererOutput(dialog.Preview()->size(), "TEXT", dialog.font, 0x0000FF, 0));
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::TextDialogTest)
#include "TextDialogTest.moc"
