#pragma once

#include <cstddef>
#include <cstdint>
#include <thread>
#include <vector>

#include "CEventEx.h"
#include "CMutexEx.h"
#include "CommSettings.h"
#include "DeviceIo.h"
#include "DevicePort.h"
#include "ModemLineWatch.h"

namespace azuz {

// The serial transport on a terminal device. It takes the port for itself (TIOCEXCL and the
// flock other serial programs honour), accepts it only while the handshake line that
// hardwareHandshake selects is on, writes under a deadline of 5 ms per byte plus 3 s, and keeps
// a reader thread filling a bounded receive buffer from which Read takes an answer.
//
// DTR/DSR flow has no termios flag, so it is kept here: the kernel is given only a few
// characters' time of output at once, and while DSR is low the writer waits on the line. A
// close after a cancelled or failed write discards what is queued; after a good one it waits
// for the queue to leave, no longer than its bytes take at the line speed.
class CPortCom : public DevicePort {
 public:
  // The fixed time-outs (ms); the time-out words of CommSettings don't apply to serial ports.
  static constexpr unsigned kReadIntervalTimeout = 10;
  static constexpr unsigned kReadTotalTimeoutMultiplier = 10;
  static constexpr unsigned kReadTotalTimeoutConstant = 100;
  static constexpr unsigned kWriteTotalTimeoutMultiplier = 5;
  static constexpr unsigned kWriteTotalTimeoutConstant = 3000;
  static constexpr std::size_t kReaderChunk = 108;
  static constexpr std::size_t kAnswerSize = 255;
  // receiveBufferSize comes from stored settings; callers read 255 bytes at most.
  static constexpr std::size_t kMaxReceiveBuffer = 1 << 20;

  CPortCom() = default;
  ~CPortCom() override;

  // Copies words 1-13 and the name; fails on an empty name.
  bool Configure(const CommSettings& settings);
  bool Open();
  // Bytes written before the deadline; 0 when not open, no data or nothing to write.
  std::size_t Write(const std::uint8_t* data, std::size_t length);
  // Up to 255 bytes from the receive buffer; waits a second first unless 255 are already there.
  std::size_t Read(std::uint8_t* buffer);
  // Stops the reader, drains or discards the output, gives up the port and closes the device.
  void Close();

  std::size_t Waiting();

  // Output the kernel may hold at once under DTR/DSR flow: about 10 ms of the line, at least 16.
  std::size_t DsrQueueLimit() const;
  // Microseconds one character takes on the line with the configured framing.
  std::int64_t CharacterMicroseconds() const;

 private:
  void ReaderThread();
  bool DsrFlow() const;
  bool DsrLow() const;
  bool WaitForDsr(IoClock::time_point deadline);
  std::size_t QueuedOutput() const;
  void SettleOutput();

  std::vector<std::uint8_t> receiveBuffer;
  std::size_t count = 0;
  CMutexEx receiveLock;
  CEventEx stopEvent;
  std::jthread reader;
  ModemLineWatch dsrWatch;
  bool writeFailed = false;
};

}  // namespace azuz
