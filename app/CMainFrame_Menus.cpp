#include <QAction>
#include <QDir>
#include <QMenu>
#include <QMenuBar>

#include "CMainFrame.h"
#include "CommandIds.h"
#include "ControlIds.h"

namespace azuz {

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const QString& text, const QString& help,
                                const QKeySequence& shortcut) {
  auto* action = new QAction(text, this);
  action->setData(id);
  action->setObjectName(ControlName(id));
  action->setStatusTip(help);
  if (!shortcut.isEmpty()) {
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
  }
  connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  menu->addAction(action);
  actions_[id] = action;
  return action;
}

void CMainFrame::CreateMenus() {
  QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
  fileMenu_ = file;
  AddCommand(file, ID_FILE_NEW, QStringLiteral("&New"), QStringLiteral("Start a new design"),
             QKeySequence(Qt::CTRL | Qt::Key_N));
  AddCommand(file, ID_FILE_OPEN, QStringLiteral("&Open..."),
             QStringLiteral("Open a watermark file"), QKeySequence(Qt::CTRL | Qt::Key_O));
  AddCommand(file, ID_FILE_SAVE, QStringLiteral("&Save"),
             QStringLiteral("Save the design to its file"), QKeySequence(Qt::CTRL | Qt::Key_S));
  AddCommand(file, ID_FILE_SAVE_AS, QStringLiteral("Save &As..."),
             QStringLiteral("Save the design to a new file"));
  file->addSeparator();
  AddCommand(file, ID_FILE_PRINT, QStringLiteral("&Print..."),
             QStringLiteral("Print the design view"), QKeySequence(Qt::CTRL | Qt::Key_P));
  AddCommand(file, ID_FILE_PRINT_DIRECT, QStringLiteral("Print &Direct"),
             QStringLiteral("Print the design view on the current printer"));
  AddCommand(file, ID_FILE_PRINT_PREVIEW, QStringLiteral("Print Pre&view"),
             QStringLiteral("Show the printed page"));
  AddCommand(file, ID_FILE_PRINT_SETUP, QStringLiteral("P&rint Setup..."),
             QStringLiteral("Choose the printer and its options"));
  recentSeparator_ = file->addSeparator();
  for (int slot = 0; slot < recentFiles_.Size(); ++slot) {
    AddCommand(file, ID_FILE_MRU_FILE1 + slot, QString(), QStringLiteral("Open this design"));
  }
  file->addSeparator();
  AddCommand(file, ID_APP_EXIT, QStringLiteral("E&xit"), QStringLiteral("Quit the designer"));
  UpdateRecentFileMenu();

  QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
  AddCommand(edit, ID_EDIT_UNDO, QStringLiteral("&Undo"),
             QStringLiteral("Take back the last change"), QKeySequence(Qt::CTRL | Qt::Key_Z));
  AddCommand(edit, ID_EDIT_REDO, QStringLiteral("&Redo"),
             QStringLiteral("Make the change taken back again"))
      ->setShortcuts(
          {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
  edit->addSeparator();
  for (const auto& [id, text] :
       {std::pair{ID_ADD_BITMAP, "Add &Bitmap..."}, std::pair{ID_ADD_TEXT, "Add &Text..."},
        std::pair{ID_ADD_LINE, "Add &Line..."}, std::pair{ID_ADD_RECTANGLE, "Add &Rectangle..."},
        std::pair{ID_ADD_ELLIPSE, "Add &Ellipse..."}}) {
    AddCommand(edit, id, QString::fromLatin1(text), QStringLiteral("Add an object"));
  }
  edit->addSeparator();
  AddCommand(edit, ID_MODIFY_OBJECT, QStringLiteral("&Modify..."),
             QStringLiteral("Change the selected object"));
  // The key filter runs Delete before dispatch (CMainFrame_Keys.cpp); the menu only shows it.
  AddCommand(edit, ID_DELETE_OBJECT, QStringLiteral("&Delete\tDel"),
             QStringLiteral("Delete the selected object"));
  AddCommand(edit, ID_DELETE_ALL, QStringLiteral("Delete &All"),
             QStringLiteral("Delete every object"));
  edit->addSeparator();
  AddCommand(edit, ID_MOVE_FORWARD, QStringLiteral("Bring &Forward"),
             QStringLiteral("Move the selected object one place to the front"));
  AddCommand(edit, ID_MOVE_BACKWARD, QStringLiteral("Send Bac&kward"),
             QStringLiteral("Move the selected object one place to the back"));
  edit->addSeparator();
  AddCommand(edit, ID_PAPER_SIZE, QStringLiteral("&Paper Size..."),
             QStringLiteral("Change the page size"));

  QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
  AddCommand(view, ID_VIEW_ATTRIBUTE, QStringLiteral("&Attribute Panel"),
             QStringLiteral("Show or hide the object list"))
      ->setCheckable(true);
  AddCommand(view, ID_VIEW_PRINTED_DOTS, QStringLiteral("&Printed Dots"),
             QStringLiteral("Show the page as the printer will print it, black on white"))
      ->setCheckable(true);

  QMenu* printer = menuBar()->addMenu(QStringLiteral("&Printer"));
  AddCommand(printer, ID_COMM_SETTINGS, QStringLiteral("&Communication Settings..."),
             QStringLiteral("Choose how the printer is reached"));
  printer->addSeparator();
  AddCommand(printer, ID_DOWNLOAD_WATERMARK, QStringLiteral("&Download Watermark"),
             QStringLiteral("Send the watermark image to the printer"));
  AddCommand(printer, ID_TEST_PRINT, QStringLiteral("&Test Print"),
             QStringLiteral("Print a test page with the watermark"));
  printer->addSeparator();
  AddCommand(printer, ID_WATERMARK_ON, QStringLiteral("Watermark &On"),
             QStringLiteral("Switch the watermark on"));
  AddCommand(printer, ID_WATERMARK_OFF, QStringLiteral("Watermark O&ff"),
             QStringLiteral("Switch the watermark off"));
  printer->addSeparator();
  AddCommand(printer, ID_PERMANENT_ON, QStringLiteral("&Permanent Watermark On"),
             QStringLiteral("Keep the watermark on after the printer restarts"));
  AddCommand(printer, ID_PERMANENT_OFF, QStringLiteral("Permanent Watermark Of&f"),
             QStringLiteral("Stop keeping the watermark on after a restart"));

  QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
  AddCommand(help, ID_APP_ABOUT, QStringLiteral("&About Vurodadud Azuz..."),
             QStringLiteral("Show the program's version"));
}

void CMainFrame::UpdateUndoCommands() {
  const DesignHistory& history = doc_.history;
  const auto caption = [](const char* verb, const std::string& step) {
    return step.empty()
               ? QString::fromLatin1(verb)
               : QStringLiteral("%1 %2").arg(QLatin1String(verb), QString::fromLocal8Bit(step));
  };
  QAction* undo = Action(ID_EDIT_UNDO);
  undo->setText(caption("&Undo", history.UndoName()));
  undo->setEnabled(history.CanUndo());
  QAction* redo = Action(ID_EDIT_REDO);
  redo->setText(caption("&Redo", history.RedoName()));
  redo->setEnabled(history.CanRedo());
}

void CMainFrame::UpdateRecentFileMenu() {
  const QStringList& files = recentFiles_.Files();
  for (int slot = 0; slot < recentFiles_.Size(); ++slot) {
    QAction* action = Action(ID_FILE_MRU_FILE1 + slot);
    const bool used = slot < files.size();
    action->setVisible(used);
    if (used) {
      action->setText(QStringLiteral("&%1 %2").arg(slot + 1).arg(
          QDir::toNativeSeparators(files[slot]).replace(QLatin1Char('&'), QLatin1String("&&"))));
    }
  }
  recentSeparator_->setVisible(!files.isEmpty());
}

}  // namespace azuz
