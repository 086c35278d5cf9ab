#include <QApplication>
#include <QKeyEvent>
#include <QWindow>

#include "CMainFrame.h"
#include "CORVELIXImageToolView.h"
#include "CommandIds.h"

namespace azuz {

namespace {

bool IsArrow(int key) {
  return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

void CMainFrame::PreTranslateKey(QObject* watched, QEvent* event) {
  // A key reaches the application's filter once for its window and again for every widget it
  // is offered to on its way up; only the window's delivery, before any widget sees the key,
  // counts. Keys of the panel, of dialogs and of menus arrive at their own windows.
  if (!watched->isWindowType() || static_cast<QWindow*>(watched) != windowHandle()) {
    return;
  }
  // A control of the frame that takes keys itself (the menu bar in keyboard mode) keeps them.
  const QWidget* focus = focusWidget();
  if (focus != nullptr && focus != this && focus != view_) {
    return;
  }
  const auto* key = static_cast<QKeyEvent*>(event);
  if (event->type() == QEvent::KeyPress) {
    // Auto-repeated presses nudge once each, like the first.
    if (IsArrow(key->key()) && view_ != nullptr) {
      view_->NudgeSelection(key->key());
    } else if (key->key() == Qt::Key_Delete) {
      OnCommand(ID_DELETE_OBJECT);
    }
  } else if (IsArrow(key->key()) && !key->isAutoRepeat() && view_ != nullptr) {
    // X11 sends a release before every repeated press; only the key's real release repaints,
    // and ends the run of nudges as one step.
    view_->EndNudge();
    view_->RedrawAll();
  }
}

}  // namespace azuz
