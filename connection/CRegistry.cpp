#include "CRegistry.h"

#include <cstdlib>

#include "CodePage.h"

namespace azuz {

std::string RegistryFilePath() {
  const char* env = std::getenv("AZUZ_REGISTRY");
  return env != nullptr && *env != '\0' ? env : "/etc/vurodadud-azuz/registry.reg";
}

CRegistry::CRegistry(RegRoot root) : CRegistry(root, RegistryFilePath()) {}

CRegistry::CRegistry(RegRoot root, const std::string& path)
    : root_(root), store_(std::make_shared<RegistryStore>(RegistryStore::LoadFile(path))) {}

CRegistry::CRegistry(RegRoot root, std::shared_ptr<const RegistryStore> store)
    : root_(root), store_(store ? std::move(store) : std::make_shared<RegistryStore>()) {}

bool CRegistry::ReadDword(const std::string& subKey, const std::string& valueName,
                          std::int32_t& value) const {
  const RegValue* v = store_->FindValue(root_, subKey, valueName);
  if (v == nullptr || (v->type != kRegDword && v->type != kRegDwordBigEndian) ||
      v->data.size() < 4) {
    return false;
  }
  value = static_cast<std::int32_t>(static_cast<std::uint32_t>(v->data[0]) |
                                    (static_cast<std::uint32_t>(v->data[1]) << 8) |
                                    (static_cast<std::uint32_t>(v->data[2]) << 16) |
                                    (static_cast<std::uint32_t>(v->data[3]) << 24));
  return true;
}

bool CRegistry::ReadString(const std::string& subKey, const std::string& valueName,
                           std::string& value) const {
  const RegValue* v = store_->FindValue(root_, subKey, valueName);
  if (v == nullptr || (v->type != kRegSz && v->type != kRegExpandSz && v->type != kRegLink)) {
    return false;
  }
  value = RegValueText(*v);
  return true;
}

bool CRegistry::GetKeyCounts(const std::string& subKey, std::uint32_t* valueCount,
                             std::uint32_t* subKeyCount) const {
  if (valueCount != nullptr) {
    *valueCount = 0;
  }
  if (subKeyCount != nullptr) {
    *subKeyCount = 0;
  }
  const RegKey* key = store_->FindKey(RegRoot::LocalMachine, subKey);
  if (key == nullptr) {
    return false;
  }
  const auto values = static_cast<std::uint32_t>(key->values.size());
  const auto subKeys = static_cast<std::uint32_t>(key->subKeys.size());
  if (valueCount != nullptr) {
    *valueCount = values;
  }
  if (subKeyCount != nullptr) {
    *subKeyCount = subKeys;
  }
  return values > 0 || subKeys > 0;
}

bool CRegistry::EnumSubKeys(const std::string& subKey, std::vector<std::string>& names) const {
  const RegKey* key = store_->FindKey(root_, subKey);
  if (key == nullptr) {
    return false;
  }
  names.clear();
  for (const auto& [folded, child] : key->subKeys) {
    names.push_back(child->name);
  }
  return true;
}

bool CRegistry::EnumValues(const std::string& subKey, std::vector<const RegValue*>& values) const {
  const RegKey* key = store_->FindKey(root_, subKey);
  if (key == nullptr) {
    return false;
  }
  values.clear();
  for (const auto& [folded, value] : key->values) {
    values.push_back(&value);
  }
  return true;
}

std::string RegValueText(const RegValue& value) {
  const auto& d = value.data;
  if (!value.wideText) {
    std::size_t end = 0;
    while (end < d.size() && d[end] != 0) {
      ++end;
    }
    return std::string(d.begin(), d.begin() + static_cast<std::ptrdiff_t>(end));
  }
  std::u16string wide;
  for (std::size_t i = 0; i + 1 < d.size(); i += 2) {
    const auto unit = static_cast<char16_t>(d[i] | (d[i + 1] << 8));
    if (unit == 0) {
      break;
    }
    wide += unit;
  }
  return Utf16ToSystem(wide);
}

}  // namespace azuz
