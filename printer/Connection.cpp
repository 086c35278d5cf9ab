#include "Connection.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <utility>

#include "CupsConnection.h"
#include "Spooler.h"

namespace azuz {

namespace {

constexpr std::size_t kTcpPiece = 1024;
constexpr std::chrono::milliseconds kTcpPause{500};
constexpr std::chrono::milliseconds kTcpAnswerWait{1000};

struct ConnectionState {
  // Also read by CancelConnectionIo from another thread than the open's.
  std::atomic<std::int32_t> portKind{kPortKindSerial};
  std::atomic<bool> useDriver{false};
  std::string driverPrinterName;
  std::string lastError;
  std::mutex messagesMutex;  // left on a worker, taken by the window's thread
  std::vector<ConnectionMessage> messages;
};

ConnectionState& State() {
  static ConnectionState state;
  return state;
}

void Leave(const std::string& text, const std::string& detail) {
  ConnectionState& state = State();
  std::lock_guard lock(state.messagesMutex);
  state.messages.push_back({text, detail});
}

bool SendTcp(const std::uint8_t* data, std::size_t length) {
  CASock& socket = ConnectionSocket();
  std::size_t offset = 0;
  while (length - offset > kTcpPiece) {
    if (socket.Send(data + offset, kTcpPiece) < 1) {
      return false;
    }
    offset += kTcpPiece;
    if (!socket.Pause(kTcpPause)) {
      return false;
    }
  }
  return socket.Send(data + offset, length - offset) >= 1;
}

}  // namespace

CASock& ConnectionSocket() {
  static CASock socket;
  return socket;
}

CPortMng& PortManager() {
  static CPortMng manager;
  return manager;
}

bool OpenConnection(std::int32_t portKind, const CommSettings& settings, bool useDriver) {
  ConnectionState& state = State();
  state.portKind = portKind;
  state.useDriver = useDriver;
  state.lastError.clear();
  if (useDriver) {
    state.driverPrinterName = settings.portName;
    return true;
  }
  if (portKind == kPortKindTcpIp) {
    CASock& socket = ConnectionSocket();
    if (!socket.Create()) {
      state.lastError = socket.LastError();
      Leave(kMessageCantOpenPort, state.lastError);
      return false;
    }
    if (!socket.Connect(settings.portName, settings.baudRate)) {
      state.lastError = socket.LastError();
      // A connect the user stopped needs no message.
      if (!socket.WasCancelled()) {
        Leave(kMessageConnectFailed, state.lastError);
      }
      return false;
    }
    return true;
  }
  CPortMng& manager = PortManager();
  manager.SelectPort(settings);
  if (!manager.OpenPort()) {
    state.lastError = manager.LastError();
    Leave(kMessageCantOpenPort, state.lastError);
    return false;
  }
  return true;
}

bool WriteConnection(const std::uint8_t* data, std::size_t length) {
  ConnectionState& state = State();
  if (state.useDriver) {
    switch (SubmitSpoolerJob(state.driverPrinterName, data, length)) {
      case SpoolerJob::Printed:
        return true;
      case SpoolerJob::NoPrinter:
        // The system's message for a printer that can't be opened is empty; the reason goes along.
        state.lastError = CupsLastError();
        Leave("", state.lastError);
        return false;
      case SpoolerJob::NotStarted:
        state.lastError = CupsLastError();
        return false;
    }
    return false;
  }
  if (data == nullptr || length == 0) {
    return false;
  }
  if (state.portKind == kPortKindTcpIp) {
    const bool ok = SendTcp(data, length);
    if (!ok) {
      state.lastError = ConnectionSocket().LastError();
    }
    return ok;
  }
  const bool ok = PortManager().WritePort(data, length) == length;
  if (!ok) {
    state.lastError = PortManager().LastError();
  }
  return ok;
}

std::size_t ReadConnectionAnswer(std::uint8_t* buffer) {
  const ConnectionState& state = State();
  if (state.useDriver || buffer == nullptr) {
    return 0;
  }
  if (state.portKind == kPortKindTcpIp) {
    const int n = ConnectionSocket().Receive(buffer, kAnswerCapacity, kTcpAnswerWait);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
  }
  return PortManager().ReadPort(buffer);
}

void CloseConnection() {
  const ConnectionState& state = State();
  if (state.useDriver) {
    return;
  }
  if (state.portKind == kPortKindTcpIp) {
    ConnectionSocket().Close();
  } else {
    PortManager().ClosePort();
  }
}

void CancelConnectionIo() {
  const ConnectionState& state = State();
  // Also when the connection is no spooler's: the communication test prints without opening one.
  CancelSpoolerJobs();
  if (state.useDriver) {
    return;
  }
  if (state.portKind == kPortKindTcpIp) {
    ConnectionSocket().Cancel();
  } else {
    PortManager().CancelIo();
  }
}

std::string LastConnectionError() {
  return State().lastError;
}

std::vector<ConnectionMessage> TakeConnectionMessages() {
  ConnectionState& state = State();
  std::lock_guard lock(state.messagesMutex);
  return std::exchange(state.messages, {});
}

}  // namespace azuz
