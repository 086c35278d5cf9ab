#pragma once

#include <functional>
#include <map>
#include <string>

namespace azuz {

// Queue name -> the device URI it had before a direct transfer took its port.
using SavedPorts = std::map<std::string, std::string>;

// The device URI a queue is parked on while the program writes to its port itself.
inline constexpr char kParkedDeviceUri[] = "file:///dev/null";

// Moves every local queue whose device URI contains `deviceNode` (e.g. "/dev/ttyS0"; a plain
// substring test, so /dev/ttyS1 also matches /dev/ttyS10) to kParkedDeviceUri, remembering its URI
// in `savedPorts` (a queue already there gets the new value). A queue that can't be changed keeps
// its device and stays in the table. Silent: a user outside the spooler's admin group simply keeps
// the queues on the port. An empty node matches nothing. The table is kept on disk as well
// (ParkedQueueTable.h) until RestorePrinterPorts.
void ReleasePrinterPorts(const std::string& deviceNode, SavedPorts& savedPorts);

// Gives every queue in `savedPorts` its remembered URI back, then empties the table. Silent.
void RestorePrinterPorts(SavedPorts& savedPorts);

// A transfer session's releasePorts and restorePorts hooks, sharing one savedPorts table that
// lives as long as the hooks do. restore ignores its argument: it gives back whatever release took.
struct SpoolerPortHooks {
  std::function<void(const std::string& deviceNode)> release;
  std::function<void(const std::string& deviceNode)> restore;
};
SpoolerPortHooks MakeSpoolerPortHooks();

}  // namespace azuz
