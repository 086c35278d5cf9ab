#include "Spooler.h"

#include <atomic>
#include <mutex>
#include <set>

#include "AbandonedJobs.h"
#include "CupsConnection.h"
#include "UserPrompts.h"

namespace azuz {

namespace {

// Every job carries this name, transfers included.
constexpr char kJobName[] = "WaterMark: Communication Test";

using JobOutcome = SpoolerJob;

// The jobs under way, each with the flag a cancel sets; a cancel reaches only these.
struct JobsUnderWay {
  std::mutex mutex;
  std::set<std::atomic<bool>*> cancelFlags;
};

JobsUnderWay& UnderWay() {
  static JobsUnderWay jobs;
  return jobs;
}

class JobUnderWay {
 public:
  JobUnderWay() {
    std::lock_guard lock(UnderWay().mutex);
    UnderWay().cancelFlags.insert(&cancelled);
  }
  ~JobUnderWay() {
    std::lock_guard lock(UnderWay().mutex);
    UnderWay().cancelFlags.erase(&cancelled);
  }
  JobUnderWay(const JobUnderWay&) = delete;
  JobUnderWay& operator=(const JobUnderWay&) = delete;

  std::atomic<bool> cancelled{false};
};

// cupsd refuses these characters in queue names; rejecting them here also keeps an arbitrary
// printer name out of the HTTP request line.
bool IsQueueName(const std::string& name) {
  if (name.empty() || name.size() > 127) {
    return false;
  }
  for (const unsigned char c : name) {
    if (c <= ' ' || c == 127 || c == '/' || c == '\\' || c == '?' || c == '\'' || c == '"' ||
        c == '#') {
      return false;
    }
  }
  return true;
}

// Create-Job; 0 and `failure` set when the job could not be made.
int CreateJob(CupsConnection& cups, const std::string& name, JobOutcome& failure) {
  ipp_t* request = ippNewRequest(IPP_OP_CREATE_JOB);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr,
               CupsPrinterUri(name).c_str());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "requesting-user-name", nullptr,
               cupsUser());
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_NAME, "job-name", nullptr, kJobName);
  ipp_t* response = cups.Request(request, ("/printers/" + name).c_str());
  const ipp_status_t status = cupsLastError();
  int jobId = 0;
  if (response != nullptr && status <= IPP_STATUS_OK_EVENTS_COMPLETE) {
    if (ipp_attribute_t* id = ippFindAttribute(response, "job-id", IPP_TAG_INTEGER)) {
      jobId = ippGetInteger(id, 0);
    }
  }
  ippDelete(response);
  if (jobId <= 0) {
    failure = status == IPP_STATUS_ERROR_NOT_FOUND ? JobOutcome::NoPrinter : JobOutcome::NotStarted;
    if (CupsLastError().empty()) {
      SetCupsLastError("the print service made no job");
    }
  }
  return jobId;
}

// The document went wrong half-way: without a cancel, cupsd would hold the empty job for a quarter
// of an hour waiting for more documents.
JobOutcome Abandon(CupsConnection& cups, const JobUnderWay& job, const std::string& name, int jobId,
                   const char* what) {
  // The reason is read before the cancel, whose own status would replace libcups' last error.
  const std::string reason = std::string(what) + ": " + cupsLastErrorString();
  if (job.cancelled) {
    CancelAbandonedJobLater(name, jobId);  // this connection is shut down
  } else {
    cupsCancelJob2(cups.Http(), name.c_str(), jobId, 0);
  }
  SetCupsLastError(reason);
  return JobOutcome::NotStarted;
}

// One complete raw job: Create-Job, then one Send-Document with all the bytes.
JobOutcome SubmitRawJob(const std::string& name, const std::uint8_t* data, std::size_t length) {
  if (!IsQueueName(name)) {
    SetCupsLastError("\"" + name + "\" is not a print queue name");
    return JobOutcome::NoPrinter;
  }
  const JobUnderWay job;
  CupsConnection cups(&job.cancelled);
  if (!cups.Open()) {
    return JobOutcome::NoPrinter;
  }
  JobOutcome failure = JobOutcome::NotStarted;
  const int jobId = CreateJob(cups, name, failure);
  if (jobId <= 0) {
    return failure;
  }
  http_t* http = cups.Http();
  if (cupsStartDocument(http, name.c_str(), jobId, kJobName, CUPS_FORMAT_RAW, 1) !=
      HTTP_STATUS_CONTINUE) {
    return Abandon(cups, job, name, jobId, "cannot start the document");
  }
  if (data != nullptr && length > 0 &&
      cupsWriteRequestData(http, reinterpret_cast<const char*>(data), length) !=
          HTTP_STATUS_CONTINUE) {
    return Abandon(cups, job, name, jobId, "cannot send the data");
  }
  if (cupsFinishDocument(http, name.c_str()) > IPP_STATUS_OK_EVENTS_COMPLETE) {
    return Abandon(cups, job, name, jobId, "the print service refused the document");
  }
  SetCupsLastError({});
  return JobOutcome::Printed;
}

}  // namespace

void CancelSpoolerJobs() {
  {
    std::lock_guard lock(UnderWay().mutex);
    for (std::atomic<bool>* cancelled : UnderWay().cancelFlags) {
      *cancelled = true;
    }
  }
  CupsConnection::WakeCancelled();
}

SpoolerJob SubmitSpoolerJob(const std::string& printerName, const std::uint8_t* data,
                            std::size_t length) {
  return SubmitRawJob(printerName, data, length);
}

bool SpoolerWrite(const std::string& printerName, const std::uint8_t* data, std::size_t length) {
  switch (SubmitRawJob(printerName, data, length)) {
    case JobOutcome::Printed:
      return true;
    case JobOutcome::NoPrinter:
      Prompts().Message("", CupsLastError());
      return false;
    case JobOutcome::NotStarted:
      break;
  }
  return false;
}

int SpoolerTestPrint(const std::string& printerName, const std::uint8_t* data, std::size_t length) {
  switch (SubmitRawJob(printerName, data, length)) {
    case JobOutcome::Printed:
      return 0;
    case JobOutcome::NoPrinter:
      return -1;
    case JobOutcome::NotStarted:
      break;
  }
  return -2;
}

}  // namespace azuz
