#pragma once

#include <functional>
#include <string>

namespace azuz {

// How the core reaches the user. The designer installs message boxes and file dialogs, the CLI
// prints to stderr, tests script the answers. Texts are the system's own, passed verbatim.
struct UserPrompts {
  // A message box with only an OK button; `detail` says why, when known (may be empty).
  std::function<void(const std::string& text, const std::string& detail)> ShowMessage;
  // A Yes/No question with a caption; true for Yes.
  std::function<bool(const std::string& text, const std::string& caption)> AskYesNo;
  // A file dialog; `filter` in the "Name(*.ext)|*.ext||" form, `defaultExtension` without dot.
  // Returns the chosen path, or an empty string when cancelled.
  std::function<std::string(const std::string& filter, const std::string& defaultExtension,
                            const std::string& initialName)>
      ChooseFileToOpen;
  std::function<std::string(const std::string& filter, const std::string& defaultExtension,
                            const std::string& initialName)>
      ChooseFileToSave;

  void Message(const std::string& text, const std::string& detail = {}) const {
    if (ShowMessage) {
      ShowMessage(text, detail);
    }
  }
  bool YesNo(const std::string& text, const std::string& caption) const {
    return AskYesNo ? AskYesNo(text, caption) : false;
  }
};

// The process-wide prompts; the program installs its own at start.
UserPrompts& Prompts();

}  // namespace azuz
