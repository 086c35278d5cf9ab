#include "PrinterEmulator.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "DeviceIo.h"
#include "PngWriter.h"

namespace azuz {

namespace {

constexpr std::size_t kReadSize = std::size_t{64} * 1024;
constexpr std::size_t kMaxPageText = 1 << 20;  // text kept per connection for page-N.txt

bool WriteBytes(const std::string& path, const std::uint8_t* data, std::size_t length) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(length));
  return static_cast<bool>(out);
}

// The one-bit image as it prints: black dots on white.
bool WriteImagePng(const std::string& path, const EmulatorEvent& event, std::string* error) {
  const int width = event.width;
  const int height = event.height;
  if (width <= 0 || height <= 0) {
    return true;  // nothing to show
  }
  const std::size_t rowBytes = (static_cast<std::size_t>(width) + 7) / 8;
  std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height, 0xFFFFFFFFu);
  const std::uint8_t* rows = event.image.data() + 9;
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (rows[y * rowBytes + x / 8] & (0x80 >> (x % 8))) {
        pixels[static_cast<std::size_t>(y) * width + x] = 0xFF000000u;
      }
    }
  }
  return WriteRgbPng(path, pixels.data(), width, height, static_cast<std::size_t>(width), error);
}

}  // namespace

PrinterEmulator::PrinterEmulator() = default;

PrinterEmulator::~PrinterEmulator() {
  if (listenFd >= 0) {
    close(listenFd);
  }
}

void PrinterEmulator::Log(const std::string& line) const {
  if (log) {
    log(line);
  }
}

EmulatorState PrinterEmulator::State() const {
  std::lock_guard lock(stateMutex);
  return state;
}

std::string PrinterEmulator::StateLine() const {
  return "state: " + State().Describe();
}

bool PrinterEmulator::Listen(const std::string& address, int port) {
  sockaddr_in where{};
  where.sin_family = AF_INET;
  where.sin_port = htons(static_cast<std::uint16_t>(port));
  if (port < 0 || port > 65535 || inet_pton(AF_INET, address.c_str(), &where.sin_addr) != 1) {
    lastError = "not an IPv4 address and port: " + address + ":" + std::to_string(port);
    return false;
  }
  listenFd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int on = 1;
  setsockopt(listenFd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  if (listenFd < 0 || bind(listenFd, reinterpret_cast<sockaddr*>(&where), sizeof where) != 0 ||
      listen(listenFd, 4) != 0) {
    lastError = ErrnoText("listen on", address + ":" + std::to_string(port), errno);
    return false;
  }
  socklen_t size = sizeof where;
  getsockname(listenFd, reinterpret_cast<sockaddr*>(&where), &size);
  boundPort = ntohs(where.sin_port);
  return true;
}

void PrinterEmulator::Run(int maxConnections) {
  int served = 0;
  while (maxConnections == 0 || served < maxConnections) {
    pollfd p[3] = {{listenFd, POLLIN, 0}, {stop.Fd(), POLLIN, 0}, {stateRequest.Fd(), POLLIN, 0}};
    if (poll(p, 3, -1) < 0 && errno != EINTR) {
      return;
    }
    if (p[1].revents & POLLIN) {
      return;
    }
    if (p[2].revents & POLLIN) {
      stateRequest.Reset();
      Log(StateLine());
    }
    if (p[0].revents & POLLIN) {
      const int connection = accept4(listenFd, nullptr, nullptr, SOCK_CLOEXEC);
      if (connection >= 0) {
        Serve(connection, ++served);
        close(connection);
      }
    }
  }
}

void PrinterEmulator::HandleEvent(const EmulatorEvent& event, int number, std::string& pageText) {
  std::string line = "#" + std::to_string(number) + " " + event.text;
  if (event.kind == EmulatorEvent::kDownload) {
    const std::string base =
        (std::filesystem::path(outDir) / ("watermark-" + std::to_string(state.downloads))).string();
    std::string error;
    const bool ok = WriteBytes(base + ".bin", event.image.data(), event.image.size()) &&
                    WriteImagePng(base + ".png", event, &error);
    line += ok ? " -> " + base + ".png" : " (cannot write " + base + ": " + error + ")";
  } else if (event.kind == EmulatorEvent::kText && pageText.size() < kMaxPageText) {
    pageText += event.line + "\n";
  }
  Log(line);
  if (onEvent) {
    onEvent(event);
  }
}

void PrinterEmulator::Serve(int connection, int number) {
  Log("#" + std::to_string(number) + " connected");
  std::string pageText;
  std::unique_lock lock(stateMutex);
  EmulatorParser parser(state);
  parser.onEvent = [&](const EmulatorEvent& event) { HandleEvent(event, number, pageText); };
  parser.onAnswer = [connection](const std::uint8_t* data, std::size_t length) {
    [[maybe_unused]] ssize_t ignored = send(connection, data, length, MSG_NOSIGNAL);
  };
  lock.unlock();

  std::vector<std::uint8_t> buffer(kReadSize);
  for (;;) {
    const short events = reading ? POLLIN : 0;
    pollfd p[3] = {{connection, events, 0}, {stop.Fd(), POLLIN, 0}, {stateRequest.Fd(), POLLIN, 0}};
    const int r = poll(p, 3, reading ? kIdleMs : 50);
    if (r < 0 && errno != EINTR) {
      break;
    }
    if (p[1].revents & POLLIN) {
      break;
    }
    if (p[2].revents & POLLIN) {
      stateRequest.Reset();
      Log(StateLine());
    }
    if (r == 0 && reading) {
      lock.lock();
      parser.Idle();
      lock.unlock();
      continue;
    }
    if (p[0].revents & (POLLIN | POLLHUP | POLLERR)) {
      const ssize_t n = recv(connection, buffer.data(), buffer.size(), 0);
      if (n <= 0) {
        break;
      }
      lock.lock();
      parser.Feed(buffer.data(), static_cast<std::size_t>(n));
      lock.unlock();
    }
  }
  lock.lock();
  parser.EndOfStream();
  lock.unlock();
  if (!pageText.empty()) {
    const std::string path =
        (std::filesystem::path(outDir) / ("page-" + std::to_string(++pageCount) + ".txt")).string();
    WriteBytes(path, reinterpret_cast<const std::uint8_t*>(pageText.data()), pageText.size());
    Log("#" + std::to_string(number) + " text page -> " + path);
  }
  Log("#" + std::to_string(number) + " closed; " + StateLine());
}

}  // namespace azuz
