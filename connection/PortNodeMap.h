#pragma once

#include <string>
#include <utility>
#include <vector>

#include "CRegistry.h"

namespace azuz {

// Where the names COMn and LPTn may be pointed at other device nodes: value "COM3", data
// "/dev/ttyUSB0", under HKEY_LOCAL_MACHINE.
inline constexpr char kPortsKey[] = "Software\\Vurodadud Azuz\\Ports";

// The program's serial and parallel port names and the device nodes they stand for.
class PortNodeMap {
 public:
  explicit PortNodeMap(const CRegistry& registry);

  // COMn, \\.\COMn and LPTn (a trailing ':' allowed, the prefix case-sensitive, n from 1 up):
  // the node the store maps the name to, else /dev/ttyS(n-1) or /dev/lp(n-1). Empty for any
  // other name.
  std::string NodeForPortName(const std::string& portName) const;

  // The name the program uses for a node: a name the store maps to it, else COMn or LPTn when
  // that name still means the node by default, else the node itself.
  std::string PortNameForNode(const std::string& node) const;

 private:
  std::vector<std::pair<std::string, std::string>> mapped_;  // (port name, node), store order
};

// Splits COMn, \\.\COMn or LPTn (as above) into "COM" or "LPT" and n; false for other names.
bool ParsePortName(const std::string& portName, std::string& prefix, long& number);

}  // namespace azuz
