#include "TerminationSignals.h"

#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <array>
#include <csignal>

namespace azuz {

namespace {

constexpr std::array kSignals{SIGINT, SIGTERM, SIGHUP};
// One designer per process: the handler needs the pipe without any object.
int pipeFds[2] = {-1, -1};
struct sigaction previous[kSignals.size()];

void OnSignal(int signal) {
  const int saved = errno;
  const auto byte = static_cast<unsigned char>(signal);
  // Async-signal-safe; a full pipe already holds a wake-up.
  static_cast<void>(write(pipeFds[1], &byte, 1));
  errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals() {
  if (pipe2(pipeFds, O_CLOEXEC | O_NONBLOCK) != 0) {
    pipeFds[0] = pipeFds[1] = -1;
    return;
  }
  notifier_ = std::make_unique<QSocketNotifier>(pipeFds[0], QSocketNotifier::Read);
  connect(notifier_.get(), &QSocketNotifier::activated, this, &TerminationSignals::OnReadable);
  struct sigaction action {};
  action.sa_handler = OnSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t n = 0; n < kSignals.size(); ++n) {
    sigaction(kSignals[n], &action, &previous[n]);
  }
}

TerminationSignals::~TerminationSignals() {
  if (pipeFds[0] < 0) {
    return;
  }
  for (std::size_t n = 0; n < kSignals.size(); ++n) {
    sigaction(kSignals[n], &previous[n], nullptr);
  }
  notifier_.reset();
  close(pipeFds[0]);
  close(pipeFds[1]);
  pipeFds[0] = pipeFds[1] = -1;
}

void TerminationSignals::OnReadable() {
  unsigned char byte = 0;
  while (read(pipeFds[0], &byte, 1) == 1) {
    taken_ = byte;
  }
  if (taken_ == 0) {
    return;
  }
  emit signalled(taken_);
  // Leaves the modal loops too; their windows cancel what they run as they end.
  QCoreApplication::exit(128 + taken_);
}

}  // namespace azuz
