#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CupsConnection.h"  // CupsLastError()

namespace azuz {

// One print queue as cupsd reports it. The queue's make-and-model plays the role of the printer's
// driver name, its device URI the role of the printer's port.
struct CupsQueue {
  std::string name;
  std::string makeAndModel;  // printer-make-and-model (a PPD's *NickName)
  std::string deviceUri;     // device-uri, e.g. "serial:/dev/ttyS0?baud=9600"
  std::uint32_t type = 0;    // printer-type bits (CUPS_PRINTER_*)
  bool temporary = false;    // printer-is-temporary: made on the fly for a discovered printer
  bool acceptingJobs = false;

  // Neither a class nor a remote, discovered or temporary queue: one this machine's spooler owns.
  bool IsLocal() const;
};

// Every queue and class cupsd lists, in its order; nullopt when cupsd can't be asked
// (CupsLastError() says why). Each call is one connection.
std::optional<std::vector<CupsQueue>> ListCupsQueues();

// Only the local queues of ListCupsQueues(), in the same order.
std::optional<std::vector<CupsQueue>> ListLocalCupsQueues();

// One queue or class by name; nullopt when there is none or cupsd can't be asked.
std::optional<CupsQueue> GetCupsQueue(const std::string& name);

// Points an existing queue at another device (IPP CUPS-Add-Modify-Printer). False when the queue
// doesn't exist or the change is refused, e.g. for a user outside the spooler's admin group.
bool SetCupsQueueDeviceUri(const std::string& name, const std::string& deviceUri);

}  // namespace azuz
