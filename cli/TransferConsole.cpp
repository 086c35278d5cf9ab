#include "TransferConsole.h"

#include <pthread.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace azuz::cli {

namespace {

std::mutex stderrMutex;

}  // namespace

InterruptWatch::InterruptWatch() {
  sigemptyset(&signals);
  for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaddset(&signals, signal);
  }
  pthread_sigmask(SIG_BLOCK, &signals, &previousMask);
  watcher = std::jthread([this](const std::stop_token& stop) { Watch(stop); });
}

InterruptWatch::~InterruptWatch() {
  watcher.request_stop();
  watcher.join();
  pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
}

void InterruptWatch::Watch(const std::stop_token& stop) {
  const timespec slice{0, 50'000'000};
  while (!stop.stop_requested()) {
    if (sigtimedwait(&signals, nullptr, &slice) > 0) {
      interrupted = true;
    }
    // Again on every slice: a cancel that came before the open began is forgotten by it.
    if (interrupted) {
      CancelConnectionIo();
    }
  }
}

ProgressLine::ProgressLine(std::string caption)
    : caption(std::move(caption)), isTerminal(isatty(STDERR_FILENO) == 1) {}

void ProgressLine::Draw(int position) {
  if (!isTerminal) {
    return;
  }
  std::lock_guard lock(stderrMutex);
  const int shownPosition = std::min(position, 100);
  const int filled = shownPosition * 30 / 100;
  std::fprintf(stderr, "\r%s [%s%s] %3d%%", caption.c_str(), std::string(filled, '#').c_str(),
               std::string(30 - filled, '.').c_str(), shownPosition);
  std::fflush(stderr);
  shown = true;
}

void ProgressLine::End(const std::string& word) {
  std::lock_guard lock(stderrMutex);
  if (shown) {
    std::fprintf(stderr, " %s\n", word.c_str());
  } else {
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), word.c_str());
  }
  shown = false;
}

void ProgressLine::Break() {
  if (shown) {
    std::fputc('\n', stderr);
    shown = false;
  }
}

ConnectionMessage PrintMessages(const std::vector<ConnectionMessage>& messages,
                                ProgressLine* progress) {
  std::lock_guard lock(stderrMutex);
  for (const ConnectionMessage& message : messages) {
    if (progress != nullptr) {
      progress->Break();
    }
    std::fprintf(stderr, "%s\n", message.text.c_str());
    if (!message.detail.empty()) {
      std::fprintf(stderr, "  (%s)\n", message.detail.c_str());
    }
  }
  return messages.empty() ? ConnectionMessage{} : messages.front();
}

}  // namespace azuz::cli
