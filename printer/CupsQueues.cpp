#include "CupsQueues.h"

#include "CupsConnection.h"

namespace azuz {

namespace {

const char* const kQueueAttributes[] = {"printer-name",         "printer-make-and-model",
                                        "device-uri",           "printer-type",
                                        "printer-is-temporary", "printer-is-accepting-jobs"};

void AskFor(ipp_t* request) {
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kQueueAttributes)), nullptr, kQueueAttributes);
}

void Take(CupsQueue& queue, ipp_attribute_t* attribute) {
  const std::string name = ippGetName(attribute);
  const char* text = ippGetString(attribute, 0, nullptr);
  if (name == "printer-name" && text != nullptr) {
    queue.name = text;
  } else if (name == "printer-make-and-model" && text != nullptr) {
    queue.makeAndModel = text;
  } else if (name == "device-uri" && text != nullptr) {
    queue.deviceUri = text;
  } else if (name == "printer-type") {
    queue.type = static_cast<std::uint32_t>(ippGetInteger(attribute, 0));
  } else if (name == "printer-is-temporary") {
    queue.temporary = ippGetBoolean(attribute, 0) != 0;
  } else if (name == "printer-is-accepting-jobs") {
    queue.acceptingJobs = ippGetBoolean(attribute, 0) != 0;
  }
}

// The printer groups of a response, in order; a separator or another group ends a queue.
std::vector<CupsQueue> QueuesOf(ipp_t* response) {
  std::vector<CupsQueue> queues;
  CupsQueue current;
  bool inQueue = false;
  for (ipp_attribute_t* a = ippFirstAttribute(response); a != nullptr;
       a = ippNextAttribute(response)) {
    if (ippGetGroupTag(a) != IPP_TAG_PRINTER || ippGetName(a) == nullptr) {
      if (inQueue && !current.name.empty()) {
        queues.push_back(current);
      }
      current = {};
      inQueue = false;
      continue;
    }
    inQueue = true;
    Take(current, a);
  }
  if (inQueue && !current.name.empty()) {
    queues.push_back(current);
  }
  return queues;
}

bool Succeeded(ipp_t* response) {
  return response != nullptr && cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE;
}

std::optional<CupsQueue> GetQueue(CupsConnection& cups, const std::string& name) {
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
               CupsPrinterUri(name).c_str());
  AskFor(request);
  ipp_t* response = cups.Request(request, "/");
  std::optional<CupsQueue> queue;
  if (Succeeded(response)) {
    std::vector<CupsQueue> queues = QueuesOf(response);
    if (!queues.empty()) {
      queue = std::move(queues.front());
    }
  }
  ippDelete(response);
  return queue;
}

}  // namespace

bool CupsQueue::IsLocal() const {
  constexpr std::uint32_t kNotLocal =
      CUPS_PRINTER_CLASS | CUPS_PRINTER_IMPLICIT | CUPS_PRINTER_REMOTE | CUPS_PRINTER_DISCOVERED;
  return (type & kNotLocal) == 0 && !temporary;
}

std::optional<std::vector<CupsQueue>> ListCupsQueues() {
  CupsConnection cups;
  if (!cups.Open()) {
    return std::nullopt;
  }
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_GET_PRINTERS);
  AskFor(request);
  ipp_t* response = cups.Request(request, "/");
  std::optional<std::vector<CupsQueue>> queues;
  if (Succeeded(response)) {
    queues = QueuesOf(response);
  } else if (response != nullptr && cupsLastError() == IPP_STATUS_ERROR_NOT_FOUND) {
    queues.emplace();  // cupsd answers "not found" when it has no queue at all
    SetCupsLastError({});
  }
  ippDelete(response);
  return queues;
}

std::optional<std::vector<CupsQueue>> ListLocalCupsQueues() {
  auto queues = ListCupsQueues();
  if (queues) {
    std::erase_if(*queues, [](const CupsQueue& q) { return !q.IsLocal(); });
  }
  return queues;
}

std::optional<CupsQueue> GetCupsQueue(const std::string& name) {
  CupsConnection cups;
  if (!cups.Open()) {
    return std::nullopt;
  }
  return GetQueue(cups, name);
}

bool SetCupsQueueDeviceUri(const std::string& name, const std::string& deviceUri) {
  CupsConnection cups;
  if (!cups.Open()) {
    return false;
  }
  // CUPS-Add-Modify-Printer makes a queue that doesn't exist; a queue deleted meanwhile must stay
  // deleted, and a class has no device.
  const std::optional<CupsQueue> queue = GetQueue(cups, name);
  if (!queue || (queue->type & CUPS_PRINTER_CLASS) != 0) {
    if (!queue && CupsLastError().empty()) {
      SetCupsLastError("no print queue named \"" + name + "\"");
    }
    return false;
  }
  ipp_t* request = ippNewRequest(IPP_OP_CUPS_ADD_MODIFY_PRINTER);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
               CupsPrinterUri(name).c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_PRINTER, IPP_TAG_URI, "device-uri", nullptr, deviceUri.c_str());
  ipp_t* response = cups.Request(request, "/admin/");
  const bool done = Succeeded(response);
  ippDelete(response);
  return done;
}

}  // namespace azuz
