#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "CEventEx.h"
#include "EmulatorParser.h"

namespace azuz {

// A virtual QPT printer on TCP for users without hardware and for tests. It serves one
// connection at a time, as the printers do, logs one line per event, answers the user-setting
// mode, and writes every downloaded image as watermark-N.png and watermark-N.bin (the image bytes
// as received) and every connection's text as page-N.txt into its output folder.
class PrinterEmulator {
 public:
  static constexpr int kIdleMs = 1500;  // quiet time after which a pending command is settled

  PrinterEmulator();
  ~PrinterEmulator();
  PrinterEmulator(const PrinterEmulator&) = delete;
  PrinterEmulator& operator=(const PrinterEmulator&) = delete;

  // Binds and listens; port 0 takes a free one (see Port()). False with LastError() set.
  bool Listen(const std::string& address, int port);
  int Port() const { return boundPort; }
  // Serves until Stop(), or until `maxConnections` connections have ended (0: no limit).
  void Run(int maxConnections = 0);
  // From any thread or a signal handler.
  void Stop() { stop.Set(); }
  // From any thread or a signal handler: log the state line.
  void RequestState() { stateRequest.Set(); }

  std::string outDir = ".";
  std::function<void(const std::string& line)> log;
  // Every parsed event, on the serving thread (tests).
  std::function<void(const EmulatorEvent&)> onEvent;
  // Whether to read what arrives; a test printer that stops taking data clears it.
  std::atomic<bool> reading{true};

  EmulatorState State() const;
  std::string StateLine() const;
  const std::string& LastError() const { return lastError; }

 private:
  void Serve(int connection, int number);
  void HandleEvent(const EmulatorEvent& event, int number, std::string& pageText);
  void Log(const std::string& line) const;

  int listenFd = -1;
  int boundPort = 0;
  CEventEx stop;
  CEventEx stateRequest;
  mutable std::recursive_mutex stateMutex;  // the log and event hooks may ask for the state
  EmulatorState state;
  int pageCount = 0;
  std::string lastError;
};

}  // namespace azuz
