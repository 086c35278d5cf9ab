#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CASock.h"
#include "CPortMng.h"
#include "CommSettings.h"
#include "PortKind.h"

namespace azuz {

// The system's own messages of the port layer.
inline constexpr char kMessageCantOpenPort[] = "Error : Can't open port!";
inline constexpr char kMessageConnectFailed[] =
    "Error : Failed to connected \r\nPlease, check IP port configuration in printer control "
    "pannel \"PORT\"";
inline constexpr std::size_t kAnswerCapacity = 255;  // bytes of printer answer read at most
inline constexpr std::int32_t kDefaultTcpPort = 9100;

// A message for the user that an operation left: the system's text and why (errno and what was
// being done), for the message box's details or the tool's second line.
struct ConnectionMessage {
  std::string text;
  std::string detail;
  bool operator==(const ConnectionMessage&) const = default;
};

// One connection at a time, process-wide. Nothing here shows a message: a failed open (and a
// spooler printer that can't be found) leaves its message for TakeConnectionMessages, which the
// caller shows where it can. Open, writes and reads may run on a worker; CancelConnectionIo may
// come from any thread.
//
// With useDriver nothing is touched until the write, and every write is one spooler job to the
// printer named by settings.portName. Otherwise portKind 3 is a TCP/IP connection to
// portName:baudRate, and any other kind a port chosen from the name alone.
bool OpenConnection(std::int32_t portKind, const CommSettings& settings, bool useDriver);
// True when every byte went out. TCP/IP goes in pieces of 1024 bytes with 500 ms after each
// full piece.
bool WriteConnection(const std::uint8_t* data, std::size_t length);
// The printer's answer: at most 255 bytes into `buffer`, waiting about a second at most. Nothing
// with useDriver.
std::size_t ReadConnectionAnswer(std::uint8_t* buffer);
void CloseConnection();
// Ends a connect, write, pause or read under way and makes it fail; the next OpenConnection
// starts afresh.
void CancelConnectionIo();
// Why the last operation failed (empty when nothing is known).
std::string LastConnectionError();
// The messages the operations since the last call left, oldest first; the list is emptied.
std::vector<ConnectionMessage> TakeConnectionMessages();

// The process-wide pieces, for the settings dialog's communication test and for tests.
CASock& ConnectionSocket();
CPortMng& PortManager();

}  // namespace azuz
