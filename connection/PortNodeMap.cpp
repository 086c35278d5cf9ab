#include "PortNodeMap.h"

namespace azuz {

namespace {

// Port numbers above this are not names anybody writes; the bound keeps n-1 far from overflow.
constexpr long kMaxPortNumber = 9999;

std::string DefaultNode(const std::string& prefix, long number) {
  return (prefix == "COM" ? "/dev/ttyS" : "/dev/lp") + std::to_string(number - 1);
}

// /dev/ttyS<k> or /dev/lp<k> with a plain decimal k; -1 otherwise.
long NodeNumber(const std::string& node, const std::string& stem) {
  if (node.compare(0, stem.size(), stem) != 0 || node.size() == stem.size() ||
      node.size() - stem.size() > 4) {
    return -1;
  }
  long k = 0;
  for (std::size_t i = stem.size(); i < node.size(); ++i) {
    if (node[i] < '0' || node[i] > '9') {
      return -1;
    }
    k = k * 10 + (node[i] - '0');
  }
  return (node.size() - stem.size() > 1 && node[stem.size()] == '0') ? -1 : k;
}

}  // namespace

bool ParsePortName(const std::string& portName, std::string& prefix, long& number) {
  std::string name = portName;
  if (name.compare(0, 4, "\\\\.\\") == 0) {
    name.erase(0, 4);
    if (name.compare(0, 3, "COM") != 0) {
      return false;
    }
  }
  if (!name.empty() && name.back() == ':') {
    name.pop_back();
  }
  if (name.size() < 4 || name.size() > 7 ||
      (name.compare(0, 3, "COM") != 0 && name.compare(0, 3, "LPT") != 0) || name[3] == '0') {
    return false;
  }
  long n = 0;
  for (std::size_t i = 3; i < name.size(); ++i) {
    if (name[i] < '0' || name[i] > '9') {
      return false;
    }
    n = n * 10 + (name[i] - '0');
  }
  if (n < 1 || n > kMaxPortNumber) {
    return false;
  }
  prefix = name.substr(0, 3);
  number = n;
  return true;
}

PortNodeMap::PortNodeMap(const CRegistry& registry) {
  std::vector<const RegValue*> values;
  if (!registry.EnumValues(kPortsKey, values)) {
    return;
  }
  for (const RegValue* v : values) {
    std::string node;
    std::string prefix;
    long number = 0;
    // Value names match without case in the store; the canonical name is upper case.
    std::string name = v->name;
    for (char& c : name) {
      if (c >= 'a' && c <= 'z') {
        c = static_cast<char>(c - 'a' + 'A');
      }
    }
    if (ParsePortName(name, prefix, number) && registry.ReadString(kPortsKey, v->name, node) &&
        !node.empty()) {
      mapped_.emplace_back(prefix + std::to_string(number), node);
    }
  }
}

std::string PortNodeMap::NodeForPortName(const std::string& portName) const {
  std::string prefix;
  long number = 0;
  if (!ParsePortName(portName, prefix, number)) {
    return {};
  }
  const std::string canonical = prefix + std::to_string(number);
  for (const auto& [name, node] : mapped_) {
    if (name == canonical) {
      return node;
    }
  }
  return DefaultNode(prefix, number);
}

std::string PortNodeMap::PortNameForNode(const std::string& node) const {
  for (const auto& [name, mappedNode] : mapped_) {
    if (mappedNode == node) {
      return name;
    }
  }
  for (const char* prefix : {"COM", "LPT"}) {
    const long k = NodeNumber(node, prefix[0] == 'C' ? "/dev/ttyS" : "/dev/lp");
    if (k >= 0 && k < kMaxPortNumber) {
      std::string name = prefix + std::to_string(k + 1);
      if (NodeForPortName(name) == node) {
        return name;
      }
    }
  }
  return node;
}

}  // namespace azuz
