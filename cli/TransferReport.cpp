#include "TransferReport.h"

#include <nettle/sha2.h>

#include <array>
#include <cmath>
#include <iostream>

#include "CodePage.h"
#include "ExitCodes.h"
#include "PortKind.h"

namespace azuz::cli {

using nlohmann::ordered_json;

const char* PortKindName(std::int32_t kind) {
  switch (kind) {
    case kPortKindSerial:
      return "serial";
    case kPortKindParallel:
      return "parallel";
    case kPortKindUsb:
      return "USB";
    case kPortKindTcpIp:
      return "TCP/IP";
    default:
      return "unknown";
  }
}

ordered_json ConnectionJson(const ConnectionState& state, const std::string& node) {
  const CommSettings& s = state.settings;
  if (state.useDriver != 0) {
    return {{"kind", "spooler"}, {"queue", SystemToUtf8(s.portName)}};
  }
  ordered_json j = {{"kind", PortKindName(state.portKind)}, {"port", SystemToUtf8(s.portName)}};
  if (state.portKind == kPortKindTcpIp) {
    j["tcpPort"] = s.baudRate;
    return j;
  }
  j["node"] = SystemToUtf8(node);
  if (state.portKind == kPortKindSerial) {
    j["speed"] = s.baudRate;
  }
  if (state.releaseSpoolerPort != 0) {
    j["parksQueues"] = true;  // queues on this port are moved off it during the transfer
  }
  return j;
}

std::string Sha256Hex(const std::vector<std::uint8_t>& bytes) {
  sha256_ctx context{};
  sha256_init(&context);
  sha256_update(&context, bytes.size(), bytes.data());
  std::array<std::uint8_t, SHA256_DIGEST_SIZE> digest{};
  sha256_digest(&context, digest.size(), digest.data());
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t b : digest) {
    text += kHex[b >> 4];
    text += kHex[b & 15];
  }
  return text;
}

namespace {

// The port layer's reasons read "what: cause (remedy)"; the remedy is the hint.
void SplitReason(const std::string& reason, std::string& cause, std::string& hint) {
  std::string head = reason;
  const std::size_t open = reason.rfind(" (");
  if (open != std::string::npos && reason.back() == ')') {
    hint = reason.substr(open + 2, reason.size() - open - 3);
    head.resize(open);
  }
  const std::size_t colon = head.rfind(": ");
  cause = colon == std::string::npos ? head : head.substr(colon + 2);
}

}  // namespace

ordered_json TransferReport::Json() const {
  ordered_json j = {{"verb", verb}, {"caption", caption}};
  if (check) {
    j["check"] = true;
  }
  j["connection"] = connection;
  if (design) {
    j["design"] = *design;
  }
  j["bytes"] = bytes;
  j["bytesSent"] = bytesSent;
  j["seconds"] = std::round(seconds * 1000) / 1000;
  j["outcome"] = outcome;
  j["exitCode"] = exitCode;
  if (!failedAt.empty()) {
    ordered_json failure = {{"step", failedAt}, {"message", message}};
    if (!reason.empty()) {
      std::string cause;
      std::string hint;
      SplitReason(reason, cause, hint);
      failure["reason"] = reason;
      failure["cause"] = cause;
      if (!hint.empty()) {
        failure["hint"] = hint;
      }
    }
    j["failure"] = failure;
  }
  return j;
}

std::string TransferReport::Summary() const {
  std::string text = std::to_string(bytes) + " bytes (" + caption;
  if (design && design->contains("sha256")) {
    text += ", " + (*design)["path"].get<std::string>() + " " +
            std::to_string((*design)["width"].get<long long>()) + " x " +
            std::to_string((*design)["height"].get<long long>()) + " dots, SHA-256 " +
            (*design)["sha256"].get<std::string>();
  }
  text += ") to ";
  const ordered_json& c = connection;
  if (c.value("kind", "") == "spooler") {
    return text + "the queue " + c.value("queue", "");
  }
  text += c.value("kind", "") + " " + c.value("port", "");
  if (c.contains("tcpPort")) {
    text += " port " + std::to_string(c["tcpPort"].get<int>());
  }
  if (!c.value("node", "").empty()) {
    text += " (" + c.value("node", "") + ")";
  }
  if (c.contains("speed")) {
    text += " at " + std::to_string(c["speed"].get<int>()) + " baud";
  }
  return text;
}

int TransferReport::Conclude(bool json, int code, const std::string& step, const std::string& text,
                             bool textShown) {
  exitCode = code;
  outcome = code == kExitCompleted   ? (check ? "checked" : "completed")
            : code == kExitCancelled ? "cancelled"
                                     : "failed";
  if (code != kExitCompleted && code != kExitCancelled) {
    failedAt = step;
    message = text;
  }
  if (!textShown && !text.empty()) {
    std::cerr << "azuz: " << text << "\n";
  }
  if (json) {
    std::cout << Json().dump(2, ' ', false, ordered_json::error_handler_t::replace) << std::endl;
  }
  return code;
}

}  // namespace azuz::cli
