#include "PortOptions.h"

#include "CRegistry.h"
#include "CodePage.h"
#include "ConnectionSetup.h"
#include "PortKind.h"
#include "PortNames.h"

namespace azuz::cli {

namespace {

constexpr std::int32_t kDefaultTcpPort = 9100;

}  // namespace

bool ParseTcpPort(const std::string& text, std::string& host, std::int32_t& port) {
  const std::string scheme = "tcp://";
  if (text.rfind(scheme, 0) != 0) {
    return false;
  }
  host = text.substr(scheme.size());
  port = kDefaultTcpPort;
  const std::size_t colon = host.rfind(':');
  if (colon != std::string::npos) {
    const std::string digits = host.substr(colon + 1);
    if (digits.empty() || digits.size() > 5 ||
        digits.find_first_not_of("0123456789") != std::string::npos) {
      return false;
    }
    port = std::stoi(digits);
    host.resize(colon);
  }
  return !host.empty() && port >= 1 && port <= 65535;
}

void PortOptions::Add(CLI::App& verb) {
  auto* portOption = verb.add_option(
      "--port", port,
      "COM1, \\\\.\\COM12, /dev/ttyUSB0; LPT1, /dev/lp0; /dev/usb/lp0; tcp://HOST[:PORT]");
  auto* printerOption =
      verb.add_option("--printer", printer, "a spooler printer (CUPS queue) instead of a port")
          ->excludes(portOption);
  verb.add_option("--command-line", commandLine,
                  "the connection the designer takes from its command-line tail: \"Custom "
                  "QPT-L712\" (the maker's stored settings) or a print queue's name (its "
                  "device); default: no tail, which is COM1 at 9600 baud, 8N1, hardware flow")
      ->excludes(portOption)
      ->excludes(printerOption);
  verb.add_option("--baud", baud, "serial line speed")->check(CLI::PositiveNumber);
  verb.add_option("--data-bits", dataBits, "serial character size")->check(CLI::Range(5, 8));
  verb.add_option("--parity", parity, "serial parity")
      ->check(CLI::IsMember({"none", "odd", "even", "mark", "space"}));
  verb.add_option("--stop-bits", stopBits, "serial stop bits")
      ->check(CLI::IsMember({"1", "1.5", "2"}));
  verb.add_option("--flow", flow, "serial flow control")
      ->check(CLI::IsMember({"hardware", "xon-xoff"}));
  verb.add_option("--handshake", handshake, "the hardware handshake lines")
      ->check(CLI::IsMember({"dtr-dsr", "rts-cts"}));
}

bool PortOptions::Resolve(ConnectionState& state, std::string& error) const {
  state = ConnectionState{};
  CommSettings& settings = state.settings;
  if (printer.empty() && port.empty()) {
    ConnectionSetup setup;
    setup.SelectStartupConnection(Utf8ToSystem(commandLine));
    state = setup.state;
    return true;
  }
  if (!printer.empty()) {
    state.useDriver = 1;
    settings.portName = printer;
    return true;
  }
  if (!port.empty()) {
    std::string host;
    std::int32_t tcpPort = 0;
    if (port.rfind("tcp://", 0) == 0) {
      if (!ParseTcpPort(port, host, tcpPort)) {
        error = "--port " + port + ": expected tcp://HOST[:PORT]";
        return false;
      }
      state.portKind = kPortKindTcpIp;
      settings.portName = host;
      settings.baudRate = tcpPort;
      return true;
    }
    settings.portName = port;
    state.portKind = TransportForPortName(port);
  }
  settings.baudRate = baud;
  settings.dataBits = dataBits;
  const char* parities[] = {"none", "odd", "even", "mark", "space"};
  for (std::int32_t i = 0; i < 5; ++i) {
    if (parity == parities[i]) {
      settings.parity = i;
    }
  }
  settings.stopBits = stopBits == "1" ? 0 : stopBits == "1.5" ? 1 : 2;
  settings.flowControl = flow == "hardware" ? 0 : 1;
  settings.hardwareHandshake = handshake == "dtr-dsr" ? 0 : 1;
  return true;
}

}  // namespace azuz::cli
