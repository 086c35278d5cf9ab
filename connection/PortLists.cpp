#include "PortLists.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <tuple>

#include "UsbPrinters.h"

namespace azuz {

namespace {

// ttyUSB<n> or ttyACM<n>: the stem and n; false for any other name.
bool SerialNodeName(const std::string& name, std::string& stem, unsigned long& number) {
  for (const char* candidate : {"ttyUSB", "ttyACM"}) {
    const std::string s = candidate;
    if (name.size() > s.size() && name.size() <= s.size() + 6 &&
        name.compare(0, s.size(), s) == 0 &&
        std::all_of(name.begin() + static_cast<std::ptrdiff_t>(s.size()), name.end(),
                    [](char c) { return c >= '0' && c <= '9'; })) {
      stem = s;
      number = std::stoul(name.substr(s.size()));
      return true;
    }
  }
  return false;
}

}  // namespace

void FillSerialPortList(std::vector<std::string>& entries, const std::string& devDir) {
  for (int i = 1; i <= 30; ++i) {
    entries.push_back("COM" + std::to_string(i));
  }
  std::vector<std::tuple<std::string, unsigned long, std::string>> present;
  std::error_code error;
  for (const auto& item : std::filesystem::directory_iterator(devDir, error)) {
    std::string stem;
    unsigned long number = 0;
    const std::string name = item.path().filename().string();
    if (SerialNodeName(name, stem, number)) {
      present.emplace_back(stem, number, item.path().string());
    }
  }
  std::sort(present.begin(), present.end());
  for (const auto& node : present) {
    entries.push_back(std::get<2>(node));
  }
}

void FillParallelPortList(std::vector<std::string>& entries) {
  for (int i = 1; i <= 10; ++i) {
    entries.push_back("LPT" + std::to_string(i));
  }
}

void FillUsbPrinterList(std::vector<std::string>& entries, std::vector<std::string>& devicePaths,
                        std::FILE* diagnostics, std::string* reason) {
  const std::vector<UsbPrinterNode> nodes = ListUsbPrinterNodes();
  VisitInBatches(nodes.size(), [&](std::size_t i) {
    const std::string path = UsbInterfacePath(nodes[i], kUsbPrintClass);
    std::string why;
    if (!CanOpenReadWrite(nodes[i].deviceNode, &why)) {
      if (reason != nullptr && reason->empty()) {
        *reason = why;
      }
      std::fprintf(diagnostics, "FAILED to open %s\n", path.c_str());
      std::fflush(diagnostics);
      return false;
    }
    char entry[16];
    std::snprintf(entry, sizeof entry, "USB%02d", static_cast<int>(devicePaths.size()) + 1);
    entries.push_back(entry);
    devicePaths.push_back(path);
    return true;
  });
}

}  // namespace azuz
