#include "DevicePort.h"

#include <unistd.h>

namespace azuz {

DevicePort::~DevicePort() {
  Close();
}

void DevicePort::Close() {
  if (handle >= 0) {
    close(handle);
    handle = -1;
  }
  isOpen = false;
}

}  // namespace azuz
