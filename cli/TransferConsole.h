#pragma once

#include <signal.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

#include <vector>

#include "Connection.h"

namespace azuz::cli {

// Ctrl-C, a kill and a closed terminal cancel the transfer. The signals are blocked and taken by
// a thread of their own, which can wake a connect or open under way on the main thread at once
// (a handler could only set a flag the blocked call never looks at).
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;
  bool Interrupted() const { return interrupted.load(); }

 private:
  void Watch(const std::stop_token& stop);

  sigset_t signals{};
  sigset_t previousMask{};
  std::atomic<bool> interrupted{false};
  std::jthread watcher;
};

// The progress window on a terminal: the caption and a bar; nothing when stderr is redirected.
class ProgressLine {
 public:
  explicit ProgressLine(std::string caption);
  void Draw(int position);
  void End(const std::string& word);
  // Starts a fresh line before a message box's text.
  void Break();

 private:
  std::string caption;
  bool isTerminal = false;
  bool shown = false;
};

// What the window would have shown in its message boxes, as lines on standard error after a
// fresh line; gives the first (empty when there is none) for the verb's report.
ConnectionMessage PrintMessages(const std::vector<ConnectionMessage>& messages,
                                ProgressLine* progress = nullptr);

}  // namespace azuz::cli
