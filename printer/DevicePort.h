#pragma once

#include <string>

#include "CEventEx.h"
#include "CommSettings.h"

namespace azuz {

// What the serial, parallel and USB transports hold alike: the device handle, the settings they
// were configured with (each kind reads its own words), the open flag, the cancel event another
// thread sets to end a wait, and the text of the last failure. No interface: CPortMng owns each
// transport by its own type, and the destructor is the one virtual operation.
class DevicePort {
 public:
  DevicePort(const DevicePort&) = delete;
  DevicePort& operator=(const DevicePort&) = delete;
  virtual ~DevicePort();

  // Closes the handle, if one is held, and clears the open flag. The serial port has a Close of
  // its own (it stops its reader and gives up exclusive use); it is called on the transport's
  // own type.
  void Close();
  // From any thread: ends a write or a read's wait under way (they return what they have).
  void CancelIo() { cancelled.Set(); }

  bool IsOpen() const { return isOpen; }
  const std::string& LastError() const { return lastError; }

 protected:
  DevicePort() = default;

  int handle = -1;
  CommSettings settings;
  bool isOpen = false;
  CEventEx cancelled;
  std::string lastError;
};

}  // namespace azuz
