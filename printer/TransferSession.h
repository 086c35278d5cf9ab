#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "CommSettings.h"

namespace azuz {

inline constexpr char kMessageTransferFailed[] = "Error : Data transfer is failed!";

// What SendPrinterData hands the transfer: the block (owned by the caller, valid for the whole
// session), its caption, a copy of the frame's connection state and what was derived from it
// (MakeTransferRequest builds one).
struct TransferRequest {
  const std::uint8_t* data = nullptr;
  std::uint32_t length = 0;
  std::string caption;
  bool readReply = false;
  std::int32_t portKind = 0;
  bool useDriver = false;
  bool releaseSpoolerPort = false;
  CommSettings settings;
  // The device node a direct port opens; empty: the port layer's mapping of settings.portName.
  std::string portNode;
  // The session's releasePorts and restorePorts hooks to start with.
  std::function<void(const std::string& deviceNode)> releasePorts;
  std::function<void(const std::string& deviceNode)> restorePorts;
};

// One transfer of a block to the printer: the work behind the transfer window, which only shows
// it. Start opens the connection and starts the worker, which sends the block in about a hundred
// chunks; Finish, about a second after the worker ended, closes the connection. A cancel wakes
// whatever the worker waits in, so it ends within about half a second; no thread is ever killed.
//
// Threads: Start, Finish, Cancel and the destructor belong to the owner's (UI) thread; the hooks
// marked "worker" run on the worker thread and must not block.
class TransferSession {
 public:
  enum class Result { Ok, Cancel };
  static constexpr std::chrono::milliseconds kChunkPause{1};
  static constexpr std::chrono::milliseconds kReplyDelay{50};
  static constexpr std::chrono::milliseconds kFinishDelay{1000};

  explicit TransferSession(TransferRequest request);
  // Cancels a worker still running, closes the connection and gives spooler ports back.
  ~TransferSession();
  TransferSession(const TransferSession&) = delete;
  TransferSession& operator=(const TransferSession&) = delete;

  // length / 100, at least 100.
  static std::uint32_t ChunkSize(std::uint32_t length);

  // Moving spooler queues off the port (releaseSpoolerPort): before the open, and back in the
  // finishing step and on destruction. They get the port's device node.
  std::function<void(const std::string& deviceNode)> releasePorts;
  std::function<void(const std::string& deviceNode)> restorePorts;
  // Worker: after each chunk, the progress position (the chunk count; above 100 shows as full,
  // 100 again when the block is complete) and the bytes sent so far.
  std::function<void(int position, std::uint32_t sent)> onProgress;
  // Worker: the worker has ended; Finish is due kFinishDelay later.
  std::function<void()> onWorkerEnded;

  // Opens the connection and starts the worker. False when there is nothing to send or the open
  // failed (its message was shown): the session has then ended with the cancel result.
  bool Start();
  // True once the worker has ended (waits at most `timeout`).
  bool WaitWorker(std::chrono::milliseconds timeout);
  // The finishing step: closes the connection, restores spooler ports and ends the session with
  // the OK result when the block went out; otherwise the button shows "Close" and the session
  // waits for the user's Cancel.
  void Finish();
  // The button, the close box, Enter and Escape: stops the worker, closes the connection and
  // ends the session: OK when the whole block had gone out, cancel otherwise.
  Result Cancel();
  // Start, send, finish a second after the worker and end, as the window does by itself.
  // `interrupted` is polled every 50 ms and acts as the user's Cancel.
  Result Run(const std::function<bool()>& interrupted = {});

  int Position() const { return position.load(); }
  bool Completed() const { return completed.load(); }
  bool Ended() const { return ended; }
  Result Outcome() const { return outcome; }
  // "Cancel" while sending, "Completed" at the end of a complete transfer, "Close" after a
  // failed one.
  std::string ButtonCaption() const;
  const TransferRequest& Request() const { return request; }

 private:
  void TransferWorker();
  void SetPosition(int value, std::uint32_t sent);
  void CloseOnce();
  void RestoreOnce();

  TransferRequest request;
  std::string deviceNode;
  std::atomic<bool> stopRequested{false};
  std::atomic<bool> completed{false};
  std::atomic<int> position{0};
  bool opened = false;
  bool closed = false;
  bool released = false;
  bool finished = false;
  bool ended = false;
  Result outcome = Result::Cancel;

  std::mutex workerMutex;
  std::condition_variable workerDone;
  bool workerEnded = false;
  std::chrono::steady_clock::time_point workerEndedAt;
  std::jthread worker;
};

}  // namespace azuz
