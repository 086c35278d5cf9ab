#include "TransferSession.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <utility>

#include "PortNames.h"

namespace azuz {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPollStep{50};
// A cancel that came before the open began is forgotten by it: Cancel repeats it this often.
constexpr std::chrono::milliseconds kCancelRepeat{20};

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

// Every worker still running, so that a program can wait for the queues to come back.
struct Workers {
  std::mutex mutex;
  std::condition_variable changed;
  int running = 0;
};

Workers& AllWorkers() {
  static Workers workers;
  return workers;
}

}  // namespace

// What the owner and the worker share; the worker keeps it alive after the session is gone.
struct TransferSession::Shared {
  TransferRequest request;
  std::string deviceNode;
  std::function<void(const std::string&)> releasePorts;
  std::function<void(const std::string&)> restorePorts;

  std::atomic<bool> stopRequested{false};
  std::atomic<bool> completed{false};
  std::atomic<bool> opened{false};
  std::atomic<int> position{0};

  std::mutex mutex;
  std::condition_variable changed;
  bool usesConnection = false;  // between the open and the close: the block is in use too
  bool sendingEnded = false;
  bool finishRequested = false;
  bool workerEnded = false;
  Clock::time_point sendingEndedAt;
  std::vector<ConnectionMessage> messages;

  // The owner's observers; cleared under the lock when the owner goes.
  std::mutex observerMutex;
  std::function<void(bool)> onOpened;
  std::function<void(int, std::uint32_t)> onProgress;
  std::function<void()> onWorkerEnded;
  std::function<void()> onFinished;

  template <typename Observer, typename... Args>
  void Tell(Observer Shared::*observer, Args... args) {
    std::lock_guard lock(observerMutex);
    if (this->*observer) {
      (this->*observer)(args...);
    }
  }
  void Leave(std::vector<ConnectionMessage> more) {
    std::lock_guard lock(mutex);
    messages.insert(messages.end(), more.begin(), more.end());
  }
  void SetPosition(int value, std::uint32_t sent) {
    position = value;
    Tell(&Shared::onProgress, value, sent);
  }
  void SendBlock();
};

void TransferSession::Shared::SendBlock() {
  const std::uint32_t length = request.length;
  const std::uint32_t chunk = ChunkSize(length);
  std::uint32_t remaining = length;
  int count = 0;
  while (!stopRequested) {
    const std::uint32_t step = std::min(chunk, remaining);
    if (!WriteConnection(request.data + (length - remaining), step)) {
      std::vector<ConnectionMessage> said = TakeConnectionMessages();
      // A write that failed because the user cancelled is no failure to report.
      if (!stopRequested) {
        said.push_back({kMessageTransferFailed, LastConnectionError()});
        Leave(std::move(said));
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

void TransferSession::Work(const std::shared_ptr<Shared>& shared) {
  Shared& s = *shared;
  bool released = false;
  if (s.request.releaseSpoolerPort) {
    if (s.releasePorts) {
      s.releasePorts(s.deviceNode);
    }
    released = true;
  }
  bool open = false;
  {
    // Decided under the lock, so that a Cancel either sees the connection in use or the open
    // never begins.
    std::lock_guard lock(s.mutex);
    s.usesConnection = !s.stopRequested;
  }
  if (s.usesConnection) {
    CommSettings openSettings = s.request.settings;
    if (!s.request.portNode.empty()) {
      openSettings.portName = s.request.portNode;
    }
    open = OpenConnection(s.request.portKind, openSettings, s.request.useDriver);
    std::vector<ConnectionMessage> said = TakeConnectionMessages();
    if (!s.stopRequested) {
      s.Leave(std::move(said));
    }
    s.opened = open;
    if (!open) {
      std::lock_guard lock(s.mutex);
      s.usesConnection = false;
    }
    s.changed.notify_all();
  }
  s.Tell(&Shared::onOpened, open);
  if (open) {
    s.SendBlock();
  }
  {
    std::lock_guard lock(s.mutex);
    s.sendingEnded = true;
    s.sendingEndedAt = Clock::now();
  }
  s.changed.notify_all();
  s.Tell(&Shared::onWorkerEnded);
  if (open) {
    {
      std::unique_lock lock(s.mutex);
      s.changed.wait(lock, [&s] { return s.finishRequested || s.stopRequested; });
    }
    CloseConnection();
    {
      std::lock_guard lock(s.mutex);
      s.usesConnection = false;
    }
    s.changed.notify_all();
  }
  if (released && s.restorePorts) {
    s.restorePorts(s.deviceNode);
  }
  {
    std::lock_guard lock(s.mutex);
    s.workerEnded = true;
  }
  s.changed.notify_all();
  s.Tell(&Shared::onFinished);
}

TransferSession::TransferSession(TransferRequest transferRequest)
    : releasePorts(transferRequest.releasePorts),
      restorePorts(transferRequest.restorePorts),
      request(std::move(transferRequest)),
      shared(std::make_shared<Shared>()) {}

TransferSession::~TransferSession() {
  if (started && !ended) {
    Cancel();
  }
  std::lock_guard lock(shared->observerMutex);
  shared->onOpened = nullptr;
  shared->onProgress = nullptr;
  shared->onWorkerEnded = nullptr;
  shared->onFinished = nullptr;
}

std::uint32_t TransferSession::ChunkSize(std::uint32_t length) {
  return std::max<std::uint32_t>(length / 100, 100);
}

bool TransferSession::WaitForAllSessions(std::chrono::milliseconds timeout) {
  Workers& workers = AllWorkers();
  std::unique_lock lock(workers.mutex);
  return workers.changed.wait_for(lock, timeout, [&workers] { return workers.running == 0; });
}

bool TransferSession::Start() {
  if (started) {
    return !ended;
  }
  if (request.data == nullptr || request.length == 0) {
    ended = true;
    return false;
  }
  started = true;
  Shared& s = *shared;
  s.request = request;
  s.deviceNode = PortIdentity(request);
  s.releasePorts = releasePorts;
  s.restorePorts = restorePorts;
  s.onOpened = onOpened;
  s.onProgress = onProgress;
  s.onWorkerEnded = onWorkerEnded;
  s.onFinished = onFinished;
  {
    Workers& workers = AllWorkers();
    std::lock_guard lock(workers.mutex);
    ++workers.running;
  }
  std::thread([keep = shared] {
    Work(keep);
    Workers& workers = AllWorkers();
    {
      std::lock_guard lock(workers.mutex);
      --workers.running;
    }
    workers.changed.notify_all();
  }).detach();
  return true;
}

bool TransferSession::WaitWorker(std::chrono::milliseconds timeout) {
  if (!started) {
    return true;
  }
  std::unique_lock lock(shared->mutex);
  return shared->changed.wait_for(lock, timeout, [this] { return shared->sendingEnded; });
}

bool TransferSession::WaitEnded(std::chrono::milliseconds timeout) {
  if (!started) {
    return true;
  }
  std::unique_lock lock(shared->mutex);
  return shared->changed.wait_for(lock, timeout, [this] { return shared->workerEnded; });
}

void TransferSession::RequestFinish() {
  if (!started) {
    return;
  }
  {
    std::lock_guard lock(shared->mutex);
    shared->finishRequested = true;
  }
  shared->changed.notify_all();
}

void TransferSession::EndAfterFinish() {
  finished = true;
  if (shared->completed) {
    outcome = Result::Ok;
    ended = true;
  }
}

void TransferSession::Finish() {
  if (finished || ended || !started) {
    return;
  }
  RequestFinish();
  std::unique_lock lock(shared->mutex);
  shared->changed.wait(lock, [this] { return shared->workerEnded; });
  lock.unlock();
  EndAfterFinish();
}

TransferSession::Result TransferSession::Cancel() {
  if (ended) {
    return outcome;
  }
  if (started) {
    Shared& s = *shared;
    std::unique_lock lock(s.mutex);
    s.stopRequested = true;
    s.changed.notify_all();
    while (s.usesConnection) {
      lock.unlock();
      CancelConnectionIo();
      lock.lock();
      s.changed.wait_for(lock, kCancelRepeat, [&s] { return !s.usesConnection; });
    }
  }
  outcome = Completed() ? Result::Ok : Result::Cancel;
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
  if (!Opened()) {
    // The queues come back on the worker; headless, there is time to wait for them.
    while (!WaitEnded(kPollStep) && !wantsCancel()) {
    }
    return Cancel();
  }
  Clock::time_point due;
  {
    std::lock_guard lock(shared->mutex);
    due = shared->sendingEndedAt + kFinishDelay;
  }
  for (auto now = Clock::now(); now < due; now = Clock::now()) {
    if (wantsCancel()) {
      return Cancel();
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(kPollStep, due - now));
  }
  RequestFinish();
  while (!WaitEnded(kPollStep)) {
    if (wantsCancel()) {
      return Cancel();
    }
  }
  EndAfterFinish();
  // After a failure the window waits for the user's press on "Close"; run headless, it comes now.
  return ended ? outcome : Cancel();
}

std::vector<ConnectionMessage> TransferSession::TakeMessages() {
  std::lock_guard lock(shared->mutex);
  return std::exchange(shared->messages, {});
}

int TransferSession::Position() const {
  return shared->position.load();
}

bool TransferSession::Completed() const {
  return shared->completed.load();
}

bool TransferSession::Opened() const {
  return shared->opened.load();
}

std::string TransferSession::ButtonCaption() const {
  if (!finished) {
    return "Cancel";
  }
  return Completed() ? "Completed" : "Close";
}

}  // namespace azuz
