#pragma once

#include <mutex>

namespace azuz {

// A mutex whose lock can give up after a time-out. Threads of one process can't die holding it,
// so the abandoned-owner case of the original wrapper does not arise.
class CMutexEx {
 public:
  // True when acquired within timeoutMs; a negative time-out waits for ever.
  bool Lock(int timeoutMs = -1);
  void Unlock() { mutex.unlock(); }

  // BasicLockable, for std::lock_guard.
  void lock() { mutex.lock(); }
  void unlock() { mutex.unlock(); }

 private:
  std::timed_mutex mutex;
};

}  // namespace azuz
