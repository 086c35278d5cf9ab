#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>

#include "FontChooser.h"
#include "GuiTestSupport.h"
#include "QtPrompts.h"
#include "RenderedArea.h"
#include "TextFaces.h"
#include "TextRenderer.h"

namespace azuz::test {

namespace {

template <typename Widget>
Widget* Named(const QWidget* chooser, const char* name) {
  auto* widget = chooser->findChild<Widget*>(QString::fromLatin1(name));
  if (widget == nullptr) {
    qFatal("the font chooser has no %s", name);
  }
  return widget;
}

void Choose(QListWidget* list, const QString& text) {
  const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchExactly);
  QVERIFY2(!found.isEmpty(), qPrintable(text));
  list->setCurrentItem(found.first());
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

FontRecord Unusual() {
  FontRecord record;
  record.height = -19;
  record.width = 3;
  record.escapement = 2700;
  record.orientation = 10;
  record.weight = 650;
  record.italic = 255;
  record.strikeOut = 1;
  record.charSet = 0;
  record.quality = 3;
  record.pitchAndFamily = 0x12;
  record.SetFaceName("DejaVu Serif");
  record.faceName[25] = '#';
  return record;
}

}  // namespace

class FontChooserTest : public QObject {
  Q_OBJECT

 private slots:
  void initTestCase() { InstallQtPrompts(); }

  void ItListsTheRenderersFacesStylesSizesAndSixteenColours() {
    FontChooser chooser(FontRecord{}, 0);
    auto* faces = Named<QListWidget>(&chooser, "Fonts");
    const std::vector<std::string> expected = TextFaceNames();
    QCOMPARE(faces->count(), static_cast<int>(expected.size()));
    QVERIFY(faces->count() > 0);
    for (int row = 0; row < faces->count(); ++row) {
      QCOMPARE(faces->item(row)->text().toStdString(), expected[static_cast<std::size_t>(row)]);
    }
    auto* styles = Named<QListWidget>(&chooser, "Font styles");
    QCOMPARE(styles->count(), 4);
    QCOMPARE(styles->item(3)->text(), QStringLiteral("Bold Italic"));
    auto* sizes = Named<QListWidget>(&chooser, "Sizes");
    QCOMPARE(sizes->item(0)->text(), QStringLiteral("8"));
    QCOMPARE(sizes->item(sizes->count() - 1)->text(), QStringLiteral("72"));
    auto* colours = Named<QComboBox>(&chooser, "Colour");
    QCOMPARE(colours->count(), 16);
    QCOMPARE(colours->itemText(0), QStringLiteral("Black"));
    QCOMPARE(colours->itemText(7), QStringLiteral("Gray"));
    QCOMPARE(colours->itemText(13), QStringLiteral("Fuchsia"));
    QCOMPARE(colours->itemData(1).toUInt(), 0x000080u);   // Maroon: red in the low byte
    QCOMPARE(colours->itemData(12).toUInt(), 0xFF0000u);  // Blue
    QCOMPARE(colours->itemData(14).toUInt(), 0xFFFF00u);  // Aqua
  }

  void NothingChangedGivesBackTheSameRecordColourAndSize() {
    const FontRecord record = Unusual();
    FontChooser chooser(record, 0x00336699);
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    QCOMPARE(Named<QLineEdit>(&chooser, "Font")->text(), QStringLiteral("DejaVu Serif"));
    QCOMPARE(Named<QLineEdit>(&chooser, "Font style")->text(), QStringLiteral("Bold Italic"));
    QCOMPARE(Named<QLineEdit>(&chooser, "Size")->text(), QStringLiteral("14.3"));
    QVERIFY(Named<QCheckBox>(&chooser, "Strikeout")->isChecked());
    QCOMPARE(Named<QComboBox>(&chooser, "Colour")->currentText(), QStringLiteral("Custom"));
    QTest::mouseClick(Control<QPushButton>(&chooser, IDOK), Qt::LeftButton);
    QCOMPARE(chooser.result(), static_cast<int>(QDialog::Accepted));
    QVERIFY(chooser.Record() == record);
    QCOMPARE(chooser.ColourChosen(), Colour{0x00336699});
    QCOMPARE(chooser.SizeTenths(), 143);  // 19 dots a em

    // The default record: height 0 is drawn at 14 dots a em, 10.5 points.
    FontChooser plain(FontRecord{}, 0);
    QCOMPARE(plain.SizeTenths(), 105);
    QVERIFY(plain.Record() == FontRecord{});
  }

  void TwelvePointsIsHeightMinusSixteen() {
    FontChooser chooser(FontRecord{}, 0);
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    Choose(Named<QListWidget>(&chooser, "Sizes"), QStringLiteral("12"));
    Choose(Named<QListWidget>(&chooser, "Font styles"), QStringLiteral("Bold"));
    Named<QCheckBox>(&chooser, "Underline")->setChecked(true);
    Named<QComboBox>(&chooser, "Colour")->setCurrentText(QStringLiteral("Olive"));
    QTest::mouseClick(Control<QPushButton>(&chooser, IDOK), Qt::LeftButton);
    QCOMPARE(chooser.result(), static_cast<int>(QDialog::Accepted));
    FontRecord expected;
    expected.height = -16;
    expected.weight = 700;
    expected.underline = 1;
    QVERIFY(chooser.Record() == expected);
    QCOMPARE(chooser.SizeTenths(), 120);
    QCOMPARE(chooser.ColourChosen(), Colour{0x008080});

    // The sample is the renderer's drawing of the record chosen, centred in its area.
    Canvas alone(chooser.Sample()->width(), chooser.Sample()->height());
    DrawTextAt(alone, "AaBbYyZz", expected, 0x008080, 0, 0);
    const QImage drawn = QImage(reinterpret_cast<const uchar*>(alone.Data()), alone.Width(),
                                alone.Height(), alone.Width() * 4, QImage::Format_RGB32)
                             .copy();
    const QImage shown = chooser.Sample()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect inkShown = InkOf(shown);
    const QRect inkDrawn = InkOf(drawn);
    QVERIFY(!inkShown.isEmpty());
    QCOMPARE(shown.copy(inkShown), drawn.copy(inkDrawn));
    QVERIFY(std::abs(inkShown.left() - (shown.width() - 1 - inkShown.right())) <= 1);
  }

  void ATypedFaceOrSizeMustBeOneItCanUse() {
    FontChooser chooser(FontRecord{}, 0);
    chooser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&chooser));
    auto* face = Named<QLineEdit>(&chooser, "Font");
    auto* size = Named<QLineEdit>(&chooser, "Size");

    // Typing picks the first face the text begins, in the list's own spelling.
    face->setFocus();
    face->selectAll();
    QTest::keyClicks(face, QStringLiteral("liberation ser"));
    QCOMPARE(Named<QListWidget>(&chooser, "Fonts")->currentItem()->text(),
             QStringLiteral("Liberation Serif"));
    face->setText(QStringLiteral("liberation serif"));
    QCOMPARE(chooser.Record().FaceName(), std::string("Liberation Serif"));

    face->setText(QStringLiteral("No Such Face"));
    {
      auto prompt = AnswerMessageBox(QMessageBox::Ok);
      QTest::mouseClick(Control<QPushButton>(&chooser, IDOK), Qt::LeftButton);
      QVERIFY(prompt->Handled());
    }
    QVERIFY(chooser.isVisible());
    QCOMPARE(chooser.focusWidget(), face);

    // Arial is what the record came with: kept, though only its stand-in is installed.
    face->setText(QStringLiteral("Arial"));
    size->setText(QStringLiteral("abc"));
    {
      auto prompt = AnswerMessageBox(QMessageBox::Ok);
      QTest::mouseClick(Control<QPushButton>(&chooser, IDOK), Qt::LeftButton);
      QVERIFY(prompt->Handled());
    }
    QVERIFY(chooser.isVisible());
    QCOMPARE(chooser.focusWidget(), size);
    size->setText(QStringLiteral("0"));
    {
      auto prompt = AnswerMessageBox(QMessageBox::Ok);
      QTest::mouseClick(Control<QPushButton>(&chooser, IDOK), Qt::LeftButton);
      QVERIFY(prompt->Handled());
    }
    QVERIFY(chooser.isVisible());

    size->setText(QStringLiteral("10.5"));  // typed sizes may have a tenth
    face->setText(QStringLiteral("Arial"));
    QTest::mouseClick(Control<QPushButton>(&chooser, IDOK), Qt::LeftButton);
    QCOMPARE(chooser.result(), static_cast<int>(QDialog::Accepted));
    QCOMPARE(chooser.SizeTenths(), 105);
    QVERIFY(chooser.Record() == FontRecord{});  // 10.5 was the size shown: height 0 stays
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::FontChooserTest)
#include "FontChooserTest.moc"
