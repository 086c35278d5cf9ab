#pragma once

#include <cstdint>
#include <string>

#include "CommSettings.h"
#include "PortKind.h"

namespace azuz {

// How the printer is reached: decided at start, changed afterwards only by the settings dialog.
struct ConnectionState {
  std::int32_t portKind = kPortKindSerial;
  std::int32_t useDriver = 0;  // nonzero: through the spooler printer named in settings.portName
  // Nonzero: the serial or parallel port came from a spooler printer, whose queues a direct
  // transfer moves off the port meanwhile.
  std::int32_t releaseSpoolerPort = 0;
  CommSettings settings;
  std::string driverKey;  // where the USB printer driver lists its instances; "Custom" start only

  bool operator==(const ConnectionState&) const = default;
};

}  // namespace azuz
