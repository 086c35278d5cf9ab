#include "SpoolerPorts.h"

#include <memory>

#include "CupsQueues.h"
#include "ParkedQueueTable.h"

namespace azuz {

void ReleasePrinterPorts(const std::string& deviceNode, SavedPorts& savedPorts) {
  if (deviceNode.empty()) {
    return;
  }
  const auto queues = ListLocalCupsQueues();
  if (!queues) {
    return;
  }
  for (const CupsQueue& queue : *queues) {
    // A parked queue is skipped so that a second release never records the parking URI as its own.
    if (queue.deviceUri == kParkedDeviceUri ||
        queue.deviceUri.find(deviceNode) == std::string::npos) {
      continue;
    }
    savedPorts[queue.name] = queue.deviceUri;
    // On disk before the queue moves, so that no kill can leave it parked unrecorded.
    RecordParkedQueues(savedPorts);
    SetCupsQueueDeviceUri(queue.name, kParkedDeviceUri);
  }
}

void RestorePrinterPorts(SavedPorts& savedPorts) {
  for (const auto& [name, deviceUri] : savedPorts) {
    SetCupsQueueDeviceUri(name, deviceUri);
  }
  savedPorts.clear();
  RecordParkedQueues(savedPorts);
}

SpoolerPortHooks MakeSpoolerPortHooks() {
  auto table = std::make_shared<SavedPorts>();
  return {[table](const std::string& deviceNode) { ReleasePrinterPorts(deviceNode, *table); },
          [table](const std::string&) { RestorePrinterPorts(*table); }};
}

}  // namespace azuz
