#pragma once

#include <cstdint>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "ConnectionState.h"

namespace azuz::cli {

// "serial", "parallel", "USB", "TCP/IP".
const char* PortKindName(std::int32_t kind);

// Where a transfer over `state` goes: the kind ("spooler" for a queue), the port name or queue,
// the device node a direct port opens, and the speed (the line speed, or the TCP port).
nlohmann::ordered_json ConnectionJson(const ConnectionState& state, const std::string& node);

// Lower-case hex SHA-256 of `bytes`.
std::string Sha256Hex(const std::vector<std::uint8_t>& bytes);

// The one JSON object a printer verb prints with --json.
struct TransferReport {
  std::string verb;
  std::string caption;
  nlohmann::ordered_json connection;
  std::optional<nlohmann::ordered_json> design;  // send only
  bool check = false;
  std::uint32_t bytes = 0;
  std::uint32_t bytesSent = 0;
  double seconds = 0;
  std::string outcome;  // "completed", "failed", "cancelled"; "checked" with --check
  int exitCode = 0;
  // On failure: at which step ("usage", "design", "open", "transfer"), the system's message and
  // what the port layer knows about why.
  std::string failedAt;
  std::string message;
  std::string reason;

  nlohmann::ordered_json Json() const;
  // "<bytes> bytes (<caption>[, the design]) to <connection>".
  std::string Summary() const;
  // Ends the verb with `code`: the outcome set from it, the message on standard error unless the
  // port layer has shown it, Json() on standard output when asked for. Gives `code`.
  int Conclude(bool json, int code, const std::string& step, const std::string& text,
               bool textShown = false);
};

}  // namespace azuz::cli
