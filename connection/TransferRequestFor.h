#pragma once

#include <string>

#include "ConnectionState.h"
#include "PrinterCommands.h"
#include "TransferSession.h"

namespace azuz {

// The device node a direct transfer over `state` opens, looked up once through the store at
// registryPath (COM/LPT names, USB device paths); empty for TCP/IP and the spooler.
std::string TransferPortNode(const ConnectionState& state, const std::string& registryPath);

// The transfer of `command` over `state`, ready for a TransferSession: the port node resolved,
// the spooler hooks that park the queues on that port wired when the state came from a queue,
// and the whole state carried. The request points into command.bytes, so `command` must outlive
// the session.
TransferRequest MakeTransferRequest(const ConnectionState& state, const PrinterCommand& command,
                                    const std::string& registryPath);

}  // namespace azuz
