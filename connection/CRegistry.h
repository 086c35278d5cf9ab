#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RegistryStore.h"

namespace azuz {

// Where the configuration store lives: $AZUZ_REGISTRY, else /etc/vurodadud-azuz/registry.reg.
std::string RegistryFilePath();

// Read access to typed values of the configuration store. Never writes. A failed read leaves
// its output untouched.
class CRegistry {
 public:
  // Reads the store from RegistryFilePath().
  explicit CRegistry(RegRoot root);
  CRegistry(RegRoot root, const std::string& path);
  CRegistry(RegRoot root, std::shared_ptr<const RegistryStore> store);

  // REG_DWORD or REG_DWORD_BIG_ENDIAN: the first four data bytes as a little-endian number, with
  // no byte swap for the big-endian type. False for any other type or for fewer than four bytes.
  bool ReadDword(const std::string& subKey, const std::string& valueName,
                 std::int32_t& value) const;
  // REG_SZ, REG_EXPAND_SZ or REG_LINK: the text up to its first NUL, never expanded.
  bool ReadString(const std::string& subKey, const std::string& valueName,
                  std::string& value) const;
  // Opens subKey under HKEY_LOCAL_MACHINE whatever the root. Given outputs are zeroed first; true
  // when either count is above zero.
  bool GetKeyCounts(const std::string& subKey, std::uint32_t* valueCount,
                    std::uint32_t* subKeyCount) const;
  // Names of the sub-keys in enumeration order; false when the key does not exist.
  bool EnumSubKeys(const std::string& subKey, std::vector<std::string>& names) const;
  // The values of a key; false when the key does not exist.
  bool EnumValues(const std::string& subKey, std::vector<const RegValue*>& values) const;

  const RegistryStore& Store() const { return *store_; }

 private:
  RegRoot root_;
  std::shared_ptr<const RegistryStore> store_;
};

// The text of a string value as the system code page holds it, up to the first NUL.
std::string RegValueText(const RegValue& value);

}  // namespace azuz
