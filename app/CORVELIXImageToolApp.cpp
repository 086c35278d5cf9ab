#include "CORVELIXImageToolApp.h"

#include <QApplication>
#include <QCoreApplication>

#include "AppIcon.h"
#include "CMainFrame.h"
#include "CORVELIXImageToolView.h"
#include "DocumentCommands.h"
#include "ParkedQueueTable.h"
#include "QtDialogRunners.h"
#include "QtPrompts.h"

namespace azuz {

CORVELIXImageToolApp::CORVELIXImageToolApp(std::string commandLineTail, QString openPath)
    : commandLineTail_(std::move(commandLineTail)), openPath_(std::move(openPath)) {}

// The frame goes first: its windows hold hooks into the document.
CORVELIXImageToolApp::~CORVELIXImageToolApp() {
  frame_.reset();
}

void CORVELIXImageToolApp::SetSettingsKey() {
  QCoreApplication::setOrganizationName(QStringLiteral("Local AppWizard-Generated Applications"));
  QCoreApplication::setApplicationName(QStringLiteral("Vurodadud Azuz"));
}

bool CORVELIXImageToolApp::InitInstance() {
  leftoverQueues_ = std::jthread([] { RestoreLeftoverParkedQueues(); });
  SetSettingsKey();
  recentFiles_.Load();
  InstallQtPrompts();
  InstallQtDialogRunners();

  // Document first, then the frame with its view and panel, which ends with the start-up
  // connection; only then the new design, whose page width follows the chosen model.
  doc_ = std::make_unique<CORVELIXImageToolDoc>();
  frame_ = std::make_unique<CMainFrame>(*doc_, recentFiles_);
  if (!frame_->Create(commandLineTail_)) {
    return false;
  }
  CORVELIXImageToolView* view = frame_->GetActiveView();
  view->SetDocument(doc_.get());
  if (!doc_->OnNewDocument()) {
    return false;
  }
  view->OnInitialUpdate();

  frame_->ShowWindow();
  frame_->setWindowTitle(QString::fromStdString(WindowTitleFor(doc_->fileTitle)));
  QApplication::setWindowIcon(AppIcon());
  frame_->setWindowIcon(AppIcon());
  // A file that cannot be read leaves the new design and its message, as File > Open would.
  if (!openPath_.isEmpty()) {
    frame_->OpenFromShell(openPath_);
  }
  return true;
}

}  // namespace azuz
