#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "CPortCom.h"
#include "CPortLpt.h"
#include "CPortUsb.h"
#include "CommSettings.h"
#include "PortNames.h"

namespace azuz {

// Owns the one serial, parallel or USB transport in use and passes each operation to it.
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
  void DeleteTransport();

  std::unique_ptr<CPortCom> com;
  std::unique_ptr<CPortLpt> lpt;
  std::unique_ptr<CPortUsb> usb;
  int transportType = -1;
};

}  // namespace azuz
