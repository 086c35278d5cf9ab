#include "ModemLineWatch.h"

#include <pthread.h>
#include <sys/ioctl.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <mutex>

namespace azuz {

namespace {

constexpr int kWakeTries = 500;
constexpr std::chrono::milliseconds kWakeStep{2};

int WakeSignal() {
  return SIGRTMIN + 4;
}

void Ignore(int /*signal*/) {}

// The signal must interrupt the ioctl, not restart it.
void InstallWakeHandler() {
  static std::once_flag once;
  std::call_once(once, [] {
    struct sigaction action {};
    action.sa_handler = Ignore;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(WakeSignal(), &action, nullptr);
  });
}

}  // namespace

void ModemLineWatch::Start(int fd, int lines) {
  Stop();
  InstallWakeHandler();
  changed.Reset();
  stopping = false;
  ended = false;
  waits = true;
  thread = std::thread([this, fd, lines] { Run(fd, lines); });
}

void ModemLineWatch::Run(int fd, int lines) {
  while (!stopping) {
    if (ioctl(fd, TIOCMIWAIT, lines) == 0) {
      changed.Set();
      continue;
    }
    if (errno != EINTR) {
      waits = false;
      changed.Set();  // let a waiter look at the lines now
      break;
    }
  }
  ended = true;
}

void ModemLineWatch::Stop() {
  if (!thread.joinable()) {
    return;
  }
  stopping = true;
  // A signal that comes just before the thread enters the ioctl is lost: send it until the
  // thread has gone.
  for (int i = 0; i < kWakeTries && !ended; ++i) {
    pthread_kill(thread.native_handle(), WakeSignal());
    std::this_thread::sleep_for(kWakeStep);
  }
  thread.join();
}

}  // namespace azuz
