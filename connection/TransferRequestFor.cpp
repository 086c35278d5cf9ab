#include "TransferRequestFor.h"

#include "PortNodeResolver.h"
#include "SpoolerPorts.h"

namespace azuz {

std::string TransferPortNode(const ConnectionState& state, const std::string& registryPath) {
  if (state.useDriver != 0 || state.portKind == kPortKindTcpIp) {
    return {};
  }
  return ConnectionPortNode(state.settings.portName, registryPath);
}

TransferRequest MakeTransferRequest(const ConnectionState& state, const PrinterCommand& command,
                                    const std::string& registryPath) {
  TransferRequest request;
  request.data = command.bytes.data();
  request.length = static_cast<std::uint32_t>(command.bytes.size());
  request.caption = command.caption;
  request.readReply = command.readReply;
  request.portKind = state.portKind;
  request.useDriver = state.useDriver != 0;
  request.releaseSpoolerPort = state.releaseSpoolerPort != 0;
  request.settings = state.settings;
  request.portNode = TransferPortNode(state, registryPath);
  if (request.releaseSpoolerPort) {
    SpoolerPortHooks hooks = MakeSpoolerPortHooks();
    request.releasePorts = std::move(hooks.release);
    request.restorePorts = std::move(hooks.restore);
  }
  return request;
}

}  // namespace azuz
