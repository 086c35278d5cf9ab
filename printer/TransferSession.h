#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "CommSettings.h"
#include "Connection.h"

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
// it. Everything that can wait runs on the session's worker: moving spooler queues off the port,
// the open (a name look-up and a connect of up to 10 s), the chunks, the answer, and later the
// close and the queues' return. The owner's thread only asks and is told, so a window stays
// responsive throughout. A cancel wakes whatever the worker waits in, so the block and the
// connection are let go of within about half a second; no thread is ever killed.
//
// The worker may outlive the session while it gives spooler queues back (the spooler can be
// slow); WaitForAllSessions lets a program wait for that before it ends.
//
// Threads: Start, Finish, Cancel, Run and the destructor belong to the owner's thread; the
// hooks and observers run on the worker and must not block.
class TransferSession {
 public:
  enum class Result { Ok, Cancel };
  static constexpr std::chrono::milliseconds kChunkPause{1};
  static constexpr std::chrono::milliseconds kReplyDelay{50};
  static constexpr std::chrono::milliseconds kFinishDelay{1000};

  explicit TransferSession(TransferRequest request);
  // Cancels a transfer still under way; the worker gives the queues back by itself.
  ~TransferSession();
  TransferSession(const TransferSession&) = delete;
  TransferSession& operator=(const TransferSession&) = delete;

  // length / 100, at least 100.
  static std::uint32_t ChunkSize(std::uint32_t length);
  // Waits until every session's worker has ended (queues given back); false on time-out.
  static bool WaitForAllSessions(std::chrono::milliseconds timeout);

  // Worker: moving spooler queues off the port (releaseSpoolerPort), before the open, and back
  // after the close. They get the port's device node.
  std::function<void(const std::string& deviceNode)> releasePorts;
  std::function<void(const std::string& deviceNode)> restorePorts;
  // Worker observers, taken at Start. onOpened: the open ended (false: it failed, the session
  // has ended; Messages() says why). onProgress: after each chunk, the position (the chunk
  // count; above 100 shows as full, 100 again when the block is complete) and the bytes sent.
  // onWorkerEnded: sending has ended (also after a failed open); Finish is due kFinishDelay
  // later. onFinished: the finishing step asked for by RequestFinish is done.
  std::function<void(bool opened)> onOpened;
  std::function<void(int position, std::uint32_t sent)> onProgress;
  std::function<void()> onWorkerEnded;
  std::function<void()> onFinished;

  // Starts the worker, which opens the connection and sends. False only when there is nothing
  // to send: the session has then ended with the cancel result.
  bool Start();
  // True once sending has ended (waits at most `timeout`).
  bool WaitWorker(std::chrono::milliseconds timeout);
  // True once the worker has ended altogether, queues given back (waits at most `timeout`).
  bool WaitEnded(std::chrono::milliseconds timeout);
  // The finishing step, done by the worker: closes the connection and gives spooler queues
  // back, then onFinished. Finish waits for it and ends the session with the OK result when the
  // block went out; otherwise the button shows "Close" and the session waits for the user's
  // Cancel.
  void RequestFinish();
  void Finish();
  // The button, the close box, Enter and Escape: stops the worker, waits until it no longer
  // uses the block or the connection, and ends the session: OK when the whole block had gone
  // out, cancel otherwise. Never waits for the spooler.
  Result Cancel();
  // Start, send, finish a second after the worker and end, as the window does by itself.
  // `interrupted` is polled every 50 ms and acts as the user's Cancel.
  Result Run(const std::function<bool()>& interrupted = {});

  // What the worker left for the user (a failed open, a failed write), oldest first; complete
  // once sending has ended. Taking them empties the list.
  std::vector<ConnectionMessage> TakeMessages();

  int Position() const;
  bool Completed() const;
  // The open succeeded (known once onOpened has come).
  bool Opened() const;
  bool Ended() const { return ended; }
  Result Outcome() const { return outcome; }
  // "Cancel" while sending, "Completed" at the end of a complete transfer, "Close" after a
  // failed one.
  std::string ButtonCaption() const;
  const TransferRequest& Request() const { return request; }

 private:
  struct Shared;
  static void Work(const std::shared_ptr<Shared>& shared);
  void EndAfterFinish();

  TransferRequest request;
  std::shared_ptr<Shared> shared;
  bool started = false;
  bool finished = false;
  bool ended = false;
  Result outcome = Result::Cancel;
};

}  // namespace azuz
