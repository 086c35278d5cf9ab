#include "DeviceUri.h"

#include <string_view>

#include "TextHelpers.h"

namespace azuz {

namespace {

std::string PercentDecode(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexDigitValue(s[i + 1]) >= 0 &&
        HexDigitValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexDigitValue(s[i + 1]) * 16 + HexDigitValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The part after "scheme:", split at the first '?'.
void SplitAfterScheme(const std::string& uri, std::string_view& path, std::string_view& query) {
  std::string_view rest(uri);
  const std::size_t colon = rest.find(':');
  rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
  const std::size_t mark = rest.find('?');
  path = rest.substr(0, mark);
  query = mark == std::string_view::npos ? std::string_view() : rest.substr(mark + 1);
}

// Calls visit(name, value) for every option; the spooler joins them with '+' or '&'.
template <typename Visit>
void ForEachOption(std::string_view query, Visit visit) {
  while (!query.empty()) {
    const std::size_t end = std::min(query.find_first_of("+&"), query.size());
    const std::string_view option = query.substr(0, end);
    const std::size_t eq = option.find('=');
    if (eq != std::string_view::npos) {
      visit(option.substr(0, eq), option.substr(eq + 1));
    }
    query.remove_prefix(std::min(end + 1, query.size()));
  }
}

std::string NodeFromPath(std::string_view path) {
  // serial:/dev/ttyS0 and serial:///dev/ttyS0 both name /dev/ttyS0.
  while (path.size() >= 2 && path[0] == '/' && path[1] == '/') {
    path.remove_prefix(1);
  }
  return path.size() > 1 && path[0] == '/' ? PercentDecode(path) : std::string();
}

std::string Translate(std::string_view value,
                      std::initializer_list<std::pair<std::string_view, std::string_view>> words) {
  for (const auto& [word, text] : words) {
    if (value == word) {
      return std::string(text);
    }
  }
  return std::string(value);
}

}  // namespace

std::string DeviceUriScheme(const std::string& uri) {
  const std::size_t colon = uri.find(':');
  if (colon == std::string::npos) {
    return {};
  }
  return AsciiLower(std::string_view(uri).substr(0, colon));
}

bool ParseSerialUri(const std::string& uri, std::string& node, SerialPortFields& fields) {
  std::string_view path;
  std::string_view query;
  SplitAfterScheme(uri, path, query);
  node = NodeFromPath(path);
  fields = {};
  ForEachOption(query, [&fields](std::string_view name, std::string_view value) {
    if (name == "baud") {
      fields[0] = value;
    } else if (name == "parity") {
      fields[1] = Translate(
          value, {{"none", "n"}, {"odd", "o"}, {"even", "e"}, {"mark", "m"}, {"space", "s"}});
    } else if (name == "bits") {
      fields[2] = value;
    } else if (name == "stop") {
      fields[3] = value;
    } else if (name == "flow") {
      fields[4] = Translate(
          value, {{"soft", "x"}, {"hard", "p"}, {"rtscts", "p"}, {"dtrdsr", "p"}, {"none", "n"}});
    }
  });
  return !node.empty();
}

bool ParseParallelUri(const std::string& uri, std::string& node) {
  std::string_view path;
  std::string_view query;
  SplitAfterScheme(uri, path, query);
  node = NodeFromPath(path);
  return !node.empty();
}

bool ParseUsbUriSerial(const std::string& uri, std::string& serial) {
  std::string_view path;
  std::string_view query;
  SplitAfterScheme(uri, path, query);
  bool found = false;
  ForEachOption(query, [&](std::string_view name, std::string_view value) {
    if (name == "serial" && !found) {
      serial = PercentDecode(value);
      found = !serial.empty();
    }
  });
  return found;
}

bool ParseSocketUri(const std::string& uri, std::string& host, int& port, bool& hasPort) {
  std::string_view path;
  std::string_view query;
  SplitAfterScheme(uri, path, query);
  if (path.substr(0, 2) != "//") {
    return false;
  }
  std::string_view authority = path.substr(2);
  authority = authority.substr(0, authority.find('/'));
  authority = authority.substr(authority.rfind('@') == std::string_view::npos
                                   ? 0
                                   : authority.rfind('@') + 1);  // no credentials
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {  // [IPv6 literal]
    const std::size_t close = authority.find(']');
    if (close == std::string_view::npos) {
      return false;
    }
    host = PercentDecode(authority.substr(1, close - 1));
    const std::string_view after = authority.substr(close + 1);
    if (!after.empty()) {
      if (after.front() != ':') {
        return false;
      }
      portText = after.substr(1);
    }
  } else {
    const std::size_t colon = authority.find(':');
    host = PercentDecode(authority.substr(0, colon));
    if (colon != std::string_view::npos) {
      portText = authority.substr(colon + 1);
    }
  }
  port = 9100;
  hasPort = true;
  if (!portText.empty()) {
    long value = 0;
    for (char c : portText) {
      if (c < '0' || c > '9' || value > 65535) {
        hasPort = false;
        break;
      }
      value = value * 10 + (c - '0');
    }
    hasPort = hasPort && value >= 1 && value <= 65535;
    port = hasPort ? static_cast<int>(value) : 9100;
  }
  return true;
}

}  // namespace azuz
