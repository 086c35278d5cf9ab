#include <cstdio>
#include <cstdlib>

#include "CommSetForm.h"
#include "PortKind.h"

namespace azuz {

namespace {

// Text that names a host rather than numbers: the address control can't show it.
bool IsHostName(const std::string& text) {
  for (char c : text) {
    if ((c < '0' || c > '9') && c != '.' && c != ' ') {
      return true;
    }
  }
  return false;
}

std::string WithoutBlanks(const std::string& text) {
  std::string compact;
  for (char c : text) {
    if (c != ' ') {
      compact += c;
    }
  }
  return compact;
}

std::string PlainAddressText(const IpAddress& address) {
  return std::to_string(address[0]) + "." + std::to_string(address[1]) + "." +
         std::to_string(address[2]) + "." + std::to_string(address[3]);
}

}  // namespace

std::string CommSetForm::AddressText(const IpAddress& address) {
  char text[16];
  std::snprintf(text, sizeof text, "%3d.%3d.%3d.%3d", address[0], address[1], address[2],
                address[3]);
  return text;
}

void CommSetForm::ReadAddress(const std::string& text, IpAddress& address) {
  std::size_t start = 0;
  for (std::size_t part = 0; part < address.size(); ++part) {
    const std::size_t stop = text.find('.', start);
    const std::string piece = text.substr(start, stop == std::string::npos ? stop : stop - start);
    address[part] = static_cast<std::uint8_t>(std::atoi(piece.c_str()) & 0xFF);
    if (stop == std::string::npos) {
      return;
    }
    start = stop + 1;
  }
}

CommSettings CommSetForm::GetSettings() {
  TakeSettings();
  return settings;
}

void CommSetForm::TakeSerialSettings() {
  const FormList& ports = List(IDC_PORT_LIST);
  if (ports.selected >= 0) {
    settings.portName = ports.Text();
  }
  const FormList& baud = List(IDC_BAUD_LIST);
  if (baud.selected >= 0) {
    settings.baudRate = std::atoi(baud.Text().c_str());
  }
  const int dataBits = List(IDC_DATA_BITS_LIST).selected;
  if (dataBits >= 0) {
    settings.dataBits = dataBits + 8;
  }
  const int stopBits = List(IDC_STOP_BITS_LIST).selected;
  if (stopBits >= 0) {
    settings.stopBits = stopBits;
  }
  const int parity = List(IDC_PARITY_LIST).selected;
  if (parity >= 0) {
    settings.parity = parity;
  }
  // Any nonzero value means Xon/Xoff; it is only rewritten when the choice changed.
  const int flow = List(IDC_FLOW_LIST).selected;
  if (flow >= 0 && (flow == 1) != (settings.flowControl != 0)) {
    settings.flowControl = flow;
  }
}

bool CommSetForm::TakeSettings() {
  if (useDriver != 0) {
    const int entry = List(IDC_PRINTER_LIST).selected;
    if (entry >= 0 && entry < static_cast<int>(printerQueues.size())) {
      settings.portName = printerQueues[static_cast<std::size_t>(entry)];
    }
    return true;
  }
  switch (portKind) {
    case 0:
      TakeSerialSettings();
      return true;
    case 1:
      if (List(IDC_PORT_LIST).selected >= 0) {
        settings.portName = List(IDC_PORT_LIST).Text();
      }
      return true;
    case 2: {
      if (devicePaths.empty()) {
        return true;
      }
      const int entry = List(IDC_PORT_LIST).selected;
      settings.portName = entry >= 0 && entry < static_cast<int>(devicePaths.size())
                              ? devicePaths[static_cast<std::size_t>(entry)]
                              : devicePaths.back();
      return true;
    }
    case 3: {
      if (!UpdateData(true)) {
        return false;
      }
      // An address the control still shows as it was read keeps its own text: a host name the
      // control can't hold, or the same numbers written without padding.
      const bool unchanged = ipAddress == addressShown_ &&
                             (IsHostName(settings.portName) ||
                              WithoutBlanks(settings.portName) == PlainAddressText(ipAddress));
      if (!unchanged) {
        settings.portName = AddressText(ipAddress);
      }
      settings.baudRate = static_cast<std::int32_t>(tcpPort);
      return true;
    }
    default:
      return true;
  }
}

std::optional<CommTestRequest> CommSetForm::PrepareTest() {
  if (!TakeSettings()) {
    return std::nullopt;
  }
  CommTestRequest request{portKind, settings, useDriver != 0, {}};
  if (!request.useDriver && portKind != kPortKindTcpIp && sources_.portNode) {
    request.portNode = sources_.portNode(settings.portName);
  }
  return request;
}

bool CommSetForm::OnOK() {
  if (!UpdateData(true)) {
    return false;
  }
  TakeSettings();
  return true;
}

}  // namespace azuz
