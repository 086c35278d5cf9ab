#include <QFile>
#include <QFileInfo>

#include "CMainFrame.h"
#include "CommandIds.h"
#include "DocumentCommands.h"
#include "EditingOperations.h"
#include "UserPrompts.h"
#include "WatermarkFile.h"

namespace azuz {

namespace {

constexpr const char* kDamagedFileMessage = "The file is damaged or not a watermark file: ";

}  // namespace

void CMainFrame::OnFileCommand(int id) {
  switch (id) {
    case ID_FILE_NEW:
      OnFileNew(doc_);
      break;
    case ID_FILE_OPEN:
      OnFileOpen(doc_);
      break;
    case ID_FILE_SAVE:
      OnFileSave(doc_);
      break;
    case ID_FILE_SAVE_AS:
      OnFileSaveAs(doc_);
      break;
    default:
      break;
  }
}

void CMainFrame::OnAppExit() {
  AskToSaveBeforeExit(doc_);
  endProcess(0);
}

void CMainFrame::OnWindowTitle(const std::string& title) {
  setWindowTitle(QString::fromLocal8Bit(title));
  // The title names a file only after it was read or written whole: that makes it recent.
  if (doc_.filePath != "NONE") {
    recentFiles_.Add(QFile::decodeName(QByteArray::fromStdString(doc_.filePath)));
    UpdateRecentFileMenu();
  }
}

void CMainFrame::OnOpenRecentFile(int slot) {
  if (slot >= recentFiles_.Files().size()) {
    return;
  }
  // A recent file opens as if chosen in the open dialog, so a later Save writes back to it.
  const QString path = recentFiles_.Files()[slot];
  if (!OpenFromShell(path) && !QFileInfo::exists(path)) {
    recentFiles_.Remove(path);
    UpdateRecentFileMenu();
  }
}

bool CMainFrame::OpenFromShell(const QString& path) {
  doc_.filePath = QFile::encodeName(path).toStdString();
  doc_.fileTitle = QFile::encodeName(QFileInfo(path).fileName()).toStdString();
  return LoadFromFile(doc_, doc_.filePath);
}

void CMainFrame::BringToFront() {
  setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
  show();
  raise();
  activateWindow();
}

bool CMainFrame::OpenDocumentFile(const std::string& path) {
  std::string why;
  switch (LoadWatermarkFile(path, doc_, &why)) {
    case LoadResult::Loaded:
      recentFiles_.Add(QFile::decodeName(QByteArray::fromStdString(path)));
      UpdateRecentFileMenu();
      return true;
    case LoadResult::CannotOpen:
      Prompts().Message(kFileAccessMessage, why);
      return false;
    case LoadResult::FormatError:
      // What was read before the damage stays on screen, as with the open command.
      RefreshDesign(doc_);
      Prompts().Message(
          kDamagedFileMessage + QFileInfo(QFile::decodeName(path.c_str())).fileName().toStdString(),
          why);
      return false;
  }
  return false;
}

}  // namespace azuz
