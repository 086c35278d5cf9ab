#pragma once

#include <QString>
#include <memory>
#include <string>
#include <thread>

#include "CORVELIXImageToolDoc.h"
#include "RecentFileList.h"

namespace azuz {

class CMainFrame;

// The designer's start-up: settings and recent files, then the document, the frame with its
// view and panel, the start-up connection, the new design, and the window shown.
class CORVELIXImageToolApp {
 public:
  // `commandLineTail`: the arguments after the program's name (and Qt's own), joined by blanks.
  // `openPath`: a design to open once the window is up (empty: none).
  explicit CORVELIXImageToolApp(std::string commandLineTail, QString openPath = {});
  ~CORVELIXImageToolApp();

  // False when the frame could not be made; the program then ends.
  bool InitInstance();

  CORVELIXImageToolDoc& Document() { return *doc_; }
  CMainFrame* MainFrame() const { return frame_.get(); }
  RecentFileList& RecentFiles() { return recentFiles_; }
  const std::string& CommandLineTail() const { return commandLineTail_; }

  // Sets the organisation and application names under which settings are kept.
  static void SetSettingsKey();

 private:
  std::string commandLineTail_;
  QString openPath_;
  RecentFileList recentFiles_;
  std::unique_ptr<CORVELIXImageToolDoc> doc_;
  std::unique_ptr<CMainFrame> frame_;
  // Gives back queues a killed run left parked; off the UI thread, as the spooler may be slow.
  std::jthread leftoverQueues_;
};

}  // namespace azuz
