#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "CommSettings.h"
#include "Connection.h"

namespace azuz {

// The settings dialog's test print on a worker thread, so that a connect of up to ten seconds
// never holds the window. Cancel ends a connect or write under way within about half a second;
// a spooler job, a short exchange with the local spooler, runs to its end.
//
// Threads: Start, Cancel, Wait and the destructor belong to the owner's thread; onEnded runs on
// the worker and must not block on the owner.
class CommunicationTestRun {
 public:
  CommunicationTestRun() = default;
  // Cancels a test still running and waits for it.
  ~CommunicationTestRun();
  CommunicationTestRun(const CommunicationTestRun&) = delete;
  CommunicationTestRun& operator=(const CommunicationTestRun&) = delete;

  // Worker: the test ended with RunCommunicationTest's result (0, or the spooler's -1 or -2);
  // `delivered` says whether the bytes went out, `cancelled` whether the user stopped it.
  std::function<void(int result, bool delivered, bool cancelled)> onEnded;

  // False while a test is still running.
  bool Start(std::int32_t portKind, const CommSettings& settings, bool useDriver);
  void Cancel();
  // Cancels until the worker has ended, then waits for it.
  void CancelAndWait();
  // Waits for the worker of the last Start to end.
  void Wait();
  bool Running() const { return running.load(); }
  // What the last test left for the user (a failed open), once its worker has ended: shown by
  // the owner, never from the worker. Taking them empties the list.
  std::vector<ConnectionMessage> TakeMessages();

 private:
  std::atomic<bool> running{false};
  std::atomic<bool> cancelRequested{false};
  std::mutex messagesMutex;
  std::vector<ConnectionMessage> messages;
  std::jthread worker;
};

}  // namespace azuz
