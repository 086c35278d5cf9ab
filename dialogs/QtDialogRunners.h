#pragma once

namespace azuz {

// Installs the property dialogs (figure, text, object kind) as the editing operations' runners,
// each modal to the window that is active when it opens. A new object's dialog starts from the
// dialog's own defaults; an existing one's from the object's values.
void InstallQtDialogRunners();

}  // namespace azuz
