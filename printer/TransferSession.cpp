#include "TransferSession.h"

#include <algorithm>

#include "Connection.h"
#include "PortNames.h"
#include "UserPrompts.h"

namespace azuz {

namespace {

constexpr std::chrono::milliseconds kPollStep{50};

// What spooler queues on the same port are recognised by: the device node of a port, the
// address of a network printer.
std::string PortIdentity(const TransferRequest& request) {
  if (request.portKind == kPortKindTcpIp) {
    std::string address;
    std::copy_if(request.settings.portName.begin(), request.settings.portName.end(),
                 std::back_inserter(address), [](char c) { return c != ' '; });
    return address;
  }
  return request.portNode.empty() ? ResolvePortNode(request.settings.portName) : request.portNode;
}

}  // namespace

TransferSession::TransferSession(TransferRequest transferRequest)
    : releasePorts(transferRequest.releasePorts),
      restorePorts(transferRequest.restorePorts),
      request(std::move(transferRequest)) {}

TransferSession::~TransferSession() {
  if (worker.joinable() && !ended) {
    Cancel();
  }
  if (worker.joinable()) {
    worker.join();
  }
  CloseOnce();
  RestoreOnce();
}

std::uint32_t TransferSession::ChunkSize(std::uint32_t length) {
  return std::max<std::uint32_t>(length / 100, 100);
}

bool TransferSession::Start() {
  stopRequested = false;
  completed = false;
  position = 0;
  if (request.data == nullptr || request.length == 0) {
    ended = true;
    return false;
  }
  deviceNode = PortIdentity(request);
  if (request.releaseSpoolerPort) {
    if (releasePorts) {
      releasePorts(deviceNode);
    }
    released = true;
  }
  CommSettings openSettings = request.settings;
  if (!request.portNode.empty()) {
    openSettings.portName = request.portNode;
  }
  if (!OpenConnection(request.portKind, openSettings, request.useDriver)) {
    RestoreOnce();
    ended = true;
    return false;
  }
  opened = true;
  worker = std::jthread([this] { TransferWorker(); });
  return true;
}

void TransferSession::SetPosition(int value, std::uint32_t sent) {
  position = value;
  if (onProgress) {
    onProgress(value, sent);
  }
}

void TransferSession::TransferWorker() {
  if (!stopRequested) {
    const std::uint32_t length = request.length;
    const std::uint32_t chunk = ChunkSize(length);
    std::uint32_t remaining = length;
    int count = 0;
    for (;;) {
      const std::uint32_t step = std::min(chunk, remaining);
      if (!WriteConnection(request.data + (length - remaining), step)) {
        // A write that failed because the user cancelled is no failure to report.
        if (!stopRequested) {
          Prompts().Message(kMessageTransferFailed, LastConnectionError());
        }
        break;
      }
      remaining -= step;
      SetPosition(++count, length - remaining);
      if (remaining == 0) {
        completed = true;
        break;
      }
      std::this_thread::sleep_for(kChunkPause);
      if (stopRequested) {
        break;
      }
    }
    if (request.readReply && !request.useDriver && !stopRequested) {
      std::this_thread::sleep_for(kReplyDelay);
      std::uint8_t answer[kAnswerCapacity] = {};
      ReadConnectionAnswer(answer);  // the printer's answer is not used
    }
    if (completed) {
      SetPosition(100, length);
    }
  }
  {
    std::lock_guard lock(workerMutex);
    workerEnded = true;
    workerEndedAt = std::chrono::steady_clock::now();
  }
  workerDone.notify_all();
  if (onWorkerEnded) {
    onWorkerEnded();
  }
}

bool TransferSession::WaitWorker(std::chrono::milliseconds timeout) {
  if (!worker.joinable()) {
    return true;
  }
  std::unique_lock lock(workerMutex);
  return workerDone.wait_for(lock, timeout, [this] { return workerEnded; });
}

void TransferSession::CloseOnce() {
  if (opened && !closed) {
    CloseConnection();
    closed = true;
  }
}

void TransferSession::RestoreOnce() {
  if (released && restorePorts) {
    restorePorts(deviceNode);
  }
  released = false;
}

void TransferSession::Finish() {
  if (finished || ended || !opened) {
    return;
  }
  if (worker.joinable()) {
    worker.join();
  }
  finished = true;
  CloseOnce();
  RestoreOnce();
  if (completed) {
    outcome = Result::Ok;
    ended = true;
  }
}

TransferSession::Result TransferSession::Cancel() {
  if (ended) {
    return outcome;
  }
  stopRequested = true;
  if (worker.joinable()) {
    if (!WaitWorker(std::chrono::milliseconds(0))) {
      CancelConnectionIo();
    }
    worker.join();
  }
  CloseOnce();
  RestoreOnce();
  outcome = completed ? Result::Ok : Result::Cancel;
  ended = true;
  return outcome;
}

TransferSession::Result TransferSession::Run(const std::function<bool()>& interrupted) {
  if (!Start()) {
    return outcome;
  }
  auto wantsCancel = [&interrupted] { return interrupted && interrupted(); };
  while (!WaitWorker(kPollStep)) {
    if (wantsCancel()) {
      return Cancel();
    }
  }
  std::chrono::steady_clock::time_point due;
  {
    std::lock_guard lock(workerMutex);
    due = workerEndedAt + kFinishDelay;
  }
  for (auto now = std::chrono::steady_clock::now(); now < due;
       now = std::chrono::steady_clock::now()) {
    if (wantsCancel()) {
      return Cancel();
    }
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(kPollStep, due - now));
  }
  Finish();
  // After a failure the window waits for the user's press on "Close"; run headless, it comes now.
  return ended ? outcome : Cancel();
}

std::string TransferSession::ButtonCaption() const {
  if (!finished) {
    return "Cancel";
  }
  return completed ? "Completed" : "Close";
}

}  // namespace azuz
