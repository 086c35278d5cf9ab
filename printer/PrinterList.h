#pragma once

#include <string>
#include <vector>

namespace azuz {

// The driver names the settings dialog offers in driver mode.
inline constexpr char kSupportedDriverL710[] = "ORVELIX QPT-L710";
inline constexpr char kSupportedDriverL712[] = "ORVELIX QPT-L712";

bool IsSupportedDriverName(const std::string& makeAndModel);

// Fills the printer list of the settings dialog: `entries` is emptied, then gets the make-and-model
// of every local queue that is exactly one of the supported driver names, in the spooler's order
// (two queues of one model give two equal entries); true with at least one. With none it holds the
// single entry "NONE", which the dialog selects, and the result is false. When the spooler can't be
// asked, the result is false and `entries` stays empty. `queueNames` (optional) gets the queue
// behind each entry, empty behind "NONE".
bool FillPrinterList(std::vector<std::string>& entries,
                     std::vector<std::string>* queueNames = nullptr);

}  // namespace azuz
