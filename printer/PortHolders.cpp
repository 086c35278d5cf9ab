#include "PortHolders.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace azuz {

namespace {

namespace fs = std::filesystem;

// Enough for any machine; the scan must end even on one with runaway processes.
constexpr int kMaxProcesses = 65536;
constexpr int kMaxFdsPerProcess = 4096;

std::string ProcessName(pid_t pid) {
  std::ifstream comm("/proc/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(comm, name);
  return name.empty() ? "a process" : name;
}

// /proc/locks: "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF", the node's file system device
// and inode in the sixth field.
void AddLockHolders(const struct stat& node, std::set<pid_t>& pids) {
  std::ifstream locks("/proc/locks");
  std::string line;
  for (int n = 0; n < kMaxProcesses && std::getline(locks, line); ++n) {
    std::istringstream fields(line);
    std::string id, kind, mode, access, where;
    long pid = 0;
    if (!(fields >> id >> kind)) {
      continue;
    }
    if (kind == "->") {  // a waiter, listed under the holder
      continue;
    }
    if (!(fields >> mode >> access >> pid >> where)) {
      continue;
    }
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(where.c_str(), "%x:%x:%llu", &major, &minor, &inode) == 3 &&
        makedev(major, minor) == node.st_dev && inode == node.st_ino && pid > 0) {
      pids.insert(static_cast<pid_t>(pid));
    }
  }
}

void AddOpenHolders(const struct stat& node, std::set<pid_t>& pids) {
  std::error_code error;
  int processes = 0;
  for (fs::directory_iterator proc("/proc", error), end; !error && proc != end;
       proc.increment(error)) {
    const std::string name = proc->path().filename();
    if (name.find_first_not_of("0123456789") != std::string::npos || ++processes > kMaxProcesses) {
      continue;
    }
    const pid_t pid = static_cast<pid_t>(std::stol(name));
    std::error_code fdError;
    int fds = 0;
    for (fs::directory_iterator fd(proc->path() / "fd", fdError), fdEnd;
         !fdError && fd != fdEnd && ++fds < kMaxFdsPerProcess; fd.increment(fdError)) {
      struct stat st {};
      if (stat(fd->path().c_str(), &st) == 0 && S_ISCHR(st.st_mode) && st.st_rdev == node.st_rdev) {
        pids.insert(pid);
        break;
      }
    }
  }
}

}  // namespace

std::string DescribePortHolders(const std::string& node) {
  struct stat st {};
  if (node.empty() || stat(node.c_str(), &st) != 0) {
    return {};
  }
  std::set<pid_t> pids;
  AddLockHolders(st, pids);
  if (S_ISCHR(st.st_mode)) {
    AddOpenHolders(st, pids);
  }
  std::string text;
  for (const pid_t pid : pids) {
    text += (text.empty() ? "" : ", ") + ProcessName(pid) + " (pid " + std::to_string(pid) + ")";
  }
  return text;
}

}  // namespace azuz
