#pragma once

#include <cstdint>
#include <string>

namespace azuz {

// The connection settings record, copied whole between the frame, the settings dialog and the
// transfer. Words 6-10 are the read and write time-outs in the order of a serial time-out record.
struct CommSettings {
  std::string portName = "COM1";
  std::int32_t baudRate = 9600;  // TCP/IP: the port number
  std::int32_t dataBits = 8;
  std::int32_t stopBits = 0;     // 0 one, 1 one and a half, 2 two
  std::int32_t parity = 0;       // 0 none, 1 odd, 2 even, 3 mark, 4 space
  std::int32_t flowControl = 0;  // 0 hardware (as hardwareHandshake says), else Xon/Xoff
  std::uint32_t readIntervalTimeout = 0;
  std::uint32_t readTotalTimeoutMultiplier = 0;
  std::uint32_t readTotalTimeoutConstant = 0;
  std::uint32_t writeTotalTimeoutMultiplier = 10;
  std::uint32_t writeTotalTimeoutConstant = 1000;
  std::uint32_t receiveBufferSize = 8192;
  std::uint32_t sendBufferSize = 8192;
  std::int32_t hardwareHandshake = 0;  // 0 DTR/DSR, 1 RTS/CTS
  // Not one of the stored words: a spooler queue whose serial device says it has no flow
  // control. No handshake line is then checked or waited for, whatever the words above say.
  bool noFlowControl = false;

  bool operator==(const CommSettings&) const = default;
};

}  // namespace azuz
