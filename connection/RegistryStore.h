#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace azuz {

// The predefined roots of the configuration store.
enum class RegRoot { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

// Value types as the store records them.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegLink = 6;
inline constexpr std::uint32_t kRegMultiSz = 7;
inline constexpr std::uint32_t kRegQword = 11;

struct RegValue {
  std::string name;  // as written, in the system code page; empty for the default value
  std::uint32_t type = kRegNone;
  std::vector<std::uint8_t> data;
  // Text data is UTF-16LE (version 5.00 files) rather than code-page bytes (REGEDIT4 files).
  bool wideText = false;
};

// Names match without regard to ASCII case, as the store's names do.
std::string FoldRegName(std::string_view name);

struct RegKey {
  std::string name;
  std::map<std::string, RegValue> values;                  // by folded name
  std::map<std::string, std::unique_ptr<RegKey>> subKeys;  // by folded name: enumeration order
};

// The whole configuration store, read from one .reg file. Read-only once loaded.
class RegistryStore {
 public:
  // Windows' own limits, which also bound what a hostile file can make us allocate.
  static constexpr std::size_t kMaxKeyNameLength = 255;
  static constexpr std::size_t kMaxKeyDepth = 512;
  static constexpr std::size_t kMaxValueNameLength = 16383;
  static constexpr std::size_t kMaxFileSize = 64u << 20;

  RegistryStore();

  // Parses .reg text; malformed lines are skipped and counted, never fatal.
  static RegistryStore Parse(std::string_view bytes);
  // A missing file gives an empty store; an unreadable or oversized one gives an empty store
  // and says why in LastError().
  static RegistryStore LoadFile(const std::string& path);

  // The key at a backslash-separated path under a root; empty parts are ignored.
  const RegKey* FindKey(RegRoot root, std::string_view path) const;
  const RegValue* FindValue(RegRoot root, std::string_view path, std::string_view name) const;

  // Editing, used by the parser. Paths are already split into parts.
  RegKey* CreateKey(RegRoot root, const std::vector<std::string>& parts);
  void DeleteKey(RegRoot root, const std::vector<std::string>& parts);

  int SkippedLines() const { return skippedLines_; }
  // The first problem met while loading, with its line number; empty when there was none.
  const std::string& LastError() const { return lastError_; }
  void NoteProblem(int line, const std::string& what);
  void SetError(const std::string& what) { lastError_ = what; }

 private:
  std::array<std::unique_ptr<RegKey>, 5> roots_;
  int skippedLines_ = 0;
  std::string lastError_;
};

// Root names of key paths in .reg files ("HKEY_LOCAL_MACHINE" or "HKLM"); false when unknown.
bool ParseRegRoot(std::string_view name, RegRoot& root);

}  // namespace azuz
