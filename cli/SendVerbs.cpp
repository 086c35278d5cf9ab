// azuz send, on, off, permanent-on, permanent-off, test-page: the printer commands of the
// designer, sent as its transfer window sends them.
#include <pthread.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <iostream>
#include <memory>
#include <mutex>
#include <thread>

#include "CRegistry.h"
#include "Connection.h"
#include "DesignRenderer.h"
#include "PortOptions.h"
#include "PrinterCommands.h"
#include "TransferRequestFor.h"
#include "TransferSession.h"
#include "Verbs.h"
#include "WatermarkFile.h"

namespace azuz::cli {

namespace {

std::mutex stderrMutex;
// Giving parked queues back takes a few exchanges with the spooler, each bounded at 10 s.
constexpr std::chrono::seconds kQueueReturnWait{30};
// Ctrl-C, a kill and a closed terminal cancel the transfer. The signals are blocked and taken by
// a thread of their own, which can wake a connect or open under way on the main thread at once
// (a handler could only set a flag the blocked call never looks at).
class InterruptWatch {
 public:
  InterruptWatch() {
    sigemptyset(&signals);
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
      sigaddset(&signals, signal);
    }
    pthread_sigmask(SIG_BLOCK, &signals, &previousMask);
    watcher = std::jthread([this](const std::stop_token& stop) { Watch(stop); });
  }
  ~InterruptWatch() {
    watcher.request_stop();
    watcher.join();
    pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  }
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;
  bool Interrupted() const { return interrupted.load(); }

 private:
  void Watch(const std::stop_token& stop) {
    const timespec slice{0, 50'000'000};
    while (!stop.stop_requested()) {
      if (sigtimedwait(&signals, nullptr, &slice) > 0) {
        interrupted = true;
      }
      // Again on every slice: a cancel that came before the open began is forgotten by it.
      if (interrupted) {
        CancelConnectionIo();
      }
    }
  }

  sigset_t signals{};
  sigset_t previousMask{};
  std::atomic<bool> interrupted{false};
  std::jthread watcher;
};

// The progress window on a terminal: the caption and a bar; nothing when stderr is redirected.
class ProgressLine {
 public:
  explicit ProgressLine(std::string caption) : caption(std::move(caption)) {}
  void Draw(int position) {
    if (!isTerminal) {
      return;
    }
    std::lock_guard lock(stderrMutex);
    const int filled = std::min(position, 100) * 30 / 100;
    std::fprintf(stderr, "\r%s [%s%s] %3d%%", caption.c_str(), std::string(filled, '#').c_str(),
                 std::string(30 - filled, '.').c_str(), std::min(position, 100));
    std::fflush(stderr);
    shown = true;
  }
  void End(const std::string& word) {
    std::lock_guard lock(stderrMutex);
    if (shown) {
      std::fprintf(stderr, " %s\n", word.c_str());
    } else {
      std::fprintf(stderr, "%s: %s\n", caption.c_str(), word.c_str());
    }
    shown = false;
  }
  // Starts a fresh line before a message box's text.
  void Break() {
    if (shown) {
      std::fputc('\n', stderr);
      shown = false;
    }
  }

 private:
  std::string caption;
  bool isTerminal = isatty(STDERR_FILENO) == 1;
  bool shown = false;
};

int SendCommand(const PrinterCommand& command, const PortOptions& options) {
  ConnectionState state;
  std::string error;
  if (!options.Resolve(state, error)) {
    std::cerr << "azuz: " << error << "\n";
    return 2;
  }
  const TransferRequest request = MakeTransferRequest(state, command, RegistryFilePath());

  ProgressLine progress(command.caption);
  const InterruptWatch interrupt;

  TransferSession session(request);
  std::atomic<int> position{0};
  session.onProgress = [&position](int value, std::uint32_t) { position = value; };
  progress.Draw(0);
  const TransferSession::Result result = session.Run([&] {
    progress.Draw(position);
    return interrupt.Interrupted();
  });
  // What the window would have shown in its message boxes.
  for (const ConnectionMessage& message : session.TakeMessages()) {
    std::lock_guard lock(stderrMutex);
    progress.Break();
    std::fprintf(stderr, "%s\n", message.text.c_str());
    if (!message.detail.empty()) {
      std::fprintf(stderr, "  (%s)\n", message.detail.c_str());
    }
  }
  progress.End(result == TransferSession::Result::Ok ? session.ButtonCaption()
               : interrupt.Interrupted()             ? "Cancelled"
                                                     : "Failed");
  // The queues the transfer parked come back on its worker.
  if (!TransferSession::WaitForAllSessions(kQueueReturnWait)) {
    std::fprintf(stderr, "azuz: the print service did not take the parked queues back in time\n");
  }
  return result == TransferSession::Result::Ok ? 0 : 1;
}

int SendDesign(const std::string& path, const std::string& model, const std::string& page,
               const PortOptions& options) {
  CORVELIXImageToolDoc doc;
  std::string error;
  const LoadResult loaded = LoadWatermarkFile(path, doc, &error);
  if (loaded != LoadResult::Loaded) {
    // A design that can't be read whole isn't sent: the designer would not have opened it.
    std::cerr << "azuz: " << (loaded == LoadResult::CannotOpen ? "" : path + ": ") << error << "\n";
    return 1;
  }
  long long width = model == "QPT-L710" ? 512 : 576;
  long long height = 330;
  char tail = 0;
  if (!page.empty() && std::sscanf(page.c_str(), "%lldx%lld%c", &width, &height, &tail) != 2) {
    std::cerr << "azuz: --page " << page << ": expected WxH\n";
    return 2;
  }
  if (!PageSizeAllowed(width, height, &error)) {
    std::cerr << "azuz: " << error << "\n";
    return 1;
  }
  doc.pageWidth = static_cast<std::int32_t>(width);
  doc.pageHeight = static_cast<std::int32_t>(height);
  const std::optional<WatermarkImage> image = RenderWatermarkImage(doc, &error);
  if (!image) {
    std::cerr << "azuz: " << error << "\n";
    return 1;
  }
  return SendCommand(DownloadCommand(*image), options);
}

void AddCommandVerb(CLI::App& app, int& status, const char* name, const char* description,
                    PrinterCommand (*build)()) {
  auto* verb = app.add_subcommand(name, description);
  auto options = std::make_shared<PortOptions>();
  options->Add(*verb);
  verb->callback([options, build, &status] { status = SendCommand(build(), *options); });
}

}  // namespace

void AddSendVerbs(CLI::App& app, int& status) {
  auto* send = app.add_subcommand("send", "Render a design and download it to the printer");
  auto options = std::make_shared<PortOptions>();
  auto design = std::make_shared<std::string>();
  auto model = std::make_shared<std::string>("QPT-L710");
  auto page = std::make_shared<std::string>();
  send->add_option("design", *design, "the .bwi file; its pictures resolve from here")->required();
  auto* modelOption = send->add_option("--model", *model, "printer model giving the page width")
                          ->check(CLI::IsMember({"QPT-L710", "QPT-L712"}));
  send->add_option("--page", *page, "page size in dots, WxH")->excludes(modelOption);
  options->Add(*send);
  send->callback([=, &status] { status = SendDesign(*design, *model, *page, *options); });

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
