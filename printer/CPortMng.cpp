#include "CPortMng.h"

namespace azuz {

void CPortMng::DeleteTransport() {
  com.reset();
  lpt.reset();
  usb.reset();
  transportType = -1;
}

bool CPortMng::SelectPort(const CommSettings& settings) {
  DeleteTransport();
  transportType = TransportForPortName(settings.portName);
  switch (transportType) {
    case kTransportSerial:
      com = std::make_unique<CPortCom>();
      return com->Configure(settings);
    case kTransportParallel:
      lpt = std::make_unique<CPortLpt>();
      return lpt->Configure(settings);
    default:
      usb = std::make_unique<CPortUsb>();
      return usb->Configure(settings);
  }
}

bool CPortMng::OpenPort() {
  if (com) {
    return com->Open();
  }
  if (lpt) {
    return lpt->Open();
  }
  return usb && usb->Open();
}

std::size_t CPortMng::WritePort(const std::uint8_t* data, std::size_t length) {
  if (com) {
    return com->Write(data, length);
  }
  if (lpt) {
    return lpt->Write(data, length);
  }
  return usb ? usb->Write(data, length) : 0;
}

std::size_t CPortMng::ReadPort(std::uint8_t* buffer) {
  if (com) {
    return com->Read(buffer);
  }
  if (lpt) {
    return lpt->Read(buffer);
  }
  return usb ? usb->Read(buffer) : 0;
}

void CPortMng::ClosePort() {
  if (com) {
    com->Close();
  }
  if (lpt) {
    lpt->Close();
  }
  if (usb) {
    usb->Close();
  }
}

void CPortMng::CancelIo() {
  if (com) {
    com->CancelIo();
  }
  if (lpt) {
    lpt->CancelIo();
  }
  if (usb) {
    usb->CancelIo();
  }
}

std::string CPortMng::LastError() const {
  if (com) {
    return com->LastError();
  }
  if (lpt) {
    return lpt->LastError();
  }
  return usb ? usb->LastError() : std::string();
}

}  // namespace azuz
