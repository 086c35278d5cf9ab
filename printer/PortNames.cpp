#include "PortNames.h"

#include <mutex>

namespace azuz {

namespace {

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// "n" of a name "<prefix>n", n from 1 up with nothing after it; 0 otherwise.
unsigned long PortNumber(const std::string& name, std::size_t prefixLength) {
  if (name.size() <= prefixLength || name.size() > prefixLength + 6) {
    return 0;
  }
  unsigned long n = 0;
  for (std::size_t i = prefixLength; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') {
      return 0;
    }
    n = n * 10 + static_cast<unsigned long>(name[i] - '0');
  }
  return n;
}

std::mutex resolverMutex;
PortNodeResolver installedResolver;

}  // namespace

bool IsParallelPortName(const std::string& portName) {
  return StartsWith(portName, "LPT") || StartsWith(portName, "/dev/lp") ||
         StartsWith(portName, "/dev/parport");
}

PortTransport TransportForPortName(const std::string& portName) {
  if (StartsWith(portName, "COM") || StartsWith(portName, "\\\\.\\COM") ||
      StartsWith(portName, "/dev/tty")) {
    return kTransportSerial;
  }
  return IsParallelPortName(portName) ? kTransportParallel : kTransportUsb;
}

std::string DefaultPortNode(const std::string& portName) {
  std::size_t prefix = 0;
  const char* node = nullptr;
  if (StartsWith(portName, "COM")) {
    prefix = 3;
    node = "/dev/ttyS";
  } else if (StartsWith(portName, "\\\\.\\COM")) {
    prefix = 7;
    node = "/dev/ttyS";
  } else if (StartsWith(portName, "LPT")) {
    prefix = 3;
    node = "/dev/lp";
  } else {
    return portName;
  }
  const unsigned long n = PortNumber(portName, prefix);
  return n == 0 ? std::string() : node + std::to_string(n - 1);
}

void SetPortNodeResolver(PortNodeResolver resolver) {
  std::lock_guard lock(resolverMutex);
  installedResolver = std::move(resolver);
}

std::string ResolvePortNode(const std::string& portName) {
  PortNodeResolver resolver;
  {
    std::lock_guard lock(resolverMutex);
    resolver = installedResolver;
  }
  return resolver ? resolver(portName) : DefaultPortNode(portName);
}

}  // namespace azuz
