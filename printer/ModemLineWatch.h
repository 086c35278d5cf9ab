#pragma once

#include <atomic>
#include <thread>

#include "CEventEx.h"

namespace azuz {

// Waits in the kernel (TIOCMIWAIT) for a change of the given modem lines of an open terminal
// and sets `changed` each time one comes. TIOCMIWAIT has no time-out; Stop wakes it with a
// signal of its own. A device that cannot wait so (a pseudo-terminal) ends the watch at once,
// and whoever waits on `changed` falls back to looking at the lines itself.
class ModemLineWatch {
 public:
  ModemLineWatch() = default;
  ~ModemLineWatch() { Stop(); }
  ModemLineWatch(const ModemLineWatch&) = delete;
  ModemLineWatch& operator=(const ModemLineWatch&) = delete;

  void Start(int fd, int lines);
  void Stop();

  // Readable while a change has come that nobody has taken (Take clears it).
  int ChangedFd() const { return changed.Fd(); }
  void Take() { changed.Reset(); }
  // False once the device has refused to wait for its lines.
  bool Waits() const { return waits; }

 private:
  void Run(int fd, int lines);

  std::thread thread;
  std::atomic<bool> stopping{false};
  std::atomic<bool> ended{true};
  std::atomic<bool> waits{false};
  CEventEx changed;
};

}  // namespace azuz
