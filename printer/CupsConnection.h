#pragma once

#include <cups/cups.h>

#include <atomic>
#include <chrono>
#include <string>

namespace azuz {

// One HTTP connection to the local print service for one operation. Never calls cupsSetServer (its
// setting is per thread and spooler writes run on the transfer worker): the server comes from
// CUPS_SERVER when set, else from libcups' own configuration. Authentication never prompts on a
// terminal, and every exchange is bounded in time so an unreachable or stuck cupsd can't hold the
// caller. A connection given a cancel flag gives up within about a tenth of a second once the
// flag is set and WakeCancelled has run, wherever libcups waits.
class CupsConnection {
 public:
  explicit CupsConnection(const std::atomic<bool>* cancel = nullptr);
  ~CupsConnection();
  CupsConnection(const CupsConnection&) = delete;
  CupsConnection& operator=(const CupsConnection&) = delete;

  // False when cupsd can't be reached; CupsLastError() says why.
  bool Open();
  http_t* Http() const { return http; }

  // From any thread: ends the exchanges of the open connections whose cancel flag is set.
  static void WakeCancelled();

  // Sends an IPP request (consumed) to `resource` and returns the response, or nullptr when the
  // exchange failed. The IPP status of the answer is cupsLastError() on this thread.
  ipp_t* Request(ipp_t* request, const char* resource);

 private:
  static int KeepWaiting(http_t* http, void* self);

  http_t* http = nullptr;
  const std::atomic<bool>* cancel;
  std::chrono::steady_clock::time_point stallStart{};
  std::chrono::steady_clock::time_point lastStall{};
};

// "ipp://localhost/printers/<name>", the URI cupsd knows a local queue by.
std::string CupsPrinterUri(const std::string& name);

// Why the last spooler operation on this thread failed (empty after success).
const std::string& CupsLastError();
void SetCupsLastError(const std::string& text);

// Seconds any single exchange with cupsd may stall before it is given up.
inline constexpr double kCupsTimeoutSeconds = 10.0;

}  // namespace azuz
