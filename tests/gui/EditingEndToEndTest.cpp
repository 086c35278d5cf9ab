#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <mutex>
#include <thread>

#include "CDlg_figure.h"
#include "CommandIds.h"
#include "EditingOperations.h"
#include "GuiTestSupport.h"
#include "PrinterEmulator.h"
#include "RenderedArea.h"
#include "WatermarkFile.h"
#include "cli/RunAzuz.h"

namespace azuz::test {

namespace {

QTableWidget* ObjectList(CMainFrame& frame) {
  return Control<QTableWidget>(frame.AttributePanel(), IDC_OBJECT_LIST);
}

QStringList Column(QTableWidget* list, int column) {
  QStringList cells;
  for (int row = 0; row < list->rowCount(); ++row) {
    cells << list->item(row, column)->text();
  }
  return cells;
}

void ClickRow(QTableWidget* list, int row) {
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                    list->visualItemRect(list->item(row, 1)).center());
}

QString Canonical(const std::string& path) {
  return QFileInfo(QFile::decodeName(QByteArray::fromStdString(path))).canonicalFilePath();
}

const char* const kPicture = "bmp/bmpsuite_g_pal8-0.bmp";  // 127 x 64

}  // namespace

class EditingEndToEndTest : public QObject {
  Q_OBJECT

 private slots:
  void ThePanelsAddButtonWithoutAChangeAsksForAPicture() {
    const QString picture = CorpusPicture(QString::fromLatin1(kPicture));
    if (picture.isEmpty()) {
      QSKIP("test corpus not present");
    }
    StartedDesigner designer;
    ModalHandler kind("azuz::CDlg_ObjectLayer", [](QWidget* modal) {
      QTest::mouseClick(Control<QPushButton>(modal, IDC_KIND_ACCEPT), Qt::LeftButton);
      return true;
    });
    QStringList filters;
    ModalHandler file("QFileDialog", [&](QWidget* modal) {
      auto* dialog = static_cast<QFileDialog*>(modal);
      filters = dialog->nameFilters();
      dialog->setDirectory(QFileInfo(picture).absolutePath());
      dialog->selectFile(QFileInfo(picture).fileName());
      QMetaObject::invokeMethod(dialog, "accept");
      return true;
    });
    QTest::mouseClick(Control<QPushButton>(designer.Frame().AttributePanel(), IDC_ADD_OBJECT),
                      Qt::LeftButton);
    QVERIFY(kind.Handled());
    QVERIFY(file.Handled());
    QCOMPARE(filters,
             (QStringList{QStringLiteral("Image File(*.bmp)"), QStringLiteral("Image File(*.jpg)"),
                          QStringLiteral("Image File(*.gif)")}));
    QCOMPARE(designer.Doc().ObjectCount(), std::size_t{1});
    const DrawObject& object = *designer.Doc().objects[0];
    QCOMPARE(object.kind, 0);
    QCOMPARE(Canonical(object.picturePath), QFileInfo(picture).canonicalFilePath());
    QCOMPARE(object.right, 127);
    QCOMPARE(object.bottom, 64);
    QCOMPARE(ObjectList(designer.Frame())->rowCount(), 1);
  }

  void ThePanelsEditButtonOpensTheSelectedObjectsDialog() {
    StartedDesigner designer;
    CORVELIXImageToolDoc& doc = designer.Doc();
    DrawObject* object = doc.FindOrCreateObject(-1);
    FontRecord font;
    font.escapement = 2700;
    object->SetText("Hello", font, 0x00FF0000, 2, 10);
    doc.InsertAtHead(object);
    RefreshDesign(doc);
    QPushButton* edit = Control<QPushButton>(designer.Frame().AttributePanel(), IDC_MODIFY_OBJECT);

    // Nothing selected: nothing opens.
    ModalHandler nothing("azuz::CDlg_Text", [](QWidget*) { return true; });
    QTest::mouseClick(edit, Qt::LeftButton);
    QTest::qWait(30);
    QVERIFY(!nothing.Handled());

    ClickRow(ObjectList(designer.Frame()), 0);
    QString textShown;
    QString rotationShown;
    ModalHandler text("azuz::CDlg_Text", [&](QWidget* modal) {
      textShown = Control<QLineEdit>(modal, IDC_TEXT)->text();
      rotationShown = Control<QComboBox>(modal, IDC_ROTATION)->currentText();
      Control<QLineEdit>(modal, IDC_TEXT)->setText(QStringLiteral("Goodbye"));
      QTest::mouseClick(Control<QPushButton>(modal, IDOK), Qt::LeftButton);
      return true;
    });
    QTest::mouseClick(edit, Qt::LeftButton);
    QVERIFY(text.Handled());
    QCOMPARE(textShown, QStringLiteral("Hello"));
    QCOMPARE(rotationShown, QStringLiteral("Right 90"));
    QCOMPARE(doc.objects[0]->text, std::string("Goodbye"));
    QCOMPARE(doc.objects[0]->textColour, Colour{0x00FF0000});
    QCOMPARE(doc.objects[0]->font.escapement, 2700);
    QCOMPARE(ObjectList(designer.Frame())->item(0, 1)->text(), QStringLiteral("Goodbye"));
  }

  void ADesignMadeInTheWindowSavesAndPrintsAsTheToolRendersIt() {
    const QString picture = CorpusPicture(QString::fromLatin1(kPicture));
    if (picture.isEmpty()) {
      QSKIP("test corpus not present");
    }
    StartedDesigner designer;
    CMainFrame& frame = designer.Frame();

    // A rectangle of width 3 with a red line; the fill left as it starts.
    QColor lineStartedFrom;
    {
      auto red = ChooseInColourDialog(QColor(255, 0, 0), &lineStartedFrom);
      ModalHandler figure("azuz::CDlg_figure", [](QWidget* modal) {
        Control<QComboBox>(modal, IDC_LINE_WIDTH)->setCurrentIndex(2);
        QTest::mouseClick(Control<QPushButton>(modal, IDC_LINE_COLOUR), Qt::LeftButton);
        QTest::mouseClick(Control<QPushButton>(modal, IDOK), Qt::LeftButton);
        return true;
      });
      QVERIFY(frame.OnCommand(ID_ADD_RECTANGLE));
      QVERIFY(figure.Handled());
      QVERIFY(red->Handled());
    }
    QCOMPARE(lineStartedFrom, QColor(0, 0, 0));

    ModalHandler text("azuz::CDlg_Text", [](QWidget* modal) {
      Control<QLineEdit>(modal, IDC_TEXT)->setText(QStringLiteral("Hello"));
      Control<QComboBox>(modal, IDC_ROTATION)->setCurrentText(QStringLiteral("Left 90"));
      QTest::mouseClick(Control<QPushButton>(modal, IDOK), Qt::LeftButton);
      return true;
    });
    QVERIFY(frame.OnCommand(ID_ADD_TEXT));
    QVERIFY(text.Handled());

    auto file = ChooseInFileDialog(picture);
    QVERIFY(frame.OnCommand(ID_ADD_BITMAP));
    QVERIFY(file->Handled());

    ModalHandler line("azuz::CDlg_figure", [](QWidget* modal) {
      QTest::mouseClick(Control<QPushButton>(modal, IDOK), Qt::LeftButton);
      return true;
    });
    QVERIFY(frame.OnCommand(ID_ADD_LINE));
    QVERIFY(line.Handled());

    // Front first: the newest object heads the list.
    QTableWidget* list = ObjectList(frame);
    QCOMPARE(Column(list, 2), (QStringList{QStringLiteral("Line"), QStringLiteral("Bitmap"),
                                           QStringLiteral("Text"), QStringLiteral("Rectangle")}));
    QCOMPARE(Column(list, 1).value(2), QStringLiteral("Hello"));

    // Modify on the rectangle opens the figure dialog with its values; Cancel keeps them.
    ClickRow(list, 3);
    QString widthShown;
    Colour lineShown = 0;
    Colour fillShown = 0;
    std::int32_t kindShown = -1;
    QRgb swatchShown = 0;
    ModalHandler modify("azuz::CDlg_figure", [&](QWidget* modal) {
      auto* dialog = static_cast<CDlg_figure*>(modal);
      widthShown = Control<QComboBox>(modal, IDC_LINE_WIDTH)->currentText();
      lineShown = dialog->lineColour;
      fillShown = dialog->fillColour;
      kindShown = dialog->kind;
      const QImage swatch = dialog->LineSwatch()->grab().toImage();
      swatchShown = swatch.pixel(swatch.width() / 2, swatch.height() / 2);
      QTest::mouseClick(Control<QPushButton>(modal, IDCANCEL), Qt::LeftButton);
      return true;
    });
    QVERIFY(frame.OnCommand(ID_MODIFY_OBJECT));
    QVERIFY(modify.Handled());
    QCOMPARE(widthShown, QStringLiteral("3"));
    QCOMPARE(lineShown, Colour{0x0000FF});
    QCOMPARE(fillShown, Colour{0xFFFFFF});
    QCOMPARE(kindShown, 3);
    QCOMPARE(swatchShown, qRgb(255, 0, 0));

    const QString saved = ScratchDir() + QStringLiteral("/made.bwi");
    auto saveAs = ChooseInFileDialog(saved);
    QVERIFY(frame.OnCommand(ID_FILE_SAVE_AS));
    QVERIFY(saveAs->Handled());

    CORVELIXImageToolDoc reread;
    QCOMPARE(LoadWatermarkFile(saved.toStdString(), reread), LoadResult::Loaded);
    QCOMPARE(reread.ObjectCount(), std::size_t{4});
    const DrawObject& newLine = *reread.objects[0];
    QCOMPARE(newLine.kind, 2);
    QCOMPARE(newLine.penWidth, 1);
    QCOMPARE(newLine.penColour, Colour{0x000000});
    QCOMPARE(newLine.fillColour, Colour{0xFFFFFF});
    QCOMPARE(std::vector<int>({newLine.left, newLine.top, newLine.right, newLine.bottom}),
             std::vector<int>({0, 0, 100, 100}));
    const DrawObject& bitmap = *reread.objects[1];
    QCOMPARE(bitmap.kind, 0);
    QCOMPARE(Canonical(bitmap.picturePath), QFileInfo(picture).canonicalFilePath());
    QCOMPARE(std::vector<int>({bitmap.left, bitmap.top, bitmap.right, bitmap.bottom}),
             std::vector<int>({0, 0, 127, 64}));
    const DrawObject& hello = *reread.objects[2];
    QCOMPARE(hello.kind, 1);
    QCOMPARE(hello.text, std::string("Hello"));
    QCOMPARE(hello.rotation, 1);
    QCOMPARE(hello.textColour, Colour{0});
    FontRecord turned;
    turned.escapement = 900;
    QVERIFY(hello.font == turned);
    // A new turned text: 50 wide, 5 characters of 10 points high.
    QCOMPARE(std::vector<int>({hello.left, hello.top, hello.right, hello.bottom}),
             std::vector<int>({0, 0, 150, 150}));
    const DrawObject& rectangle = *reread.objects[3];
    QCOMPARE(rectangle.kind, 3);
    QCOMPARE(rectangle.penWidth, 3);
    QCOMPARE(rectangle.penColour, Colour{0x0000FF});
    QCOMPARE(rectangle.fillColour, Colour{0xFFFFFF});

    // What the printer receives is what the tool renders from the saved file.
    PrinterEmulator emulator;
    emulator.outDir = ScratchDir().toStdString();
    QVERIFY(emulator.Listen("127.0.0.1", 0));
    std::mutex mutex;
    std::vector<EmulatorEvent> events;
    emulator.onEvent = [&](const EmulatorEvent& event) {
      const std::lock_guard lock(mutex);
      events.push_back(event);
    };
    std::thread printer([&] { emulator.Run(1); });
    ConnectionState& state = frame.Connection().state;
    state = ConnectionState{};
    state.portKind = kPortKindTcpIp;
    state.settings.portName = "127.0.0.1";
    state.settings.baudRate = emulator.Port();
    ModalHandler transfer("azuz::CDlg_Port", [](QWidget*) { return true; });
    QVERIFY(frame.OnCommand(ID_DOWNLOAD_WATERMARK));
    printer.join();

    const QString rendered = ScratchDir() + QStringLiteral("/made.image");
    const CommandResult tool =
        RunAzuz("render '" + saved.toStdString() + "' -o '" + rendered.toStdString() + "'");
    QCOMPARE(tool.status, 0);
    QFile image(rendered);
    QVERIFY(image.open(QIODevice::ReadOnly));
    const QByteArray bytes = image.readAll();
    const std::lock_guard lock(mutex);
    QCOMPARE(events.size(), std::size_t{1});
    QCOMPARE(events[0].kind, EmulatorEvent::kDownload);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(events[0].image.data()),
                        static_cast<qsizetype>(events[0].image.size())),
             bytes);
    // The design did print something: the rectangle's red outline at least.
    QVERIFY(std::any_of(bytes.begin() + 9, bytes.end(), [](char b) { return b != 0; }));
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::EditingEndToEndTest)
#include "EditingEndToEndTest.moc"
