#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <variant>

#include "CPortCom.h"
#include "CPortLpt.h"
#include "CPortUsb.h"
#include "CommSettings.h"
#include "PortNames.h"

namespace azuz {

// Owns the one serial, parallel or USB transport in use and passes each operation to it.
// SelectPort and the operations come from one thread at a time; CancelIo may come from any other
// while they run.
class CPortMng {
 public:
  // Replaces the owned transport by one suited to settings.portName (from the name alone) and
  // configures it; a failed configure leaves it without a name, so the open fails.
  bool SelectPort(const CommSettings& settings);
  bool OpenPort();
  std::size_t WritePort(const std::uint8_t* data, std::size_t length);
  // Into a buffer of 255 bytes.
  std::size_t ReadPort(std::uint8_t* buffer);
  void ClosePort();
  // From any thread: wakes a write or read of the owned transport.
  void CancelIo();

  // -1 with no transport, else kTransportSerial, kTransportParallel or kTransportUsb.
  int TransportType() const { return transportType; }
  std::string LastError() const;

 private:
  // No transport, or the one in use; its index is the transport type plus one.
  using Transport = std::variant<std::monostate, std::unique_ptr<CPortCom>,
                                 std::unique_ptr<CPortLpt>, std::unique_ptr<CPortUsb>>;
  void Replace(Transport next);
  // `act` on the transport in use; `none` without one.
  template <typename Result, typename Act>
  Result Visit(Result none, Act act) const;

  Transport transport;
  int transportType = -1;
  mutable std::mutex replacing;  // a CancelIo from another thread never sees it half-replaced
};

}  // namespace azuz
