#include "ExtendedAttributes.h"

#include <sys/xattr.h>

#include <algorithm>
#include <cerrno>
#include <optional>
#include <vector>

namespace azuz {

namespace {

// Calls `get(buffer, size)` the way the *xattr calls want: once for the size, then again with
// room, retrying while another process grows the value between the two calls.
template <typename Get>
std::optional<std::string> ReadSized(Get get) {
  std::string buffer;
  for (;;) {
    const ssize_t size = get(nullptr, 0);
    if (size < 0) {
      return std::nullopt;
    }
    buffer.resize(static_cast<std::size_t>(size));
    const ssize_t got = get(buffer.data(), buffer.size());
    if (got >= 0) {
      buffer.resize(static_cast<std::size_t>(got));
      return buffer;
    }
    if (errno != ERANGE) {
      return std::nullopt;
    }
  }
}

// The names in a NUL-separated list; a file system without attributes has none.
template <typename List>
std::optional<std::vector<std::string>> Names(List list) {
  const std::optional<std::string> text = ReadSized(list);
  if (!text) {
    if (errno == ENOTSUP) {
      return std::vector<std::string>{};
    }
    return std::nullopt;
  }
  std::vector<std::string> names;
  std::size_t start = 0;
  while (start < text->size()) {
    const std::size_t end = text->find('\0', start);
    const std::size_t stop = end == std::string::npos ? text->size() : end;
    if (stop > start) {
      names.push_back(text->substr(start, stop - start));
    }
    start = stop + 1;
  }
  return names;
}

}  // namespace

bool CopyExtendedAttributes(const std::string& fromPath, int toFd) {
  const char* from = fromPath.c_str();
  const auto wanted =
      Names([from](char* buffer, std::size_t size) { return listxattr(from, buffer, size); });
  const auto present =
      Names([toFd](char* buffer, std::size_t size) { return flistxattr(toFd, buffer, size); });
  if (!wanted || !present) {
    return false;
  }
  for (const std::string& name : *present) {
    if (std::find(wanted->begin(), wanted->end(), name) == wanted->end() &&
        fremovexattr(toFd, name.c_str()) != 0) {
      return false;
    }
  }
  for (const std::string& name : *wanted) {
    const auto value = ReadSized([from, &name](char* buffer, std::size_t size) {
      return getxattr(from, name.c_str(), buffer, size);
    });
    if (!value || fsetxattr(toFd, name.c_str(), value->data(), value->size(), 0) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace azuz
