#pragma once

#include <string>

#include "SpoolerPorts.h"

namespace azuz {

// The queues a direct transfer has parked, kept on disk until they are given back, so that a
// run that is killed or crashes meanwhile leaves them for the next start to restore. One line per
// queue: the parking process, the queue and the URI it had.

// $XDG_STATE_HOME/vurodadud-azuz/parked-queues (~/.local/state when XDG_STATE_HOME is unset);
// AZUZ_PARKED_QUEUES overrides it.
std::string ParkedQueueTablePath();

// Records this process's parked queues in place of what it recorded before; an empty table
// removes its lines (and the file once no process has any). Silent: no state folder, no record.
void RecordParkedQueues(const SavedPorts& parked);

// Gives back what processes no longer running left parked and drops their lines; the queues of
// a run still under way stay as they are, and everything when the spooler can't be asked. For
// the start of a program. Returns how many queues were restored.
int RestoreLeftoverParkedQueues();

}  // namespace azuz
