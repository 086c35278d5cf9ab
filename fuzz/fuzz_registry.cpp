// The .reg parser on arbitrary bytes, then every value read back as the readers do.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "CRegistry.h"

namespace {

void Walk(const azuz::RegKey& key, std::size_t& total) {
  for (const auto& [name, value] : key.values) {
    total += azuz::RegValueText(value).size();
  }
  for (const auto& [name, child] : key.subKeys) {
    Walk(*child, total);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto store = std::make_shared<azuz::RegistryStore>(
      azuz::RegistryStore::Parse(std::string_view(reinterpret_cast<const char*>(data), size)));
  const azuz::CRegistry reg(azuz::RegRoot::LocalMachine, store);
  std::string text;
  std::int32_t number = 0;
  std::uint32_t values = 0;
  std::uint32_t subKeys = 0;
  reg.GetKeyCounts("Software\\ORVELIX\\QPT-L710\\KDW\\Custom", &values, &subKeys);
  reg.ReadString("Software\\ORVELIX\\QPT-L710\\KDW\\Custom", "Port", text);
  reg.ReadDword("Software\\ORVELIX\\QPT-L710\\KDW\\Custom", "BaudRate", number);
  std::size_t total = 0;
  if (const azuz::RegKey* root = store->FindKey(azuz::RegRoot::LocalMachine, "")) {
    Walk(*root, total);
  }
  static volatile std::size_t sink;
  sink = total;
  return 0;
}
