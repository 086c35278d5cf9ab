#pragma once

namespace azuz {

// A manual-reset event on an eventfd, so that it can wake a poll() next to a device or socket.
// Set, Reset and Wait may be called from any thread.
class CEventEx {
 public:
  CEventEx();
  ~CEventEx();
  CEventEx(const CEventEx&) = delete;
  CEventEx& operator=(const CEventEx&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  // True when the event is (or becomes) set within timeoutMs; a negative time-out waits for ever.
  bool Wait(int timeoutMs) const;
  // Readable (POLLIN) while the event is set.
  int Fd() const { return fd; }

 private:
  int fd = -1;
};

}  // namespace azuz
