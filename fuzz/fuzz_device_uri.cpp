// The device-URI readers on arbitrary text, then the whole resolution of a queue with that URI.
#include <cstddef>
#include <cstdint>
#include <string>

#include "ConnectionSetup.h"
#include "DeviceUri.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string uri(reinterpret_cast<const char*>(data), size);
  std::string text;
  azuz::SerialPortFields fields;
  int port = 0;
  bool hasPort = false;
  azuz::ParseSerialUri(uri, text, fields);
  azuz::ParseParallelUri(uri, text);
  azuz::ParseUsbUriSerial(uri, text);
  azuz::ParseSocketUri(uri, text, port, hasPort);
  // USB URIs would ask udev on every input; the other kinds resolve without the system.
  if (azuz::DeviceUriScheme(uri) != "usb") {
    azuz::ConnectionSetup setup;
    setup.registryPath = "/nonexistent/registry.reg";
    setup.ResolveSpoolerQueue("ORVELIX QPT-L712", uri);
  }
  return 0;
}
