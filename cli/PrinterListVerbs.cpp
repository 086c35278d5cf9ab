// azuz printers, azuz comm-test: the spooler's queues and the settings dialog's test print.
#include <chrono>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "CRegistry.h"
#include "CommunicationTest.h"
#include "Connection.h"
#include "CupsQueues.h"
#include "ExitCodes.h"
#include "PortOptions.h"
#include "PrinterList.h"
#include "SpoolerPorts.h"
#include "TransferConsole.h"
#include "TransferReport.h"
#include "TransferRequestFor.h"
#include "TransferSession.h"
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
  auto json = std::make_shared<bool>(false);
  options->Add(*verb);
  verb->add_flag("--json", *json, "print one JSON object with the outcome on standard output");
  verb->footer(kExitCodeHelp);
  verb->callback([options, json, &status] {
    TransferReport report;
    report.verb = "comm-test";
    report.caption = "Communication test";
    report.bytes = static_cast<std::uint32_t>(kCommunicationTestLength);
    ConnectionState state;
    std::string error;
    if (!options->Chosen()) {
      error = "comm-test needs --printer QUEUE, --port NAME or --command-line TEXT";
    } else {
      options->Resolve(state, error);
    }
    if (!error.empty()) {
      status = report.Conclude(*json, kExitUsage, "usage", error);
      return;
    }
    CommSettings settings = state.settings;
    const std::string node = TransferPortNode(state, RegistryFilePath());
    report.connection = ConnectionJson(state, node);
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
    const InterruptWatch interrupt;
    const auto started = std::chrono::steady_clock::now();
    bool delivered = false;
    std::vector<ConnectionMessage> messages;
    const int result =
        RunCommunicationTest(state.portKind, settings, state.useDriver != 0, &delivered, &messages);
    if (parking.restore) {
      parking.restore(identity);
    }
    // The port layer's own messages ("Error : Can't open port!") go to standard error.
    const ConnectionMessage shown = PrintMessages(messages);
    report.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    if (delivered) {
      report.bytesSent = report.bytes;
      status = report.Conclude(*json, kExitCompleted, "", "");
    } else if (interrupt.Interrupted()) {
      status = report.Conclude(*json, kExitCancelled, "", "");
    } else if (result != 0) {
      // -1: no such printer; -2: the job could not be started.
      std::cerr << CommunicationTestFailure(result) << "\n";
      status = report.Conclude(*json, result == -1 ? kExitOpenFailed : kExitTransferFailed,
                               result == -1 ? "open" : "transfer", CommunicationTestFailure(result),
                               true);
    } else if (!shown.text.empty()) {
      // Only a failed open leaves a message here; a failed write is silent.
      report.reason = shown.detail;
      status = report.Conclude(*json, kExitOpenFailed, "open", shown.text, true);
    } else {
      report.reason = LastConnectionError();
      std::cerr << "azuz: the test text was not sent: " << report.reason << "\n";
      status =
          report.Conclude(*json, kExitTransferFailed, "transfer", kMessageTransferFailed, true);
    }
  });
}

}  // namespace azuz::cli
