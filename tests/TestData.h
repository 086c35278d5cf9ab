#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace azuz::test {

// The third-party corpora; a plain clone has none, and the tests that need them skip.
inline std::filesystem::path TestDataDir() {
  return AZUZ_TESTDATA_DIR;
}

#define AZUZ_REQUIRE_TESTDATA(sub)                                                          \
  do {                                                                                      \
    if (!std::filesystem::is_directory(::azuz::test::TestDataDir() / (sub))) {              \
      GTEST_SKIP() << "test corpus not present: " << (::azuz::test::TestDataDir() / (sub)); \
    }                                                                                       \
  } while (0)

// A fresh directory under the system temp folder, removed with the object.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "azuz-test-XXXXXX").string();
    path_ = mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& Path() const { return path_; }
  std::string operator/(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

}  // namespace azuz::test
