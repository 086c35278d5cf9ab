#include <QFile>
#include <QFileInfo>
#include <QMessageBox>
#include <QMimeData>
#include <QTableWidget>
#include <QUrl>
#include <filesystem>

#include "CommandIds.h"
#include "GuiTestSupport.h"
#include "WatermarkFile.h"

namespace azuz::test {

namespace {

QTableWidget* ObjectList(CMainFrame& frame) {
  return Control<QTableWidget>(frame.AttributePanel(), IDC_OBJECT_LIST);
}

// A design of a few objects written by the core's own writer.
QString WriteDesign(const QString& name, int objects) {
  CORVELIXImageToolDoc doc;
  for (int n = 0; n < objects; ++n) {
    DrawObject* object = doc.FindOrCreateObject(-1);
    object->kind = static_cast<std::int32_t>(ObjectKind::Rectangle);
    object->left = 10 * n;
    object->penColour = 0;
    doc.AppendAtTail(object);
  }
  const QString path = ScratchDir() + QLatin1Char('/') + name;
  if (!SaveWatermarkFile(path.toStdString(), doc)) {
    qFatal("cannot write the test design");
  }
  return path;
}

}  // namespace

class DocumentCommandsGuiTest : public QObject {
  Q_OBJECT

 private slots:
  void OpenFillsTheListAndTheTitle() {
    const QString corpus = CorpusDesign(QStringLiteral("overlap_fade50.bwi"));
    if (corpus.isEmpty()) {
      QSKIP("test corpus not present");
    }
    // Open asks for write access, which the corpus need not give this user: open a copy.
    const QString design = ScratchDir() + QStringLiteral("/overlap_fade50.bwi");
    QVERIFY(QFile::copy(corpus, design));
    QVERIFY(QFile::setPermissions(design, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    StartedDesigner designer;
    auto dialog = ChooseInFileDialog(design);
    QVERIFY(designer.Frame().OnCommand(ID_FILE_OPEN));
    QVERIFY(dialog->Handled());
    QCOMPARE(designer.Frame().windowTitle(),
             QStringLiteral("Vurodadud Azuz - [overlap_fade50.bwi]"));
    QCOMPARE(ObjectList(designer.Frame())->rowCount(), 2);
    QCOMPARE(ObjectList(designer.Frame())->item(0, 0)->text(), QStringLiteral("1"));
    QCOMPARE(ObjectList(designer.Frame())->item(1, 2)->text(), QStringLiteral("Rectangle"));
    QCOMPARE(designer.App().RecentFiles().Files().value(0), QFileInfo(design).absoluteFilePath());
  }

  void SaveAsThenSaveWritesWithoutADialog() {
    StartedDesigner designer;
    const QString path = ScratchDir() + QStringLiteral("/logo.bwi");
    auto dialog = ChooseInFileDialog(path);
    QVERIFY(designer.Frame().OnCommand(ID_FILE_SAVE_AS));
    QVERIFY(dialog->Handled());
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [logo.bwi]"));
    QVERIFY(QFileInfo::exists(path));

    // Save writes to the same file, and no dialog appears.
    designer.Doc().designName = "Changed";
    QFile::remove(path);
    auto noDialog = ChooseInFileDialog(ScratchDir() + QStringLiteral("/elsewhere.bwi"));
    QVERIFY(designer.Frame().OnCommand(ID_FILE_SAVE));
    QTest::qWait(30);
    QVERIFY(!noDialog->Handled());
    CORVELIXImageToolDoc reread;
    QCOMPARE(LoadWatermarkFile(path.toStdString(), reread), LoadResult::Loaded);
    QCOMPARE(reread.designName, std::string("Changed"));
  }

  void SaveOfANewDesignAsksForAFile() {
    StartedDesigner designer;
    auto cancel = std::make_unique<ModalHandler>("QFileDialog", [](QWidget* w) {
      static_cast<QDialog*>(w)->reject();
      return true;
    });
    QVERIFY(designer.Frame().OnCommand(ID_FILE_SAVE));
    QVERIFY(cancel->Handled());
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [New]"));
  }

  void NewAfterOpenEmptiesTheDesignAndExitThenAsksNothing() {
    const QString path = WriteDesign(QStringLiteral("three.bwi"), 3);
    StartedDesigner designer;
    auto dialog = ChooseInFileDialog(path);
    designer.Frame().OnCommand(ID_FILE_OPEN);
    QCOMPARE(ObjectList(designer.Frame())->rowCount(), 3);

    QVERIFY(designer.Frame().OnCommand(ID_FILE_NEW));
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [New]"));
    QCOMPARE(designer.Doc().objects.size(), std::size_t{0});
    QCOMPARE(ObjectList(designer.Frame())->rowCount(), 0);

    auto question = AnswerMessageBox(QMessageBox::Yes);
    QVERIFY(designer.Frame().OnCommand(ID_APP_EXIT));
    QTest::qWait(30);
    QVERIFY(!question->Handled());
    QCOMPARE(designer.exitCalls, 1);
    QCOMPARE(designer.exitCode, 0);
  }

  void ExitAsksToSaveADesignThatHasAFile() {
    const QString path = WriteDesign(QStringLiteral("exit.bwi"), 1);
    StartedDesigner designer;
    auto dialog = ChooseInFileDialog(path);
    designer.Frame().OnCommand(ID_FILE_OPEN);
    designer.Doc().designName = "Edited before exit";

    auto no = AnswerMessageBox(QMessageBox::No);
    designer.Frame().OnCommand(ID_APP_EXIT);
    QVERIFY(no->Handled());
    QCOMPARE(no->Seen(), QStringLiteral("Do you want to save?"));
    QCOMPARE(designer.exitCalls, 1);
    CORVELIXImageToolDoc unchanged;
    LoadWatermarkFile(path.toStdString(), unchanged);
    QVERIFY(unchanged.designName != "Edited before exit");

    auto yes = AnswerMessageBox(QMessageBox::Yes);
    designer.Frame().OnCommand(ID_APP_EXIT);
    QVERIFY(yes->Handled());
    QCOMPARE(designer.exitCalls, 2);
    CORVELIXImageToolDoc saved;
    LoadWatermarkFile(path.toStdString(), saved);
    QCOMPARE(saved.designName, std::string("Edited before exit"));
  }

  void AReadOnlyFileShowsTheMessageAndKeepsTheTitle() {
    const QString path = WriteDesign(QStringLiteral("readonly.bwi"), 2);
    const Unwritable readOnly(path);
    if (!readOnly.Holds()) {
      QSKIP("this file system cannot make a file unwritable for this user");
    }
    StartedDesigner designer;
    designer.Doc().objects.clear();
    auto dialog = ChooseInFileDialog(path);
    auto message = AnswerMessageBox(QMessageBox::Ok);
    designer.Frame().OnCommand(ID_FILE_OPEN);
    QVERIFY(message->Handled());
    QCOMPARE(message->Seen(),
             QStringLiteral("Verify that the file exist and that you can't access it!"));
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [New]"));
    QCOMPARE(designer.Doc().objects.size(), std::size_t{0});
    // The design now names that file, so Save tries it and fails the same way.
    auto again = AnswerMessageBox(QMessageBox::Ok);
    designer.Frame().OnCommand(ID_FILE_SAVE);
    QVERIFY(again->Handled());
    QCOMPARE(again->Seen(),
             QStringLiteral("Verify that the file exist and that you can't access it!"));
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [New]"));
  }

  void ADroppedFileIsReadButPathAndTitleStay() {
    const QString path = WriteDesign(QStringLiteral("dropped.bwi"), 2);
    StartedDesigner designer;
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    // As the window system delivers a drop: the drag enters, then the files are let go.
    QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&designer.Frame(), &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&designer.Frame(), &drop);
    QVERIFY(drop.isAccepted());
    QCOMPARE(designer.Doc().objects.size(), std::size_t{2});
    QCOMPARE(ObjectList(designer.Frame())->rowCount(), 2);
    QCOMPARE(designer.Doc().filePath, std::string("NONE"));
    QCOMPARE(designer.Doc().fileTitle, std::string("New"));
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [New]"));
  }

  void ADamagedDroppedFileIsReportedAndKeepsWhatWasRead() {
    const QString path = WriteDesign(QStringLiteral("damaged.bwi"), 3);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite));
    file.resize(file.size() - 30);
    file.close();
    StartedDesigner designer;
    auto message = AnswerMessageBox(QMessageBox::Ok);
    QVERIFY(!designer.Frame().OpenDocumentFile(path.toStdString()));
    QVERIFY(message->Handled());
    QVERIFY(message->Seen().endsWith(QStringLiteral("damaged.bwi")));
    QCOMPARE(ObjectList(designer.Frame())->rowCount(),
             static_cast<int>(designer.Doc().objects.size()));
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [New]"));
  }

  void RecentFilesKeepTheLastFourAndOpenLikeOpen() {
    StartedDesigner designer;
    QStringList paths;
    for (int n = 0; n < 5; ++n) {
      paths << WriteDesign(QStringLiteral("recent%1.bwi").arg(n), n + 1);
      auto dialog = ChooseInFileDialog(paths.last());
      designer.Frame().OnCommand(ID_FILE_OPEN);
    }
    const QStringList recent = designer.App().RecentFiles().Files();
    QCOMPARE(recent.size(), 4);
    QCOMPARE(recent.first(), QFileInfo(paths[4]).absoluteFilePath());
    QCOMPARE(recent.last(), QFileInfo(paths[1]).absoluteFilePath());
    QVERIFY(designer.Frame().Action(ID_FILE_MRU_FILE1 + 3)->isVisible());
    QVERIFY(
        designer.Frame().Action(ID_FILE_MRU_FILE1)->text().endsWith(QStringLiteral("recent4.bwi")));

    // The fourth entry (recent1.bwi, 2 objects) opens as if chosen: Save writes back to it.
    QVERIFY(designer.Frame().OnCommand(ID_FILE_MRU_FILE1 + 3));
    QCOMPARE(designer.Doc().objects.size(), std::size_t{2});
    QCOMPARE(designer.Frame().windowTitle(), QStringLiteral("Vurodadud Azuz - [recent1.bwi]"));
    QCOMPARE(QString::fromStdString(designer.Doc().filePath), paths[1]);

    // A later start reads the same list back.
    RecentFileList reloaded;
    reloaded.Load();
    QCOMPARE(reloaded.Files().first(), QFileInfo(paths[1]).absoluteFilePath());
  }
};

}  // namespace azuz::test

AZUZ_GUI_TEST_MAIN(azuz::test::DocumentCommandsGuiTest)
#include "DocumentCommandsGuiTest.moc"
