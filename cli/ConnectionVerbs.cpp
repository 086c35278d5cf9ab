// azuz connection, azuz ports: the designer's start-up decision and the settings dialog's lists.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "CRegistry.h"
#include "CodePage.h"
#include "ConnectionSetup.h"
#include "CupsConnection.h"
#include "ModelName.h"
#include "PortLists.h"
#include "PrinterList.h"
#include "RegistryStore.h"
#include "TransferReport.h"
#include "Verbs.h"

namespace azuz::cli {

namespace {

using nlohmann::ordered_json;

ordered_json SettingsJson(const CommSettings& s) {
  return {{"portName", SystemToUtf8(s.portName)},
          {"baudRate", s.baudRate},
          {"dataBits", s.dataBits},
          {"stopBits", s.stopBits},
          {"parity", s.parity},
          {"flowControl", s.flowControl},
          {"readIntervalTimeout", s.readIntervalTimeout},
          {"readTotalTimeoutMultiplier", s.readTotalTimeoutMultiplier},
          {"readTotalTimeoutConstant", s.readTotalTimeoutConstant},
          {"writeTotalTimeoutMultiplier", s.writeTotalTimeoutMultiplier},
          {"writeTotalTimeoutConstant", s.writeTotalTimeoutConstant},
          {"receiveBufferSize", s.receiveBufferSize},
          {"sendBufferSize", s.sendBufferSize},
          {"hardwareHandshake", s.hardwareHandshake}};
}

std::string Dump(const ordered_json& j) {
  return j.dump(2, ' ', false, ordered_json::error_handler_t::replace);
}

void ShowConnection(const std::string& commandLine, bool json) {
  ConnectionSetup setup;
  // A damaged store is not fatal (it reads as far as it is sound), but the user should know.
  const std::string storeProblem = RegistryStore::LoadFile(setup.registryPath).LastError();
  if (!storeProblem.empty()) {
    std::cerr << "azuz: " << setup.registryPath << ": " << storeProblem << "\n";
  }
  setup.SelectStartupConnection(Utf8ToSystem(commandLine));
  const ConnectionState& st = setup.state;
  ordered_json j = {{"modelName", SystemToUtf8(CurrentModelName())},
                    {"pageWidth", PageWidthForModel(CurrentModelName())},
                    {"portKind", st.portKind},
                    {"useDriver", st.useDriver},
                    {"releaseSpoolerPort", st.releaseSpoolerPort},
                    {"settings", SettingsJson(st.settings)},
                    {"driverKey", SystemToUtf8(st.driverKey)},
                    {"deviceNode", SystemToUtf8(setup.DeviceNode())}};
  if (json) {
    std::cout << Dump(j) << "\n";
    return;
  }
  for (const auto& [key, value] : j.items()) {
    if (key == "settings") {
      std::cout << "settings:\n";
      for (const auto& [field, fieldValue] : value.items()) {
        std::cout << "  " << field << ": "
                  << (fieldValue.is_string() ? fieldValue.get<std::string>() : fieldValue.dump())
                  << "\n";
      }
    } else if (key == "portKind") {
      std::cout << key << ": " << st.portKind << " (" << PortKindName(st.portKind) << ")\n";
    } else {
      std::cout << key << ": " << (value.is_string() ? value.get<std::string>() : value.dump())
                << "\n";
    }
  }
}

void ShowPorts(bool json) {
  std::vector<std::string> serial;
  std::vector<std::string> parallel;
  std::vector<std::string> usb;
  std::vector<std::string> usbPaths;
  std::vector<std::string> printers;
  FillSerialPortList(serial);
  FillParallelPortList(parallel);
  // The "FAILED to open" lines must not break the JSON on the standard output.
  std::string usbReason;
  FillUsbPrinterList(usb, usbPaths, json ? stderr : stdout, &usbReason);
  if (usb.empty() && !usbReason.empty()) {
    // Why no USB printer opens (a group the user is not in, a node with no printer behind it).
    std::cerr << "azuz: no USB printer could be opened: " << usbReason << "\n";
  }
  const bool spooler = FillPrinterList(printers) || !printers.empty();
  if (!spooler) {
    std::cerr << "azuz: cannot list the print queues: " << CupsLastError() << "\n";
  }
  if (json) {
    ordered_json usbList = ordered_json::array();
    for (std::size_t i = 0; i < usb.size(); ++i) {
      usbList.push_back({{"name", usb[i]}, {"path", SystemToUtf8(usbPaths[i])}});
    }
    ordered_json printerList = ordered_json::array();
    for (const std::string& p : printers) {
      printerList.push_back(SystemToUtf8(p));
    }
    std::cout << Dump({{"serial", serial},
                       {"parallel", parallel},
                       {"usb", usbList},
                       {"printers", printerList}})
              << "\n";
    return;
  }
  auto line = [](const char* title, const std::vector<std::string>& entries) {
    std::cout << title << ":";
    for (const std::string& e : entries) {
      std::cout << " " << SystemToUtf8(e);
    }
    std::cout << "\n";
  };
  line("serial", serial);
  line("parallel", parallel);
  std::cout << "usb:" << (usb.empty() ? " (none)" : "") << "\n";
  for (std::size_t i = 0; i < usb.size(); ++i) {
    std::cout << "  " << usb[i] << " " << SystemToUtf8(usbPaths[i]) << "\n";
  }
  line("printers", printers);
}

}  // namespace

void AddConnectionVerbs(CLI::App& app, int& status) {
  auto* connection = app.add_subcommand(
      "connection", "Show the printer model and connection the designer chooses at start");
  auto commandLine = std::make_shared<std::string>();
  auto connectionJson = std::make_shared<bool>(false);
  connection->add_option("--command-line", *commandLine,
                         "the designer's command-line tail: \"Custom QPT-L712\", a print queue's "
                         "name, or nothing");
  connection->add_flag("--json", *connectionJson, "print JSON");
  connection->callback([commandLine, connectionJson, &status] {
    ShowConnection(*commandLine, *connectionJson);
    status = 0;
  });

  auto* ports = app.add_subcommand(
      "ports", "List the serial and parallel ports, USB printers and supported print queues");
  auto portsJson = std::make_shared<bool>(false);
  ports->add_flag("--json", *portsJson, "print JSON");
  ports->callback([portsJson, &status] {
    ShowPorts(*portsJson);
    status = 0;
  });
}

}  // namespace azuz::cli
