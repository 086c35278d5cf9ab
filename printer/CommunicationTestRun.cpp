#include "CommunicationTestRun.h"

#include <chrono>
#include <utility>

#include "CommunicationTest.h"
#include "Connection.h"

namespace azuz {

CommunicationTestRun::~CommunicationTestRun() {
  CancelAndWait();
}

void CommunicationTestRun::CancelAndWait() {
  // A cancel that came before the connection was made is lost with it: repeat it until the
  // worker has ended.
  while (running.load()) {
    Cancel();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  Wait();
}

bool CommunicationTestRun::Start(std::int32_t portKind, const CommSettings& settings,
                                 bool useDriver) {
  if (running.load()) {
    return false;
  }
  Wait();
  cancelRequested = false;
  running = true;
  worker = std::jthread([this, portKind, settings, useDriver] {
    bool delivered = false;
    std::vector<ConnectionMessage> said;
    const int result = RunCommunicationTest(portKind, settings, useDriver, &delivered, &said);
    const bool cancelled = cancelRequested.load();
    {
      // A test the user stopped has nothing to tell.
      std::lock_guard lock(messagesMutex);
      messages = cancelled ? std::vector<ConnectionMessage>{} : std::move(said);
    }
    running = false;
    if (onEnded) {
      onEnded(result, delivered, cancelled);
    }
  });
  return true;
}

void CommunicationTestRun::Cancel() {
  if (running.load()) {
    cancelRequested = true;
    CancelConnectionIo();
  }
}

std::vector<ConnectionMessage> CommunicationTestRun::TakeMessages() {
  std::lock_guard lock(messagesMutex);
  return std::exchange(messages, {});
}

void CommunicationTestRun::Wait() {
  if (worker.joinable()) {
    worker.join();
  }
}

}  // namespace azuz
