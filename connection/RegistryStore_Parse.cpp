// The .reg text format: a header line, [key] sections, "name"=data lines, ; comments.
#include "RegistryStore.h"

#include <cctype>
#include <string>
#include <string_view>

#include "CodePage.h"
#include "RegistryText.h"
#include "TextHelpers.h"

namespace azuz {

namespace {

constexpr std::string_view kHeader4 = "REGEDIT4";
constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\f' || c == '\v';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) {
    s.remove_prefix(1);
  }
  return s;
}

std::string_view Trim(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) {
    s.remove_suffix(1);
  }
  return s;
}

// Nothing but blanks and an optional comment.
bool RestIsBlank(std::string_view rest) {
  rest = TrimLeft(rest);
  return rest.empty() || rest.front() == ';';
}

bool StartsWithNoCase(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && FoldRegName(s.substr(0, prefix.size())) == prefix;
}

// Reads 1 to maxDigits hex digits from the front of s.
bool TakeHex(std::string_view& s, std::size_t maxDigits, std::uint32_t& value) {
  std::size_t n = 0;
  value = 0;
  while (n < s.size() && HexDigitValue(s[n]) >= 0) {
    if (n == maxDigits) {
      return false;
    }
    value = (value << 4) | static_cast<std::uint32_t>(HexDigitValue(s[n]));
    ++n;
  }
  s.remove_prefix(n);
  return n > 0;
}

// A quoted string at the front of s (s[0] is the quote); \\ and \" are escapes, any other
// backslash stays as written.
bool TakeQuoted(std::string_view& s, std::string& out) {
  out.clear();
  std::size_t i = 1;
  while (i < s.size()) {
    const char c = s[i];
    if (c == '"') {
      s.remove_prefix(i + 1);
      return true;
    }
    if (c == '\\' && i + 1 < s.size() && (s[i + 1] == '\\' || s[i + 1] == '"')) {
      out += s[i + 1];
      i += 2;
      continue;
    }
    out += c;
    ++i;
  }
  return false;
}

bool IsAscii(std::string_view s) {
  for (char c : s) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      return false;
    }
  }
  return true;
}

class LineReader {
 public:
  explicit LineReader(std::string_view text) : text_(text) {}
  bool Next(std::string_view& line) {
    if (pos_ > text_.size() || (pos_ == text_.size() && number_ > 0)) {
      return false;
    }
    std::size_t end = text_.find('\n', pos_);
    if (end == std::string_view::npos) {
      end = text_.size();
    }
    line = text_.substr(pos_, end - pos_);
    if (!line.empty() && line.back() == '\r') {
      line.remove_suffix(1);
    }
    pos_ = end + 1;
    ++number_;
    return true;
  }
  int Number() const { return number_; }

 private:
  std::string_view text_;
  std::size_t pos_ = 0;
  int number_ = 0;
};

class Parser {
 public:
  Parser(RegistryStore& store, bool utf8Text, bool wideData)
      : store_(store), utf8Text_(utf8Text), wideData_(wideData) {}

  void Run(LineReader& lines) {
    std::string_view line;
    while (lines.Next(line)) {
      const std::string_view s = TrimLeft(line);
      if (s.empty() || s.front() == ';') {
        continue;
      }
      if (s.front() == '[') {
        KeyLine(s, lines.Number());
      } else if (s.front() == '"' || s.front() == '@') {
        ValueLine(s, lines);
      } else {
        store_.NoteProblem(lines.Number(), "not a key, value or comment");
      }
    }
  }

 private:
  std::string Name(std::string_view s) const {
    return utf8Text_ && !IsAscii(s) ? Utf8ToSystem(std::string(s)) : std::string(s);
  }

  void KeyLine(std::string_view s, int number) {
    current_ = nullptr;
    const std::size_t close = s.rfind(']');
    if (close == std::string_view::npos || !RestIsBlank(s.substr(close + 1))) {
      store_.NoteProblem(number, "key line without a closing ]");
      return;
    }
    std::string_view path = s.substr(1, close - 1);
    const bool remove = !path.empty() && path.front() == '-';
    if (remove) {
      path.remove_prefix(1);
    }
    const std::size_t slash = path.find('\\');
    RegRoot root;
    if (!ParseRegRoot(path.substr(0, slash), root)) {
      store_.NoteProblem(number, "unknown root key");
      return;
    }
    std::vector<std::string> parts;
    std::string_view rest =
        slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
    while (!rest.empty()) {
      const std::size_t end = std::min(rest.find('\\'), rest.size());
      if (end > RegistryStore::kMaxKeyNameLength) {
        store_.NoteProblem(number, "key name longer than 255 characters");
        return;
      }
      if (end > 0) {
        if (parts.size() == RegistryStore::kMaxKeyDepth) {
          store_.NoteProblem(number, "key path deeper than 512 levels");
          return;
        }
        parts.push_back(Name(rest.substr(0, end)));
      }
      rest.remove_prefix(std::min(end + 1, rest.size()));
    }
    if (remove) {
      store_.DeleteKey(root, parts);
    } else {
      current_ = store_.CreateKey(root, parts);
    }
  }

  void ValueLine(std::string_view s, LineReader& lines) {
    const int number = lines.Number();
    std::string name;
    if (s.front() == '@') {
      s.remove_prefix(1);
    } else if (!TakeQuoted(s, name)) {
      store_.NoteProblem(number, "value name without a closing quote");
      return;
    }
    if (name.size() > RegistryStore::kMaxValueNameLength) {
      store_.NoteProblem(number, "value name too long");
      return;
    }
    s = TrimLeft(s);
    if (s.empty() || s.front() != '=') {
      store_.NoteProblem(number, "value without =");
      return;
    }
    s = TrimLeft(s.substr(1));

    RegValue value;
    value.name = Name(name);
    value.wideText = wideData_;
    bool remove = false;
    bool ok = false;
    if (!s.empty() && s.front() == '-') {
      remove = true;
      ok = RestIsBlank(s.substr(1));
    } else if (!s.empty() && s.front() == '"') {
      ok = StringData(s, value);
    } else if (StartsWithNoCase(s, "dword:")) {
      ok = DwordData(s.substr(6), value);
    } else if (StartsWithNoCase(s, "hex")) {
      ok = HexData(s.substr(3), lines, value);
    }
    if (!ok) {
      store_.NoteProblem(number, "malformed value data");
      return;
    }
    if (current_ == nullptr) {
      store_.NoteProblem(number, "value outside a valid key");
      return;
    }
    const std::string folded = FoldRegName(value.name);
    if (remove) {
      current_->values.erase(folded);
    } else {
      current_->values[folded] = std::move(value);
    }
  }

  bool StringData(std::string_view s, RegValue& value) const {
    std::string text;
    if (!TakeQuoted(s, text) || !RestIsBlank(s)) {
      return false;
    }
    value.type = kRegSz;
    if (wideData_) {
      value.data = Utf8ToUtf16Le(text);
      value.data.insert(value.data.end(), {0, 0});
    } else {
      if (utf8Text_) {
        text = Utf8ToSystem(text);
      }
      value.data.assign(text.begin(), text.end());
      value.data.push_back(0);
    }
    return true;
  }

  static bool DwordData(std::string_view s, RegValue& value) {
    std::uint32_t v = 0;
    if (!TakeHex(s, 8, v) || !RestIsBlank(s)) {
      return false;
    }
    value.type = kRegDword;
    value.data = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                  static_cast<std::uint8_t>(v >> 16), static_cast<std::uint8_t>(v >> 24)};
    return true;
  }

  // hex:bytes or hex(N):bytes; a line ending in a backslash continues on the next.
  static bool HexData(std::string_view s, LineReader& lines, RegValue& value) {
    value.type = kRegBinary;
    if (!s.empty() && s.front() == '(') {
      s.remove_prefix(1);
      std::uint32_t type = 0;
      if (!TakeHex(s, 8, type) || s.empty() || s.front() != ')') {
        return false;
      }
      value.type = type;
      s.remove_prefix(1);
    }
    if (s.empty() || s.front() != ':') {
      return false;
    }
    s.remove_prefix(1);
    bool expectMore = false;
    while (true) {
      s = Trim(s.substr(0, s.find(';')));
      const bool continued = !s.empty() && s.back() == '\\';
      if (continued) {
        s.remove_suffix(1);
      }
      if (!HexBytes(s, expectMore, value.data)) {
        return false;
      }
      if (!continued || !lines.Next(s)) {
        break;
      }
    }
    return true;  // a trailing comma is tolerated
  }

  // Comma-separated bytes; expectMore tells whether the text so far ended in a comma.
  static bool HexBytes(std::string_view s, bool& expectMore, std::vector<std::uint8_t>& out) {
    while (true) {
      s = TrimLeft(s);
      if (s.empty()) {
        return true;
      }
      if (!out.empty() && !expectMore) {
        return false;  // two bytes without a comma between them
      }
      std::uint32_t byte = 0;
      if (!TakeHex(s, 2, byte)) {
        return false;
      }
      out.push_back(static_cast<std::uint8_t>(byte));
      s = TrimLeft(s);
      expectMore = !s.empty() && s.front() == ',';
      if (expectMore) {
        s.remove_prefix(1);
      } else if (!s.empty()) {
        return false;
      }
    }
  }

  RegistryStore& store_;
  bool utf8Text_;
  bool wideData_;
  RegKey* current_ = nullptr;
};

}  // namespace

RegistryStore RegistryStore::Parse(std::string_view bytes) {
  RegistryStore store;
  if (bytes.size() > kMaxFileSize) {
    store.SetError("registry text larger than " + std::to_string(kMaxFileSize >> 20) + " MiB");
    return store;
  }
  std::string decoded;
  bool utf8Text = false;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    decoded = Utf16LeToUtf8(bytes.substr(2));
    bytes = decoded;
    utf8Text = true;
  } else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") {
    bytes.remove_prefix(3);
    utf8Text = true;
  }

  LineReader lines(bytes);
  std::string_view header;
  while (lines.Next(header) && Trim(header).empty()) {
  }
  header = Trim(header);
  bool wideData = false;
  if (header == kHeader5) {
    wideData = true;
    utf8Text = true;
  } else if (header != kHeader4) {
    store.SetError("not a registry file: the first line is neither \"REGEDIT4\" nor \"" +
                   std::string(kHeader5) + "\"");
    return store;
  }
  Parser(store, utf8Text, wideData).Run(lines);
  return store;
}

}  // namespace azuz
