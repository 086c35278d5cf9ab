#include "PortNodeResolver.h"

#include "CRegistry.h"
#include "PortNames.h"
#include "PortNodeMap.h"
#include "UsbPrinters.h"

namespace azuz {

std::string ConnectionPortNode(const std::string& portName, const std::string& registryPath) {
  std::string prefix;
  long number = 0;
  if (ParsePortName(portName, prefix, number)) {
    return PortNodeMap(CRegistry(RegRoot::LocalMachine, registryPath)).NodeForPortName(portName);
  }
  if (portName.compare(0, 4, "\\\\?\\") == 0) {
    return UsbDeviceNodeForPath(portName);
  }
  return DefaultPortNode(portName);
}

}  // namespace azuz
