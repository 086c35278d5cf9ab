#include "RegistryStore.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "TextHelpers.h"

namespace azuz {

namespace {

std::vector<std::string> SplitPath(std::string_view path) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string_view::npos) {
      end = path.size();
    }
    if (end > start) {
      parts.emplace_back(path.substr(start, end - start));
    }
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::string FoldRegName(std::string_view name) {
  return AsciiLower(name);
}

bool ParseRegRoot(std::string_view name, RegRoot& root) {
  static const struct {
    const char* full;
    const char* brief;
    RegRoot root;
  } kRoots[] = {{"hkey_classes_root", "hkcr", RegRoot::ClassesRoot},
                {"hkey_current_user", "hkcu", RegRoot::CurrentUser},
                {"hkey_local_machine", "hklm", RegRoot::LocalMachine},
                {"hkey_users", "hku", RegRoot::Users},
                {"hkey_current_config", "hkcc", RegRoot::CurrentConfig}};
  const std::string folded = FoldRegName(name);
  for (const auto& r : kRoots) {
    if (folded == r.full || folded == r.brief) {
      root = r.root;
      return true;
    }
  }
  return false;
}

RegistryStore::RegistryStore() {
  for (auto& r : roots_) {
    r = std::make_unique<RegKey>();
  }
}

const RegKey* RegistryStore::FindKey(RegRoot root, std::string_view path) const {
  const RegKey* key = roots_[static_cast<std::size_t>(root)].get();
  for (const std::string& part : SplitPath(path)) {
    auto it = key->subKeys.find(FoldRegName(part));
    if (it == key->subKeys.end()) {
      return nullptr;
    }
    key = it->second.get();
  }
  return key;
}

const RegValue* RegistryStore::FindValue(RegRoot root, std::string_view path,
                                         std::string_view name) const {
  const RegKey* key = FindKey(root, path);
  if (key == nullptr) {
    return nullptr;
  }
  auto it = key->values.find(FoldRegName(name));
  return it == key->values.end() ? nullptr : &it->second;
}

RegKey* RegistryStore::CreateKey(RegRoot root, const std::vector<std::string>& parts) {
  RegKey* key = roots_[static_cast<std::size_t>(root)].get();
  for (const std::string& part : parts) {
    auto& slot = key->subKeys[FoldRegName(part)];
    if (!slot) {
      slot = std::make_unique<RegKey>();
      slot->name = part;
    }
    key = slot.get();
  }
  return key;
}

void RegistryStore::DeleteKey(RegRoot root, const std::vector<std::string>& parts) {
  if (parts.empty()) {
    return;  // a root itself cannot be deleted
  }
  RegKey* key = roots_[static_cast<std::size_t>(root)].get();
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
    auto it = key->subKeys.find(FoldRegName(parts[i]));
    if (it == key->subKeys.end()) {
      return;
    }
    key = it->second.get();
  }
  key->subKeys.erase(FoldRegName(parts.back()));
}

void RegistryStore::NoteProblem(int line, const std::string& what) {
  ++skippedLines_;
  if (lastError_.empty()) {
    lastError_ = "line " + std::to_string(line) + ": " + what;
  }
}

RegistryStore RegistryStore::LoadFile(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (file == nullptr) {
    RegistryStore empty;
    if (errno != ENOENT) {
      empty.SetError("cannot open " + path + ": " + std::strerror(errno));
    }
    return empty;
  }
  // Read at most one byte past the limit, so that a device or a pipe cannot make us read forever.
  std::string bytes;
  char buffer[65536];
  std::size_t got = 0;
  while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
    bytes.append(buffer, got);
    if (bytes.size() > kMaxFileSize) {
      break;
    }
  }
  const bool failed = std::ferror(file) != 0;
  const int readErrno = errno;
  std::fclose(file);
  if (failed) {
    RegistryStore empty;
    empty.SetError("cannot read " + path + ": " + std::strerror(readErrno));
    return empty;
  }
  if (bytes.size() > kMaxFileSize) {
    RegistryStore empty;
    empty.SetError(path + " is larger than " + std::to_string(kMaxFileSize >> 20) + " MiB");
    return empty;
  }
  return Parse(bytes);
}

}  // namespace azuz
