#include "ConnectionSetup.h"

#include <cstdint>

#include "CRegistry.h"
#include "ModelName.h"

namespace azuz {

std::string CommandLineTail(int argc, const char* const* argv, int first) {
  std::string tail;
  for (int i = first; i < argc; ++i) {
    if (i > first) {
      tail += ' ';
    }
    tail += argv[i];
  }
  return tail;
}

ConnectionSetup::ConnectionSetup() : registryPath(RegistryFilePath()) {}

void ConnectionSetup::SelectStartupConnection(const std::string& commandLine) {
  SetCurrentModelName("QPT-L710");
  if (commandLine.compare(0, 6, "Custom") == 0) {
    state.driverKey = kDriverKeyL710;
    // Whatever stands at index 6 is skipped; "Custom" alone gives an empty model name.
    const std::string model = commandLine.size() > 7 ? commandLine.substr(7) : std::string();
    SetCurrentModelName(model);
    if (model == "QPT-L710") {
      LoadStoredSettings(kCustomKeyL710);
    } else {
      LoadStoredSettings(kCustomKeyL712);
      state.driverKey = kDriverKeyL712;
    }
    state.releaseSpoolerPort = 0;
  } else if (!commandLine.empty()) {
    state.settings.portName = commandLine;
    const bool resolved = ResolvePrinter(commandLine);
    state.useDriver = 0;
    state.releaseSpoolerPort =
        state.portKind == kPortKindSerial || state.portKind == kPortKindParallel ? 1 : 0;
    if (!resolved) {
      LoadStoredSettings(kWatermarkKey);
      state.releaseSpoolerPort = 0;
    }
  }
}

void ConnectionSetup::SetStoredDefaults() {
  CommSettings& s = state.settings;
  s.baudRate = 9600;
  state.useDriver = 0;
  state.portKind = kPortKindSerial;
  s.dataBits = 8;
  s.portName = "COM1";
  s.flowControl = 0;
  s.parity = 0;
  s.stopBits = 0;
}

void ConnectionSetup::LoadStoredSettings(const std::string& keyPath) {
  SetStoredDefaults();
  const CRegistry reg(RegRoot::LocalMachine, registryPath);
  std::uint32_t valueCount = 0;
  reg.GetKeyCounts(keyPath, &valueCount, nullptr);
  if (valueCount < 1) {
    return;  // sub-keys alone do not count
  }
  CommSettings& s = state.settings;
  if (!reg.ReadString(keyPath, "Port", s.portName)) {
    SetStoredDefaults();
    return;
  }
  const std::string prefix = s.portName.substr(0, 3);
  bool ok = true;
  if (prefix == "COM") {
    state.portKind = kPortKindSerial;
    // All five are attempted even after one failed.
    ok = reg.ReadDword(keyPath, "BaudRate", s.baudRate) & ok;
    ok = reg.ReadDword(keyPath, "DataBits", s.dataBits) & ok;
    ok = reg.ReadDword(keyPath, "FlowControl", s.flowControl) & ok;
    ok = reg.ReadDword(keyPath, "Parity", s.parity) & ok;
    ok = reg.ReadDword(keyPath, "StopBits", s.stopBits) & ok;
  } else if (prefix == "LPT") {
    state.portKind = kPortKindParallel;
  } else if (prefix == "USB") {
    state.portKind = kPortKindUsb;
    ok = reg.ReadString(keyPath, "UsbdeviceName", s.portName);
  } else if (prefix == "NET") {
    state.portKind = kPortKindTcpIp;
    ok = reg.ReadString(keyPath, "TcpIp", s.portName) & ok;
    ok = reg.ReadDword(keyPath, "TcpPort", s.baudRate) & ok;
  } else {
    ok = false;
  }
  if (!ok) {
    SetStoredDefaults();
  }
}

}  // namespace azuz
