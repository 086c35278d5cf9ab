#include "ParkedQueueTable.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "CupsQueues.h"

namespace azuz {

namespace {

struct ParkedLine {
  long pid = 0;
  std::string queue;
  std::string deviceUri;
};

bool ProcessAlive(long pid) {
  return pid > 0 && (kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM);
}

// Tab-separated; a queue name or URI never holds a tab or a line break (cupsd refuses them).
std::vector<ParkedLine> ReadLines(const std::string& path) {
  std::vector<ParkedLine> lines;
  std::ifstream in(path);
  std::string text;
  while (std::getline(in, text)) {
    const std::size_t first = text.find('\t');
    const std::size_t second = first == std::string::npos ? first : text.find('\t', first + 1);
    if (second == std::string::npos) {
      continue;
    }
    ParkedLine line;
    line.pid = std::strtol(text.c_str(), nullptr, 10);
    line.queue = text.substr(first + 1, second - first - 1);
    line.deviceUri = text.substr(second + 1);
    if (line.pid > 0 && !line.queue.empty()) {
      lines.push_back(std::move(line));
    }
  }
  return lines;
}

// Replaces the file whole (write, then rename), so a reader never sees half a table.
void WriteLines(const std::string& path, const std::vector<ParkedLine>& lines) {
  std::error_code ignored;
  if (lines.empty()) {
    std::filesystem::remove(path, ignored);
    return;
  }
  const std::string temporary = path + "." + std::to_string(getpid());
  {
    std::ofstream out(temporary, std::ios::trunc);
    for (const ParkedLine& line : lines) {
      out << line.pid << '\t' << line.queue << '\t' << line.deviceUri << '\n';
    }
    if (!out) {
      std::filesystem::remove(temporary, ignored);
      return;
    }
  }
  std::filesystem::rename(temporary, path, ignored);
}

// Both programs may run at once: the table is changed under an advisory lock of its own.
class TableLock {
 public:
  explicit TableLock(const std::string& path) {
    std::error_code ignored;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
    fd = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd >= 0) {
      while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
      }
    }
  }
  ~TableLock() {
    if (fd >= 0) {
      close(fd);
    }
  }
  TableLock(const TableLock&) = delete;
  TableLock& operator=(const TableLock&) = delete;
  bool Held() const { return fd >= 0; }

 private:
  int fd = -1;
};

}  // namespace

std::string ParkedQueueTablePath() {
  if (const char* path = std::getenv("AZUZ_PARKED_QUEUES"); path != nullptr && *path != '\0') {
    return path;
  }
  std::string base;
  if (const char* state = std::getenv("XDG_STATE_HOME"); state != nullptr && *state == '/') {
    base = state;
  } else if (const char* home = std::getenv("HOME"); home != nullptr && *home == '/') {
    base = std::string(home) + "/.local/state";
  } else {
    return {};
  }
  return base + "/vurodadud-azuz/parked-queues";
}

void RecordParkedQueues(const SavedPorts& parked) {
  const std::string path = ParkedQueueTablePath();
  if (path.empty()) {
    return;
  }
  const TableLock lock(path);
  if (!lock.Held()) {
    return;
  }
  const long self = getpid();
  std::vector<ParkedLine> lines;
  for (ParkedLine& line : ReadLines(path)) {
    if (line.pid != self) {
      lines.push_back(std::move(line));
    }
  }
  for (const auto& [queue, deviceUri] : parked) {
    lines.push_back({self, queue, deviceUri});
  }
  WriteLines(path, lines);
}

int RestoreLeftoverParkedQueues() {
  const std::string path = ParkedQueueTablePath();
  if (path.empty()) {
    return 0;
  }
  const TableLock lock(path);
  if (!lock.Held()) {
    return 0;
  }
  std::vector<ParkedLine> lines = ReadLines(path);
  if (lines.empty()) {
    return 0;
  }
  // A spooler that can't be asked now loses nothing: the table waits for the next start.
  const auto queues = ListCupsQueues();
  if (!queues) {
    return 0;
  }
  auto exists = [&queues](const std::string& name) {
    for (const CupsQueue& queue : *queues) {
      if (queue.name == name) {
        return true;
      }
    }
    return false;
  };
  int restored = 0;
  std::vector<ParkedLine> kept;
  for (ParkedLine& line : lines) {
    const bool stillParking = ProcessAlive(line.pid) && line.pid != getpid();
    if (!stillParking && SetCupsQueueDeviceUri(line.queue, line.deviceUri)) {
      ++restored;
    } else if (stillParking || exists(line.queue)) {
      // A run under way, or a refusal for now (busy, not allowed): tried again next start.
      kept.push_back(std::move(line));
    }
  }
  WriteLines(path, kept);
  return restored;
}

}  // namespace azuz
