#include "CupsConnection.h"

#include <cstdlib>
#include <cstring>

namespace azuz {

namespace {

thread_local std::string lastError;

// Authentication may ask for a password; a designer or a transfer worker has no terminal to ask
// on, so the answer is always "none" and the request fails as unauthorised.
const char* NeverPrompt(const char*, http_t*, const char*, const char*, void*) {
  return nullptr;
}

// Giving up after the first stall keeps every exchange bounded by kCupsTimeoutSeconds.
int GiveUp(http_t*, void*) {
  return 0;
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

CupsConnection::CupsConnection() = default;

CupsConnection::~CupsConnection() {
  if (http != nullptr) {
    httpClose(http);
  }
}

bool CupsConnection::Open() {
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
  httpSetTimeout(http, kCupsTimeoutSeconds, GiveUp, nullptr);
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
