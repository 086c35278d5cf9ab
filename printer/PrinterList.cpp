#include "PrinterList.h"

#include "CupsQueues.h"

namespace azuz {

bool IsSupportedDriverName(const std::string& makeAndModel) {
  return makeAndModel == kSupportedDriverL710 || makeAndModel == kSupportedDriverL712;
}

bool FillPrinterList(std::vector<std::string>& entries, std::vector<std::string>* queueNames) {
  entries.clear();
  if (queueNames != nullptr) {
    queueNames->clear();
  }
  const auto queues = ListLocalCupsQueues();
  if (!queues) {
    return false;
  }
  for (const CupsQueue& queue : *queues) {
    if (IsSupportedDriverName(queue.makeAndModel)) {
      entries.push_back(queue.makeAndModel);
      if (queueNames != nullptr) {
        queueNames->push_back(queue.name);
      }
    }
  }
  if (entries.empty()) {
    entries.emplace_back("NONE");
    if (queueNames != nullptr) {
      queueNames->emplace_back();
    }
    return false;
  }
  return true;
}

}  // namespace azuz
