// azuz printers, azuz comm-test: the spooler's queues and the settings dialog's test print.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "CRegistry.h"
#include "CommunicationTest.h"
#include "Connection.h"
#include "CupsQueues.h"
#include "PortOptions.h"
#include "PrinterList.h"
#include "SpoolerPorts.h"
#include "TransferRequestFor.h"
#include "Verbs.h"

namespace azuz::cli {

namespace {

// A network printer's address as a queue's device URI holds it: without the dialog's blanks.
std::string Compact(const std::string& address) {
  std::string compact;
  for (const char c : address) {
    if (c != ' ') {
      compact += c;
    }
  }
  return compact;
}

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
  auto options = std::make_shared<PortOptions>();
  options->Add(*verb);
  verb->callback([options, &status] {
    ConnectionState state;
    std::string error;
    if (!options->Chosen()) {
      error = "comm-test needs --printer QUEUE, --port NAME or --command-line TEXT";
    } else {
      options->Resolve(state, error);
    }
    if (!error.empty()) {
      std::cerr << "azuz: " << error << "\n";
      status = 2;
      return;
    }
    CommSettings settings = state.settings;
    const std::string node = TransferPortNode(state, RegistryFilePath());
    if (!node.empty()) {
      settings.portName = node;
    }
    // A queue on the port is parked for the test as for a send, so that its jobs don't mix in.
    SpoolerPortHooks parking;
    const std::string identity =
        state.portKind == kPortKindTcpIp ? Compact(settings.portName) : node;
    if (state.releaseSpoolerPort != 0 && state.useDriver == 0) {
      parking = MakeSpoolerPortHooks();
      parking.release(identity);
    }
    bool delivered = false;
    std::vector<ConnectionMessage> messages;
    const int result =
        RunCommunicationTest(state.portKind, settings, state.useDriver != 0, &delivered, &messages);
    if (parking.restore) {
      parking.restore(identity);
    }
    // The port layer's own messages ("Error : Can't open port!") go to standard error.
    for (const ConnectionMessage& message : messages) {
      std::cerr << message.text << (message.detail.empty() ? "" : "\n  (" + message.detail + ")")
                << "\n";
    }
    if (result != 0) {
      std::cerr << CommunicationTestFailure(result) << "\n";
    } else if (!delivered) {
      std::cerr << "azuz: the test text was not sent: " << LastConnectionError() << "\n";
    }
    status = delivered ? 0 : 1;
  });
}

}  // namespace azuz::cli
