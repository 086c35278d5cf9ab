#pragma once

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "CDlg_Attribute.h"
#include "CORVELIXImageToolDoc.h"
#include "ConnectionSetup.h"
#include "RecentFileList.h"

class QLabel;
class QMenu;

namespace azuz {

class CORVELIXImageToolView;
class LockKeyIndicators;

// The top-level window: menus, status bar, the design view as its client, the attribute panel
// beside it. Every command arrives at OnCommand by its id.
class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame(CORVELIXImageToolDoc& doc, RecentFileList& recentFiles);
  ~CMainFrame() override;

  // The frame's creation: size, menus, status bar, view, panel, and at its end the start-up
  // choice of model and connection from the command-line tail. False when a part failed.
  bool Create(const std::string& commandLineTail);

  CORVELIXImageToolDoc& GetDocument() { return doc_; }
  CORVELIXImageToolView* GetActiveView() const { return view_; }
  CDlg_Attribute* AttributePanel() const { return panel_; }
  bool PanelVisible() const { return panelVisible_; }

  // Runs the command with this id, as its menu item or accelerator would; false for an id the
  // frame does not handle (or one that is disabled).
  bool OnCommand(int id);
  QAction* Action(int id) const;

  // Shows the frame and puts the panel at its right edge, 70 pixels below its top.
  void ShowWindow();

  // Command 32782 and the panel's close box.
  void TogglePanel();

  // The framework's document opening (dropped files): the design is read by the same reader,
  // leaving its file path and title as they were.
  bool OpenDocumentFile(const std::string& path);

  // A design named by the shell or by --open: read as File > Open reads a chosen file, so the
  // title, the messages and a later Save are the same.
  bool OpenFromShell(const QString& path);

  // Shows the window unminimised, raised and active (a second start handed its file over).
  void BringToFront();

  // The connection state the printer commands use, with the start-up decision that made it.
  ConnectionSetup& Connection() { return connection_; }

  // Sends one block to the printer through the transfer window over the frame's connection;
  // true when the whole block went out.
  bool SendPrinterData(const std::uint8_t* data, std::uint32_t length, const std::string& caption,
                       bool readReply);

  // How the exit command ends the process (replaced by tests).
  std::function<void(int exitCode)> endProcess;

  // The status bar's message pane and lock indicators (for tests).
  QLabel* MessagePane() const { return messagePane_; }
  LockKeyIndicators* Indicators() const { return indicators_.get(); }

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  CORVELIXImageToolDoc& doc_;
  RecentFileList& recentFiles_;
  ConnectionSetup connection_;
  CORVELIXImageToolView* view_ = nullptr;
  QPointer<CDlg_Attribute> panel_;
  bool panelVisible_ = false;
  enum class PanelPlacement { AtCreation, Shown, Settled };
  PanelPlacement panelPlacement_ = PanelPlacement::AtCreation;
  QLabel* messagePane_ = nullptr;
  std::unique_ptr<LockKeyIndicators> indicators_;
  QMenu* fileMenu_ = nullptr;
  QAction* recentSeparator_ = nullptr;
  std::map<int, QAction*> actions_;

  // CMainFrame_Menus.cpp
  void CreateMenus();
  QAction* AddCommand(QMenu* menu, int id, const QString& text, const QString& help,
                      const QKeySequence& shortcut = {});
  void UpdateRecentFileMenu();
  // Undo and Redo name the step they would take and are enabled only when there is one.
  void UpdateUndoCommands();
  bool CreateStatusBar();

  // CMainFrame_File.cpp
  void OnFileCommand(int id);
  void OnAppExit();
  void OnOpenRecentFile(int slot);
  void OnWindowTitle(const std::string& title);

  // CMainFrame_Edit.cpp
  bool OnEditCommand(int id);
  void OnPaperSize();

  // CMainFrame_Printer.cpp
  bool OnPrinterCommand(int id);
  void OnCommSettings();

  // CMainFrame_Keys.cpp: arrow keys nudge the selection, Delete deletes at the panel's index;
  // every key then goes on to its widget.
  void PreTranslateKey(QObject* watched, QEvent* event);
  void OnPrintCommand(int id);

  void OnAppAbout();
};

}  // namespace azuz
