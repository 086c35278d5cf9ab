#include "GuiTestSupport.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/fs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdlib>

namespace azuz::test {

namespace {

QTemporaryDir* scratch = nullptr;

}  // namespace

QString ScratchDir() {
  return scratch->path();
}

int RunGuiTest(int argc, char** argv, QObject& test) {
  QTemporaryDir dir;
  scratch = &dir;
  qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath(QStringLiteral("config"))));
  qputenv("AZUZ_REGISTRY", QFile::encodeName(dir.filePath(QStringLiteral("registry.reg"))));
  // No spooler here: a printer name on the command line resolves to nothing, quickly.
  qputenv("CUPS_SERVER", QFile::encodeName(dir.filePath(QStringLiteral("no-cupsd.sock"))));
  QApplication application(argc, argv);
  CORVELIXImageToolApp::SetSettingsKey();
  const int failures = QTest::qExec(&test, argc, argv);
  scratch = nullptr;
  return failures;
}

StartedDesigner::StartedDesigner(const std::string& commandLineTail, const QString& openPath)
    : app_(std::make_unique<CORVELIXImageToolApp>(commandLineTail, openPath)) {
  if (!app_->InitInstance()) {
    qFatal("the designer did not start");
  }
  Frame().endProcess = [this](int code) {
    ++exitCalls;
    exitCode = code;
  };
  if (!QTest::qWaitForWindowExposed(&Frame())) {
    qWarning("the main window was not exposed");
  }
}

StartedDesigner::~StartedDesigner() = default;

ModalHandler::ModalHandler(const char* className, std::function<bool(QWidget*)> act) {
  timer_.setInterval(5);
  QObject::connect(&timer_, &QTimer::timeout, [this, className, act = std::move(act)] {
    QWidget* modal = QApplication::activeModalWidget();
    // An action that opens a modal window of its own runs a nested loop, where this timer
    // fires again: it must not act on its window a second time meanwhile.
    if (acting_ || modal == nullptr || !modal->inherits(className) || !modal->isVisible()) {
      return;
    }
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      seen_ = box->text();
    } else {
      seen_ = modal->windowTitle();
    }
    acting_ = true;
    const bool done = act(modal);
    acting_ = false;
    if (done) {
      timer_.stop();
      handled_ = true;
    }
  });
  timer_.start();
}

ModalHandler::~ModalHandler() {
  timer_.stop();
}

std::unique_ptr<ModalHandler> AnswerMessageBox(int button) {
  return std::make_unique<ModalHandler>("QMessageBox", [button](QWidget* modal) {
    auto* box = static_cast<QMessageBox*>(modal);
    box->button(static_cast<QMessageBox::StandardButton>(button))->click();
    return true;
  });
}

std::unique_ptr<ModalHandler> ChooseInFileDialog(const QString& path) {
  return std::make_unique<ModalHandler>("QFileDialog", [path](QWidget* modal) {
    auto* dialog = static_cast<QFileDialog*>(modal);
    dialog->setDirectory(QFileInfo(path).absolutePath());
    dialog->selectFile(QFileInfo(path).fileName());
    // What the dialog's own button does, with its checks of the chosen name.
    QMetaObject::invokeMethod(dialog, "accept");
    return true;
  });
}

LoopbackListener::LoopbackListener(Mode mode, std::size_t dropAfter) {
  listenFd_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  if (listenFd_ < 0 || bind(listenFd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
      listen(listenFd_, 1) != 0 ||
      getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    qFatal("cannot listen on the loopback interface");
  }
  port_ = ntohs(address.sin_port);
  wakeFd_ = eventfd(0, EFD_CLOEXEC);
  thread_ = std::thread([this, mode, dropAfter] {
    pollfd waiting[2] = {{listenFd_, POLLIN, 0}, {wakeFd_, POLLIN, 0}};
    if (poll(waiting, 2, 20000) <= 0 || (waiting[1].revents & POLLIN) != 0) {
      return;
    }
    const int connection = accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) {
      return;
    }
    char buffer[4096];
    for (;;) {
      // A printer that takes nothing is only woken by the end of the test.
      pollfd fds[2] = {{wakeFd_, POLLIN, 0}, {connection, POLLIN, 0}};
      if (poll(fds, mode == Mode::NeverRead ? 1 : 2, 20000) <= 0 ||
          (fds[0].revents & POLLIN) != 0) {
        break;
      }
      std::size_t want = sizeof buffer;
      if (mode == Mode::DropAfter) {
        want = std::min(want, dropAfter - static_cast<std::size_t>(received_.size()));
      }
      const ssize_t got = read(connection, buffer, want);
      if (got <= 0) {
        break;
      }
      received_.append(buffer, got);
      if (mode == Mode::DropAfter && static_cast<std::size_t>(received_.size()) >= dropAfter) {
        // A reset rather than an orderly close: the sender's next write fails at once.
        const linger reset{1, 0};
        setsockopt(connection, SOL_SOCKET, SO_LINGER, &reset, sizeof reset);
        break;
      }
    }
    close(connection);
  });
}

LoopbackListener::~LoopbackListener() {
  const std::uint64_t one = 1;
  if (write(wakeFd_, &one, sizeof one) < 0) {
    qWarning("cannot wake the listener");
  }
  if (thread_.joinable()) {
    thread_.join();
  }
  close(wakeFd_);
  close(listenFd_);
}

QByteArray LoopbackListener::Received() {
  if (thread_.joinable()) {
    thread_.join();
  }
  return received_;
}

int LoopbackListener::RefusingPort() {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t size = sizeof address;
  bind(fd, reinterpret_cast<sockaddr*>(&address), size);
  getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size);
  close(fd);  // bound but never listening: connections to it are refused
  return ntohs(address.sin_port);
}

namespace {

bool SetImmutable(const QString& path, bool on) {
  const int fd = open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    return false;
  }
  int flags = 0;
  bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
  if (done) {
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    done = ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
  }
  close(fd);
  return done;
}

}  // namespace

Unwritable::Unwritable(const QString& path) : path_(path) {
  QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadGroup);
  if (!Holds()) {
    immutable_ = SetImmutable(path, true);
  }
}

Unwritable::~Unwritable() {
  if (immutable_) {
    SetImmutable(path_, false);
  }
  QFile::setPermissions(path_, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

bool Unwritable::Holds() const {
  const int fd = open(QFile::encodeName(path_).constData(), O_RDWR | O_CLOEXEC);
  if (fd >= 0) {
    close(fd);
  }
  return fd < 0;
}

std::unique_ptr<ModalHandler> ChooseInColourDialog(const QColor& colour, QColor* startedFrom) {
  return std::make_unique<ModalHandler>("QColorDialog", [colour, startedFrom](QWidget* modal) {
    auto* dialog = static_cast<QColorDialog*>(modal);
    if (startedFrom != nullptr) {
      *startedFrom = dialog->currentColor();
    }
    dialog->setCurrentColor(colour);
    dialog->accept();
    return true;
  });
}

QString CorpusPicture(const QString& name) {
  const QString path = QDir(QStringLiteral(AZUZ_TESTDATA_DIR "/images")).filePath(name);
  return QFileInfo::exists(path) ? path : QString();
}

QString CorpusDesign(const QString& name) {
  const QString path = QDir(QStringLiteral(AZUZ_TESTDATA_DIR "/gdiref")).filePath(name);
  return QFileInfo::exists(path) ? path : QString();
}

}  // namespace azuz::test
