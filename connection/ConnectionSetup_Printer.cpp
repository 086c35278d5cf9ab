// A spooler printer turned into a direct connection: the queue's make-and-model gives the model
// name, its device URI the port, the port's kind and the kind's settings.
#include "ConnectionSetup.h"

#include <string_view>

#include "CRegistry.h"
#include "CupsQueues.h"
#include "ModelName.h"
#include "PortNodeMap.h"
#include "PortNodeResolver.h"

namespace azuz {

namespace {

struct Row {
  std::string_view text;
  std::int32_t value;
};

// Sets field from the row whose text equals the recorded text exactly; no row, no change.
void MapField(const std::string& text, std::initializer_list<Row> rows, std::int32_t& field) {
  for (const Row& row : rows) {
    if (text == row.text) {
      field = row.value;
      return;
    }
  }
}

}  // namespace

void ReadSerialPortSettings(CommSettings& s, const SerialPortFields& f) {
  MapField(f[0],
           {{"110", 2400},
            {"300", 2400},
            {"1200", 2400},
            {"2400", 2400},
            {"4800", 4800},
            {"9600", 9600},
            {"19200", 19200},
            {"38400", 38400},
            {"57600", 57600},
            {"115200", 115200},
            {"230400", 115200},
            {"460800", 115200},
            {"921600", 115200}},
           s.baudRate);
  MapField(f[1], {{"n", 0}, {"m", 0}, {"s", 0}, {"o", 1}, {"e", 2}}, s.parity);
  MapField(f[2], {{"5", 7}, {"6", 7}, {"7", 7}, {"8", 8}}, s.dataBits);
  MapField(f[3], {{"1", 0}, {"1.5", 1}, {"2", 2}}, s.stopBits);
  MapField(f[4], {{"x", 1}, {"p", 0}, {" ", 0}, {"", 0}, {"n", 0}}, s.flowControl);
  // Only a device that says so has no flow control; an empty text stays hardware flow.
  s.noFlowControl = f[4] == "n";
}

bool ConnectionSetup::ResolvePrinter(const std::string& printerName) {
  const std::optional<CupsQueue> queue = GetCupsQueue(printerName);
  if (!queue) {
    return false;
  }
  return ResolveSpoolerQueue(queue->makeAndModel, queue->deviceUri);
}

bool ConnectionSetup::ResolveSpoolerQueue(const std::string& makeAndModel,
                                          const std::string& deviceUri) {
  CommSettings& s = state.settings;
  s.portName = deviceUri;
  SetCurrentModelName(makeAndModel.size() > 8 ? makeAndModel.substr(8) : std::string());

  const std::string scheme = DeviceUriScheme(deviceUri);
  std::string node;
  if (scheme == "serial") {
    SerialPortFields fields;
    if (!ParseSerialUri(deviceUri, node, fields)) {
      return false;
    }
    ReadSerialPortSettings(s, fields);
    s.portName = PortNodeMap(CRegistry(RegRoot::LocalMachine, registryPath)).PortNameForNode(node);
    state.portKind = kPortKindSerial;
  } else if (scheme == "parallel") {
    if (!ParseParallelUri(deviceUri, node)) {
      return false;
    }
    s.portName = PortNodeMap(CRegistry(RegRoot::LocalMachine, registryPath)).PortNameForNode(node);
    state.portKind = kPortKindParallel;
  } else if (scheme == "usb") {
    state.portKind = kPortKindUsb;
    // Without a present device of that serial the spooler's port stays.
    std::string serial;
    if (ParseUsbUriSerial(deviceUri, serial)) {
      if (const UsbDeviceEntry* entry = FindUsbDeviceBySerial(serial)) {
        s.portName = entry->devicePath;
      }
    }
  } else if (scheme == "socket") {
    std::string host;
    int port = 0;
    bool hasPort = false;
    if (!ParseSocketUri(deviceUri, host, port, hasPort)) {
      return false;
    }
    state.portKind = kPortKindTcpIp;
    // As with a network port that records no port number, a bad one changes nothing more.
    if (hasPort) {
      s.baudRate = port;
      if (!host.empty()) {
        s.portName = host;
      }
    }
  } else {
    return false;
  }
  return true;
}

const UsbDeviceEntry* ConnectionSetup::FindUsbDeviceBySerial(const std::string& serial) {
  usbDevices.RemoveAll();
  usbDevices.EnumerateDevices();
  for (std::int32_t i = 0; i < usbDevices.GetCount(); ++i) {
    const UsbDeviceEntry* entry = usbDevices.Entry(i);
    if (entry->serial == serial) {
      return entry;
    }
  }
  return nullptr;
}

std::string ConnectionSetup::DeviceNode() const {
  if (state.useDriver != 0 || state.portKind == kPortKindTcpIp) {
    return {};
  }
  return ConnectionPortNode(state.settings.portName, registryPath);
}

}  // namespace azuz
