#include "CupsConnection.h"

#include <sys/socket.h>

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <set>

namespace azuz {

namespace {

thread_local std::string lastError;

// Authentication may ask for a password; a designer or a transfer worker has no terminal to ask
// on, so the answer is always "none" and the request fails as unauthorised.
const char* NeverPrompt(const char*, http_t*, const char*, const char*, void*) {
  return nullptr;
}

// libcups asks KeepWaiting after every slice of a wait in which nothing moved.
constexpr double kWaitSliceSeconds = 0.1;

// The open connections that a cancel may end; some libcups waits (the second it gives a server
// to say "100 Continue") never ask KeepWaiting, so a cancel also shuts their socket down.
struct Cancellable {
  std::mutex mutex;
  std::set<CupsConnection*> open;
};

Cancellable& CancellableConnections() {
  static Cancellable connections;
  return connections;
}

struct ServerAddress {
  std::string host;
  int port;
};

// libcups caches its server per thread on first use; reading CUPS_SERVER ourselves means a value
// set later in the process still counts. Forms: "/path/to/socket", "host", "host:port",
// "[v6]:port".
ServerAddress ChooseServer() {
  const char* env = std::getenv("CUPS_SERVER");
  if (env == nullptr || *env == '\0') {
    return {cupsServer(), ippPort()};
  }
  std::string server = env;
  if (server[0] == '/') {
    return {server, ippPort()};
  }
  const auto colon = server.rfind(':');
  const auto bracket = server.rfind(']');
  const bool hostIsV6 = server[0] == '[';
  if (colon != std::string::npos &&
      (hostIsV6 ? bracket != std::string::npos && colon > bracket : server.find(':') == colon)) {
    const int port = std::atoi(server.c_str() + colon + 1);
    server.resize(colon);
    return {server, port > 0 ? port : ippPort()};
  }
  return {server, ippPort()};
}

}  // namespace

const std::string& CupsLastError() {
  return lastError;
}

void SetCupsLastError(const std::string& text) {
  lastError = text;
}

std::string CupsPrinterUri(const std::string& name) {
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                   "/printers/%s", name.c_str());
  return uri;
}

CupsConnection::CupsConnection(const std::atomic<bool>* cancelFlag) : cancel(cancelFlag) {}

CupsConnection::~CupsConnection() {
  if (http == nullptr) {
    return;
  }
  if (cancel != nullptr) {
    Cancellable& connections = CancellableConnections();
    std::lock_guard lock(connections.mutex);
    connections.open.erase(this);
  }
  httpClose(http);
}

void CupsConnection::WakeCancelled() {
  Cancellable& connections = CancellableConnections();
  std::lock_guard lock(connections.mutex);
  for (CupsConnection* connection : connections.open) {
    if (connection->cancel->load()) {
      // The socket alone: libcups' own teardown belongs to the connection's thread.
      shutdown(httpGetFd(connection->http), SHUT_RDWR);
    }
  }
}

// Slices that follow each other closely are one stall; a stall of kCupsTimeoutSeconds, or a
// cancel, ends the exchange.
int CupsConnection::KeepWaiting(http_t*, void* self) {
  auto* connection = static_cast<CupsConnection*>(self);
  if (connection->cancel != nullptr && connection->cancel->load()) {
    return 0;
  }
  const auto now = std::chrono::steady_clock::now();
  if (now - connection->lastStall > std::chrono::duration<double>(3 * kWaitSliceSeconds)) {
    connection->stallStart = now;
  }
  connection->lastStall = now;
  return now - connection->stallStart < std::chrono::duration<double>(kCupsTimeoutSeconds) ? 1 : 0;
}

bool CupsConnection::Open() {
  if (cancel != nullptr && cancel->load()) {
    SetCupsLastError("cancelled");
    return false;
  }
  cupsSetPasswordCB2(NeverPrompt, nullptr);
  const ServerAddress server = ChooseServer();
  constexpr int kConnectMilliseconds = 5000;
  http = httpConnect2(server.host.c_str(), server.port, nullptr, AF_UNSPEC, cupsEncryption(), 1,
                      kConnectMilliseconds, nullptr);
  if (http == nullptr) {
    SetCupsLastError("cannot reach the print service at " + server.host + ": " +
                     cupsLastErrorString());
    return false;
  }
  httpSetTimeout(http, kWaitSliceSeconds, KeepWaiting, this);
  if (cancel != nullptr) {
    Cancellable& connections = CancellableConnections();
    std::lock_guard lock(connections.mutex);
    connections.open.insert(this);
    // A cancel that came while the connection was being made found nothing to wake.
    if (cancel->load()) {
      shutdown(httpGetFd(http), SHUT_RDWR);
    }
  }
  SetCupsLastError({});
  return true;
}

ipp_t* CupsConnection::Request(ipp_t* request, const char* resource) {
  ipp_t* response = cupsDoRequest(http, request, resource);
  if (response == nullptr || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
    SetCupsLastError(cupsLastErrorString());
  }
  return response;
}

}  // namespace azuz
