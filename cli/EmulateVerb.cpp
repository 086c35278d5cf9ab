// azuz emulate: a virtual QPT printer on TCP, for trying the printer commands without hardware.
#include <csignal>
#include <filesystem>
#include <iostream>
#include <memory>

#include "PrinterEmulator.h"
#include "Verbs.h"

namespace azuz::cli {

namespace {

PrinterEmulator* running = nullptr;

void OnStop(int) {
  if (running) {
    running->Stop();
  }
}

void OnStateRequest(int) {
  if (running) {
    running->RequestState();
  }
}

struct EmulateOptions {
  std::string listen = "127.0.0.1:9100";
  std::string outDir = ".";
  int connections = 0;
};

int Emulate(const EmulateOptions& o) {
  const std::size_t colon = o.listen.rfind(':');
  int port = 0;
  try {
    port = colon == std::string::npos ? -1 : std::stoi(o.listen.substr(colon + 1));
  } catch (const std::exception&) {
    port = -1;
  }
  if (port < 0 || port > 65535) {
    std::cerr << "azuz: --listen " << o.listen << ": expected ADDRESS:PORT\n";
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(o.outDir, error);
  PrinterEmulator emulator;
  emulator.outDir = o.outDir;
  emulator.log = [](const std::string& line) { std::cout << line << std::endl; };
  if (!emulator.Listen(o.listen.substr(0, colon), port)) {
    std::cerr << "azuz: " << emulator.LastError() << "\n";
    return 1;
  }
  std::cout << "emulating a QPT printer on " << o.listen.substr(0, colon) << ":" << emulator.Port()
            << ", writing to " << o.outDir << " (SIGUSR1 prints the state)" << std::endl;
  running = &emulator;
  auto previousInt = std::signal(SIGINT, OnStop);
  auto previousTerm = std::signal(SIGTERM, OnStop);
  auto previousUsr1 = std::signal(SIGUSR1, OnStateRequest);
  emulator.Run(o.connections);
  std::signal(SIGINT, previousInt);
  std::signal(SIGTERM, previousTerm);
  std::signal(SIGUSR1, previousUsr1);
  running = nullptr;
  std::cout << emulator.StateLine() << std::endl;
  return 0;
}

}  // namespace

void AddEmulateVerb(CLI::App& app, int& status) {
  auto* verb = app.add_subcommand("emulate", "Act as a QPT printer on TCP/IP");
  auto o = std::make_shared<EmulateOptions>();
  verb->add_option("--listen", o->listen, "address and port to listen on (loopback by default)");
  verb->add_option("--out", o->outDir, "folder for watermark-N.png/.bin and page-N.txt");
  verb->add_option("--connections", o->connections, "stop after this many connections")
      ->check(CLI::NonNegativeNumber);
  verb->callback([o, &status] { status = Emulate(*o); });
}

}  // namespace azuz::cli
