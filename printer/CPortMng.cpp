#include "CPortMng.h"

#include <type_traits>
#include <utility>

namespace azuz {

template <typename Result, typename Act>
Result CPortMng::Visit(Result none, Act act) const {
  return std::visit(
      [&](const auto& port) -> Result {
        if constexpr (std::is_same_v<std::decay_t<decltype(port)>, std::monostate>) {
          return none;
        } else {
          return act(*port);
        }
      },
      transport);
}

void CPortMng::Replace(Transport next) {
  Transport old;
  {
    std::lock_guard lock(replacing);
    old = std::exchange(transport, std::move(next));
    transportType = static_cast<int>(transport.index()) - 1;
  }
  // The old transport closes outside the lock, so that a CancelIo never waits for it.
}

bool CPortMng::SelectPort(const CommSettings& settings) {
  Replace(std::monostate{});
  switch (TransportForPortName(settings.portName)) {
    case kTransportSerial:
      Replace(std::make_unique<CPortCom>());
      break;
    case kTransportParallel:
      Replace(std::make_unique<CPortLpt>());
      break;
    default:
      Replace(std::make_unique<CPortUsb>());
      break;
  }
  return Visit(false, [&settings](auto& port) { return port.Configure(settings); });
}

bool CPortMng::OpenPort() {
  return Visit(false, [](auto& port) { return port.Open(); });
}

std::size_t CPortMng::WritePort(const std::uint8_t* data, std::size_t length) {
  return Visit(std::size_t{0}, [&](auto& port) { return port.Write(data, length); });
}

std::size_t CPortMng::ReadPort(std::uint8_t* buffer) {
  return Visit(std::size_t{0}, [buffer](auto& port) { return port.Read(buffer); });
}

void CPortMng::ClosePort() {
  Visit(0, [](auto& port) {
    port.Close();
    return 0;
  });
}

void CPortMng::CancelIo() {
  std::lock_guard lock(replacing);
  Visit(0, [](auto& port) {
    port.CancelIo();
    return 0;
  });
}

std::string CPortMng::LastError() const {
  return Visit(std::string(), [](const auto& port) { return port.LastError(); });
}

}  // namespace azuz
