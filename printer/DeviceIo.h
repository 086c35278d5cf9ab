#pragma once

#include <chrono>
#include <string>

namespace azuz {

using IoClock = std::chrono::steady_clock;

// "what node: strerror", with the usual remedy for a permission problem on a device node.
std::string ErrnoText(const std::string& what, const std::string& node, int error);

// Opens a device node read-write, non-blocking, not as controlling terminal, close-on-exec.
// -1 with `error` set on failure.
int OpenDeviceNode(const std::string& node, std::string* error);

enum class IoWait { Ready, TimedOut, Cancelled, Failed };

// Waits until `fd` reports `events`, the deadline passes or `cancelFd` becomes readable.
// POLLERR/POLLHUP count as ready, so the following call reports the error itself.
IoWait WaitForDevice(int fd, short events, int cancelFd, IoClock::time_point deadline);

// Sleeps until the deadline unless `cancelFd` becomes readable first (then false).
bool PauseUnlessCancelled(int cancelFd, IoClock::time_point deadline);

}  // namespace azuz
