#include "CMainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QUrl>
#include <cstdio>
#include <cstdlib>

#include "CAboutDlg.h"
#include "CDlg_Attribute.h"
#include "CORVELIXImageToolView.h"
#include "CommandIds.h"
#include "ControlIds.h"
#include "LockKeyIndicators.h"

namespace azuz {

namespace {

constexpr int kInitialWidth = 800;
constexpr int kInitialHeight = 450;

}  // namespace

CMainFrame::CMainFrame(CORVELIXImageToolDoc& doc, RecentFileList& recentFiles)
    : doc_(doc), recentFiles_(recentFiles) {
  endProcess = [](int exitCode) {
    // Ends at once, as the exit command always did; files were synced when they were saved.
    std::fflush(nullptr);
    std::_Exit(exitCode);
  };
}

CMainFrame::~CMainFrame() {
  qApp->removeEventFilter(this);
  // The document outlives its windows; it must not call into them any more.
  doc_.RefreshObjectList = nullptr;
  doc_.SetSelectedIndex = nullptr;
  doc_.SetWindowTitle = nullptr;
  doc_.ShowFadePattern = nullptr;
  doc_.history.Changed = nullptr;
  if (view_ != nullptr) {
    view_->SetDocument(nullptr);
  }
}

bool CMainFrame::Create(const std::string& commandLineTail) {
  resize(kInitialWidth, kInitialHeight);
  setAcceptDrops(true);

  view_ = new CORVELIXImageToolView(this);
  setCentralWidget(view_);
  CreateMenus();
  if (!CreateStatusBar()) {
    return false;
  }

  panel_ = new CDlg_Attribute(doc_, this, [this] { TogglePanel(); });
  doc_.RefreshObjectList = [this] {
    if (panel_ != nullptr) {
      panel_->RefreshObjectList();
    }
  };
  doc_.SetSelectedIndex = [this](int index) {
    if (panel_ != nullptr) {
      panel_->SetSelectedIndex(index);
    }
  };
  doc_.SetWindowTitle = [this](const std::string& title) { OnWindowTitle(title); };
  doc_.ShowFadePattern = [this] {
    if (panel_ != nullptr) {
      panel_->ShowFadePattern();
    }
  };
  doc_.history.Changed = [this] { UpdateUndoCommands(); };
  UpdateUndoCommands();
  panelVisible_ = true;
  // Undo and redo reach the design from the panel's window as well.
  panel_->addActions({Action(ID_EDIT_UNDO), Action(ID_EDIT_REDO)});
  panel_->PlaceBesideOwner();
  panel_->show();
  Action(ID_VIEW_ATTRIBUTE)->setChecked(true);

  // Lock keys can change while any of our windows has the focus; editing keys are seen before
  // the frame's widgets get them.
  qApp->installEventFilter(this);

  connection_.SelectStartupConnection(commandLineTail);
  return true;
}

bool CMainFrame::CreateStatusBar() {
  auto* bar = new QStatusBar(this);
  bar->setObjectName(ControlName(AFX_IDW_STATUS_BAR));
  messagePane_ = new QLabel(QStringLiteral("Ready"), bar);
  messagePane_->setObjectName(QStringLiteral("messagePane"));
  bar->addWidget(messagePane_, 1);
  indicators_ = std::make_unique<LockKeyIndicators>();
  indicators_->AddTo(*bar);
  setStatusBar(bar);
  return statusBar() == bar;
}

QAction* CMainFrame::Action(int id) const {
  const auto it = actions_.find(id);
  return it == actions_.end() ? nullptr : it->second;
}

bool CMainFrame::OnCommand(int id) {
  QAction* action = Action(id);
  if (action == nullptr || !action->isEnabled()) {
    return false;
  }
  switch (id) {
    case ID_FILE_NEW:
    case ID_FILE_OPEN:
    case ID_FILE_SAVE:
    case ID_FILE_SAVE_AS:
      OnFileCommand(id);
      return true;
    case ID_APP_EXIT:
      OnAppExit();
      return true;
    case ID_APP_ABOUT:
      OnAppAbout();
      return true;
    case ID_VIEW_ATTRIBUTE:
      TogglePanel();
      return true;
    case ID_VIEW_PRINTED_DOTS:
      view_->SetPrintedDots(!view_->PrintedDots());
      action->setChecked(view_->PrintedDots());
      return true;
    case ID_FILE_PRINT_SETUP:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_DIRECT:
    case ID_FILE_PRINT_PREVIEW:
      OnPrintCommand(id);
      return true;
    default:
      break;
  }
  if (id >= ID_FILE_MRU_FILE1 && id < ID_FILE_MRU_FILE1 + recentFiles_.Size()) {
    OnOpenRecentFile(id - ID_FILE_MRU_FILE1);
    return true;
  }
  return OnEditCommand(id) || OnPrinterCommand(id);
}

void CMainFrame::TogglePanel() {
  panelVisible_ = !panelVisible_;
  if (panel_ != nullptr) {
    panel_->setVisible(panelVisible_);
  }
  Action(ID_VIEW_ATTRIBUTE)->setChecked(panelVisible_);
}

void CMainFrame::OnAppAbout() {
  CAboutDlg about(this);
  about.exec();
}

void CMainFrame::ShowWindow() {
  show();
  if (panel_ != nullptr) {
    // Mapped before its owner, the panel is stacked as a window of its own, under the frame that
    // a window manager maps after it; mapped again now, it is kept above its owner.
    if (panel_->isVisible()) {
      panel_->hide();
      panel_->show();
    }
    // Only a shown window knows where it is, decoration included.
    panel_->PlaceBesideOwner();
  }
  panelPlacement_ = PanelPlacement::Shown;
}

void CMainFrame::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  // A window manager may place a new window only after it was shown; the panel follows that
  // once, so that it starts beside the frame where the frame really is. Later moves leave it.
  if (panelPlacement_ == PanelPlacement::Shown && panel_ != nullptr) {
    panelPlacement_ = PanelPlacement::Settled;
    panel_->PlaceBesideOwner();
  }
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // The close box asks nothing: the document never counts as modified.
  event->accept();
  if (panel_ != nullptr) {
    panel_->hide();
  }
  QCoreApplication::quit();
}

bool CMainFrame::eventFilter(QObject* watched, QEvent* event) {
  bool lockChanged = event->type() == QEvent::ApplicationStateChange;
  if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
    PreTranslateKey(watched, event);
  }
  if (event->type() == QEvent::KeyRelease) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    lockChanged = key == Qt::Key_CapsLock || key == Qt::Key_NumLock || key == Qt::Key_ScrollLock;
  }
  if (lockChanged) {
    indicators_->Refresh();
  }
  return QMainWindow::eventFilter(watched, event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    event->acceptProposedAction();
  }
}

void CMainFrame::dropEvent(QDropEvent* event) {
  // Only the first file counts: there is one document.
  for (const QUrl& url : event->mimeData()->urls()) {
    if (url.isLocalFile()) {
      event->acceptProposedAction();
      OpenDocumentFile(QFile::encodeName(url.toLocalFile()).toStdString());
      return;
    }
  }
}

}  // namespace azuz
