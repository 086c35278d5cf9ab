// azuz send, on, off, permanent-on, permanent-off, test-page: the printer commands of the
// designer, sent as its transfer window sends them.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <memory>

#include "CRegistry.h"
#include "CodePage.h"
#include "Connection.h"
#include "DesignRenderer.h"
#include "ExitCodes.h"
#include "PortOptions.h"
#include "PrinterCommands.h"
#include "TransferConsole.h"
#include "TransferReport.h"
#include "TransferRequestFor.h"
#include "TransferSession.h"
#include "Verbs.h"
#include "WatermarkFile.h"

namespace azuz::cli {

namespace {

// Giving parked queues back takes a few exchanges with the spooler, each bounded at 10 s.
constexpr std::chrono::seconds kQueueReturnWait{30};

struct VerbFlags {
  bool json = false;
  bool check = false;
};

// The connection of the verb, named in the report; false (and the verb ended) for a malformed
// option.
bool ResolveConnection(const PortOptions& options, const VerbFlags& flags, TransferReport& report,
                       ConnectionState& state, int& status) {
  std::string error;
  if (!options.Resolve(state, error)) {
    status = report.Conclude(flags.json, kExitUsage, "usage", error);
    return false;
  }
  report.connection = ConnectionJson(state, TransferPortNode(state, RegistryFilePath()));
  return true;
}

int SendCommand(const PrinterCommand& command, const ConnectionState& state, const VerbFlags& flags,
                TransferReport report) {
  report.caption = command.caption;
  report.bytes = static_cast<std::uint32_t>(command.bytes.size());
  const TransferRequest request = MakeTransferRequest(state, command, RegistryFilePath());
  if (flags.check) {
    // Nothing is opened: what would go where.
    if (!flags.json) {
      std::cout << "would send " << report.Summary() << "\n";
    }
    return report.Conclude(flags.json, kExitCompleted, "", "");
  }

  ProgressLine progress(command.caption);
  const InterruptWatch interrupt;
  const auto started = std::chrono::steady_clock::now();
  TransferSession session(request);
  std::atomic<int> position{0};
  std::atomic<std::uint32_t> sent{0};
  session.onProgress = [&position, &sent](int value, std::uint32_t bytes) {
    position = value;
    sent = bytes;
  };
  progress.Draw(0);
  const TransferSession::Result result = session.Run([&] {
    progress.Draw(position);
    return interrupt.Interrupted();
  });
  report.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  report.bytesSent = sent;
  const ConnectionMessage shown = PrintMessages(session.TakeMessages(), &progress);
  report.reason = shown.detail.empty() ? LastConnectionError() : shown.detail;

  const bool cancelled = result != TransferSession::Result::Ok && interrupt.Interrupted();
  progress.End(result == TransferSession::Result::Ok ? session.ButtonCaption()
               : cancelled                           ? "Cancelled"
                                                     : "Failed");
  // The queues the transfer parked come back on its worker.
  if (!TransferSession::WaitForAllSessions(kQueueReturnWait)) {
    std::cerr << "azuz: the print service did not take the parked queues back in time\n";
  }
  if (result == TransferSession::Result::Ok) {
    report.reason.clear();
    return report.Conclude(flags.json, kExitCompleted, "", "");
  }
  if (cancelled) {
    return report.Conclude(flags.json, kExitCancelled, "", "");
  }
  // The port layer has shown its message; a transfer that failed without one still says so.
  const std::string message = shown.text.empty() ? std::string(kMessageTransferFailed) : shown.text;
  return report.Conclude(flags.json, session.Opened() ? kExitTransferFailed : kExitOpenFailed,
                         session.Opened() ? "transfer" : "open", message, !shown.text.empty());
}

struct DesignOptions {
  std::string path;
  std::string model = "QPT-L710";
  std::string page;
};

int SendDesign(const DesignOptions& d, const PortOptions& options, const VerbFlags& flags) {
  TransferReport report;
  report.verb = "send";
  report.check = flags.check;
  report.caption = "Download Watermark image";
  report.design = nlohmann::ordered_json{{"path", d.path}};
  ConnectionState state;
  int status = 0;
  if (!ResolveConnection(options, flags, report, state, status)) {
    return status;
  }
  CORVELIXImageToolDoc doc;
  std::string error;
  const LoadResult loaded = LoadWatermarkFile(d.path, doc, &error);
  if (loaded != LoadResult::Loaded) {
    // A design that can't be read whole isn't sent: the designer would not have opened it.
    return report.Conclude(flags.json, kExitDesignRefused, "design",
                           (loaded == LoadResult::CannotOpen ? "" : d.path + ": ") + error);
  }
  long long width = d.model == "QPT-L710" ? 512 : 576;
  long long height = 330;
  char tail = 0;
  if (!d.page.empty() && std::sscanf(d.page.c_str(), "%lldx%lld%c", &width, &height, &tail) != 2) {
    return report.Conclude(flags.json, kExitUsage, "usage", "--page " + d.page + ": expected WxH");
  }
  if (!PageSizeAllowed(width, height, &error)) {
    return report.Conclude(flags.json, kExitDesignRefused, "design", error);
  }
  doc.pageWidth = static_cast<std::int32_t>(width);
  doc.pageHeight = static_cast<std::int32_t>(height);
  const std::optional<WatermarkImage> image = RenderWatermarkImage(doc, &error);
  if (!image) {
    return report.Conclude(flags.json, kExitDesignRefused, "design", error);
  }
  (*report.design)["width"] = width;
  (*report.design)["height"] = height;
  (*report.design)["imageBytes"] = image->size();
  (*report.design)["sha256"] = Sha256Hex(*image);
  return SendCommand(DownloadCommand(*image), state, flags, std::move(report));
}

void AddFlags(CLI::App& verb, VerbFlags& flags) {
  verb.add_flag("--json", flags.json, "print one JSON object with the outcome on standard output");
  verb.add_flag("--check", flags.check,
                "resolve the connection and say what would be sent where; open nothing");
  verb.footer(kExitCodeHelp);
}

void AddCommandVerb(CLI::App& app, int& status, const char* name, const char* description,
                    PrinterCommand (*build)()) {
  auto* verb = app.add_subcommand(name, description);
  auto options = std::make_shared<PortOptions>();
  auto flags = std::make_shared<VerbFlags>();
  options->Add(*verb);
  AddFlags(*verb, *flags);
  verb->callback([options, flags, build, name, &status] {
    TransferReport report;
    report.verb = name;
    report.check = flags->check;
    ConnectionState state;
    if (ResolveConnection(*options, *flags, report, state, status)) {
      status = SendCommand(build(), state, *flags, std::move(report));
    }
  });
}

}  // namespace

void AddSendVerbs(CLI::App& app, int& status) {
  auto* send = app.add_subcommand("send", "Render a design and download it to the printer");
  auto options = std::make_shared<PortOptions>();
  auto design = std::make_shared<DesignOptions>();
  auto flags = std::make_shared<VerbFlags>();
  send->add_option("design", design->path, "the .bwi file; its pictures resolve from here")
      ->required();
  auto* modelOption =
      send->add_option("--model", design->model, "printer model giving the page width")
          ->check(CLI::IsMember({"QPT-L710", "QPT-L712"}));
  send->add_option("--page", design->page, "page size in dots, WxH")->excludes(modelOption);
  options->Add(*send);
  AddFlags(*send, *flags);
  send->callback([=, &status] { status = SendDesign(*design, *options, *flags); });

  AddCommandVerb(app, status, "on", "Switch the printer's watermark on",
                 [] { return WatermarkSwitchCommand(true); });
  AddCommandVerb(app, status, "off", "Switch the printer's watermark off",
                 [] { return WatermarkSwitchCommand(false); });
  AddCommandVerb(app, status, "permanent-on", "Switch the permanent watermark on",
                 [] { return PermanentSwitchCommand(true); });
  AddCommandVerb(app, status, "permanent-off", "Switch the permanent watermark off",
                 [] { return PermanentSwitchCommand(false); });
  AddCommandVerb(app, status, "test-page", "Print the test watermark page", TestPageCommand);
}

}  // namespace azuz::cli
