#pragma once

#include <functional>
#include <string>

namespace azuz {

// The transport a port name selects, from the name alone: "COM…", "\\.\COM…" and "/dev/tty…"
// are serial; "LPT…", "/dev/lp…" and "/dev/parport…" parallel; anything else is a USB device.
// The Windows prefixes are matched case-sensitively, as they always were ("com1" is USB).
enum PortTransport : int { kTransportSerial = 0, kTransportParallel = 1, kTransportUsb = 2 };
PortTransport TransportForPortName(const std::string& portName);
bool IsParallelPortName(const std::string& portName);

// COMn and \\.\COMn -> /dev/ttyS(n-1), LPTn -> /dev/lp(n-1); any other name is its own node.
// A COM or LPT name without a number from 1 up maps to nothing (empty).
std::string DefaultPortNode(const std::string& portName);

// The mapping the transports open through. The connection layer installs one that consults the
// registry file (and resolves USB interface paths) and falls back to DefaultPortNode; an empty
// function restores the default.
using PortNodeResolver = std::function<std::string(const std::string& portName)>;
void SetPortNodeResolver(PortNodeResolver resolver);
std::string ResolvePortNode(const std::string& portName);

}  // namespace azuz
