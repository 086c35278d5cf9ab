#pragma once

#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>

#include "ConnectionState.h"

namespace azuz::cli {

// --port, --printer, --command-line and the serial line options of the printer verbs, and what
// they make of them.
struct PortOptions {
  std::string port;
  std::string printer;
  std::string commandLine;
  std::int32_t baud = 9600;
  std::int32_t dataBits = 8;
  std::string parity = "none";
  std::string stopBits = "1";
  std::string flow = "hardware";
  std::string handshake = "dtr-dsr";

  void Add(CLI::App& verb);
  // The connection: without --port or --printer the designer's start-up decision on
  // --command-line ("Custom <model>": the maker's stored settings; a queue: its device; nothing:
  // COM1, 9600, 8 data bits, no parity, one stop bit, hardware flow).
  // False with `error` for a malformed --port.
  bool Resolve(ConnectionState& state, std::string& error) const;
  bool Chosen() const { return !port.empty() || !printer.empty() || !commandLine.empty(); }
};

// "tcp://HOST[:PORT]" into host and port (9100 when absent); false when it isn't one.
bool ParseTcpPort(const std::string& text, std::string& host, std::int32_t& port);

}  // namespace azuz::cli
