#pragma once

#include <string>

namespace azuz {

// A raw job that a cancel left half-made: cupsd would hold it for a quarter of an hour waiting
// for its document. It is cancelled on a thread of its own, so that the user's cancel never
// waits for the spooler; at the program's end that thread finishes what is left (each exchange
// bounded at 10 s).
void CancelAbandonedJobLater(const std::string& queue, int jobId);

}  // namespace azuz
