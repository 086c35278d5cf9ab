#pragma once

#include <QApplication>
#include <QPointer>
#include <QString>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "CMainFrame.h"
#include "CORVELIXImageToolApp.h"
#include "ControlIds.h"

namespace azuz::test {

// Runs a Qt Test class on the offscreen platform, with settings, the configuration store and the
// keyboard LEDs pointed into a fresh temporary folder so that no test reads or writes the user's.
int RunGuiTest(int argc, char** argv, QObject& test);

#define AZUZ_GUI_TEST_MAIN(TestClass)                  \
  int main(int argc, char** argv) {                    \
    TestClass test;                                    \
    return ::azuz::test::RunGuiTest(argc, argv, test); \
  }

// The folder RunGuiTest made for this run (removed at its end).
QString ScratchDir();

// The window's control with this id (ControlIds.h); a missing one, or one of another class, ends
// the test program with its name rather than a null pointer later.
template <typename Widget>
Widget* Control(const QWidget* window, int id) {
  auto* control = window->findChild<Widget*>(ControlName(id));
  if (control == nullptr) {
    qFatal("%s has no %s %s", qPrintable(window->objectName()),
           Widget::staticMetaObject.className(), qPrintable(ControlName(id)));
  }
  return control;
}

// The designer as the program starts it, with the exit command's process end recorded instead.
class StartedDesigner {
 public:
  explicit StartedDesigner(const std::string& commandLineTail = {}, const QString& openPath = {});
  ~StartedDesigner();

  CORVELIXImageToolApp& App() { return *app_; }
  CMainFrame& Frame() { return *app_->MainFrame(); }
  CORVELIXImageToolDoc& Doc() { return app_->Document(); }
  // How often, and with which code, the exit command ended the process.
  int exitCalls = 0;
  int exitCode = -1;

 private:
  std::unique_ptr<CORVELIXImageToolApp> app_;
};

// Watches for modal windows of a class and offers each to `act` until it returns true (having
// closed the window, or having done what it waited for). Used around a call that opens a modal
// window and returns only once it is closed.
class ModalHandler {
 public:
  ModalHandler(const char* className, std::function<bool(QWidget*)> act);
  ~ModalHandler();
  // True once a window was handled.
  bool Handled() const { return handled_; }
  // What the handled window showed (a message box's text, a dialog's title).
  const QString& Seen() const { return seen_; }

 private:
  QTimer timer_;
  bool handled_ = false;
  bool acting_ = false;
  QString seen_;
};

// Closes the next message box with the given button and records its text.
std::unique_ptr<ModalHandler> AnswerMessageBox(int button);
// Accepts the next file dialog with the given path.
std::unique_ptr<ModalHandler> ChooseInFileDialog(const QString& path);

// A TCP listener on 127.0.0.1 that takes one connection on its own thread.
class LoopbackListener {
 public:
  enum class Mode {
    ReadAll,    // keeps every byte until the peer closes
    DropAfter,  // reads `dropAfter` bytes, then resets the connection
    NeverRead,  // accepts and reads nothing until stopped
  };
  explicit LoopbackListener(Mode mode, std::size_t dropAfter = 0);
  ~LoopbackListener();
  int Port() const { return port_; }
  // Waits for the connection to end; the bytes received.
  QByteArray Received();

  // A port on 127.0.0.1 that nothing listens on.
  static int RefusingPort();

 private:
  int listenFd_ = -1;
  int port_ = 0;
  int wakeFd_ = -1;
  QByteArray received_;
  std::thread thread_;
};

// Makes a file unwritable for the whole of its life: read-only permissions and, for a user whom
// permissions do not stop (root), the immutable attribute where the file system has it.
class Unwritable {
 public:
  explicit Unwritable(const QString& path);
  ~Unwritable();
  // True when opening the file for writing now fails.
  bool Holds() const;

 private:
  QString path_;
  bool immutable_ = false;
};

// Accepts the next colour chooser with the given colour and records the colour it started from.
std::unique_ptr<ModalHandler> ChooseInColourDialog(const QColor& colour, QColor* startedFrom);

// A design file of the third-party corpus, or empty (and the test skipped) when absent.
QString CorpusDesign(const QString& name);
// A picture of the third-party corpus ("bmp/name.bmp"), or empty when absent.
QString CorpusPicture(const QString& name);

}  // namespace azuz::test
