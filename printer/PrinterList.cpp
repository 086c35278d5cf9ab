#include "PrinterList.h"

#include "CupsQueues.h"

namespace azuz {

bool IsSupportedDriverName(const std::string& makeAndModel) {
  return makeAndModel == kSupportedDriverL710 || makeAndModel == kSupportedDriverL712;
}

bool FillPrinterList(std::vector<std::string>& entries) {
  entries.clear();
  const auto queues = ListLocalCupsQueues();
  if (!queues) {
    return false;
  }
  for (const CupsQueue& queue : *queues) {
    if (IsSupportedDriverName(queue.makeAndModel)) {
      entries.push_back(queue.makeAndModel);
    }
  }
  if (entries.empty()) {
    entries.emplace_back("NONE");
    return false;
  }
  return true;
}

}  // namespace azuz
