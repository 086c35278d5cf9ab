// azuz printers, azuz comm-test: the spooler's queues and the settings dialog's test print.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "CommunicationTest.h"
#include "Connection.h"
#include "CupsQueues.h"
#include "PortNames.h"
#include "PrinterList.h"
#include "Verbs.h"

namespace azuz::cli {

namespace {

void ListPrinters(bool json, int& status) {
  const auto queues = ListLocalCupsQueues();
  if (!queues) {
    std::cerr << "azuz: cannot list the print queues: " << CupsLastError() << "\n";
    status = 1;
    return;
  }
  if (json) {
    auto list = nlohmann::ordered_json::array();
    for (const CupsQueue& q : *queues) {
      list.push_back({{"name", q.name},
                      {"makeAndModel", q.makeAndModel},
                      {"deviceUri", q.deviceUri},
                      {"supported", IsSupportedDriverName(q.makeAndModel)}});
    }
    std::cout << list.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) << "\n";
  } else {
    for (const CupsQueue& q : *queues) {
      std::cout << q.name << "\t" << q.makeAndModel << "\t" << q.deviceUri << "\t"
                << (IsSupportedDriverName(q.makeAndModel) ? "supported" : "unsupported") << "\n";
    }
  }
  status = 0;
}

struct CommTestOptions {
  std::string printer;
  std::string port;
  bool tcp = false;
  int tcpPort = kDefaultTcpPort;
  int baud = 9600;
};

}  // namespace

void AddPrintersVerb(CLI::App& app, int& status) {
  auto* verb = app.add_subcommand(
      "printers", "List the local print queues: name, make-and-model, device URI, supported");
  auto json = std::make_shared<bool>(false);
  verb->add_flag("--json", *json, "print JSON");
  verb->callback([json, &status] { ListPrinters(*json, status); });
}

void AddCommTestVerb(CLI::App& app, int& status) {
  auto* verb = app.add_subcommand("comm-test",
                                  "Send the communication test text as the settings dialog does");
  auto options = std::make_shared<CommTestOptions>();
  auto* printer = verb->add_option("--printer", options->printer, "a print queue (driver mode)");
  auto* port = verb->add_option("--port", options->port,
                                "a port: COMn, LPTn, a device node, or an address with --tcp");
  printer->excludes(port);
  verb->add_flag("--tcp", options->tcp, "--port is a TCP/IP address");
  verb->add_option("--tcp-port", options->tcpPort, "TCP port for --tcp")->capture_default_str();
  verb->add_option("--baud", options->baud, "serial line speed")->capture_default_str();
  verb->callback([options, &status] {
    if (options->printer.empty() == options->port.empty()) {
      std::cerr << "azuz: comm-test needs --printer QUEUE or --port NAME\n";
      status = 2;
      return;
    }
    const bool useDriver = !options->printer.empty();
    CommSettings settings;
    std::int32_t portKind = kPortKindSerial;
    if (useDriver) {
      settings.portName = options->printer;
    } else {
      settings.portName = options->port;
      portKind = options->tcp ? std::int32_t{kPortKindTcp}
                              : std::int32_t{TransportForPortName(options->port)};
      settings.baudRate = options->tcp ? options->tcpPort : options->baud;
    }
    bool delivered = false;
    const int result = RunCommunicationTest(portKind, settings, useDriver, &delivered);
    if (result != 0) {
      std::cerr << CommunicationTestFailure(result) << "\n";
    } else if (!delivered) {
      std::cerr << "azuz: the test text was not sent: " << LastConnectionError() << "\n";
    }
    status = delivered ? 0 : 1;
  });
}

}  // namespace azuz::cli
