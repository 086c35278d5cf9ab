#include "CommSetForm.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "CRegistry.h"
#include "Connection.h"
#include "PortLists.h"
#include "PortNodeResolver.h"
#include "PrinterList.h"
#include "TextHelpers.h"
#include "UserPrompts.h"

namespace azuz {

namespace {

constexpr std::array<int, 7> kBaudRates = {2400, 4800, 9600, 19200, 38400, 57600, 115200};
constexpr int kSerialDefaultBaud = 9600;
constexpr std::uint32_t kHighestTcpPort = 65535;

// The controls that driver mode turns off, and direct mode on again.
constexpr std::initializer_list<int> kDirectControls = {
    IDC_PORT_LIST, IDC_BAUD_LIST,  IDC_DATA_BITS_LIST, IDC_STOP_BITS_LIST,
    IDC_FLOW_LIST, IDC_TCP_PORT,   IDC_PORT_COM,       IDC_PORT_LPT,
    IDC_PORT_USB,  IDC_PORT_TCPIP, IDC_IP_ADDRESS,     IDC_PARITY_LIST};

bool StartsWith(const std::string& text, const char* prefix) {
  return text.rfind(prefix, 0) == 0;
}

// A name the port list of this kind may hold although the list doesn't offer it.
bool NameOfKind(const std::string& name, std::int32_t kind) {
  if (kind == 0) {
    return StartsWith(name, "COM") || StartsWith(name, "\\\\.\\COM") ||
           StartsWith(name, "/dev/tty");
  }
  return kind == 1 && (StartsWith(name, "LPT") || StartsWith(name, "/dev/lp") ||
                       StartsWith(name, "/dev/parport"));
}

int IndexOrNone(int value, int count) {
  return value >= 0 && value < count ? value : -1;
}

}  // namespace

std::string FormList::Text() const {
  return selected >= 0 && selected < static_cast<int>(entries.size())
             ? entries[static_cast<std::size_t>(selected)]
             : std::string();
}

bool FormList::SetText(const std::string& text) {
  const auto it = std::find(entries.begin(), entries.end(), text);
  selected = it == entries.end() ? -1 : static_cast<int>(it - entries.begin());
  return selected >= 0;
}

void FormList::Clear() {
  entries.clear();
  selected = -1;
}

CommSetSources CommSetSources::System() {
  CommSetSources sources;
  sources.fillSerial = [](std::vector<std::string>& entries) { FillSerialPortList(entries); };
  sources.fillParallel = [](std::vector<std::string>& entries) { FillParallelPortList(entries); };
  sources.fillUsb = [](std::vector<std::string>& entries, std::vector<std::string>& paths,
                       std::string& reason) {
    FillUsbPrinterList(entries, paths, stdout, &reason);
  };
  sources.fillPrinters = [](std::vector<std::string>& models, std::vector<std::string>& queues) {
    return FillPrinterList(models, &queues);
  };
  sources.portNode = [](const std::string& portName) {
    return ConnectionPortNode(portName, RegistryFilePath());
  };
  return sources;
}

CommSetForm::CommSetForm(CommSetSources sources) : sources_(std::move(sources)) {
  for (int id : {IDC_PRINTER_LIST, IDC_PORT_LIST, IDC_BAUD_LIST, IDC_DATA_BITS_LIST,
                 IDC_STOP_BITS_LIST, IDC_FLOW_LIST, IDC_PARITY_LIST}) {
    lists_[id];
  }
  labels_[IDC_PORT_LABEL] = "Port:";
  labels_[IDC_BAUD_LABEL] = "Baudrate:";
}

const FormList& CommSetForm::List(int id) const {
  static const FormList none;
  const auto it = lists_.find(id);
  return it == lists_.end() ? none : it->second;
}

FormList& CommSetForm::MutableList(int id) {
  return lists_[id];
}

bool CommSetForm::Enabled(int id) const {
  const auto it = enabled_.find(id);
  return it == enabled_.end() || it->second;
}

bool CommSetForm::Visible(int id) const {
  const auto it = visible_.find(id);
  return it == visible_.end() || it->second;
}

std::string CommSetForm::Label(int id) const {
  const auto it = labels_.find(id);
  return it == labels_.end() ? std::string() : it->second;
}

void CommSetForm::Enable(std::initializer_list<int> ids, bool on) {
  for (int id : ids) {
    enabled_[id] = on;
  }
}

void CommSetForm::Show(std::initializer_list<int> ids, bool on) {
  for (int id : ids) {
    visible_[id] = on;
  }
}

void CommSetForm::SelectEntry(int id, int index) {
  FormList& list = MutableList(id);
  list.selected = IndexOrNone(index, static_cast<int>(list.entries.size()));
}

bool CommSetForm::OnInitDialog() {
  UpdateData(false);
  auto fill = [this](int id, std::initializer_list<const char*> entries) {
    FormList& list = MutableList(id);
    list.Clear();
    list.entries.assign(entries.begin(), entries.end());
  };
  fill(IDC_BAUD_LIST, {"2400", "4800", "9600", "19200", "38400", "57600", "115200"});
  fill(IDC_STOP_BITS_LIST, {"1", "1.5", "2"});
  fill(IDC_DATA_BITS_LIST, {"8"});
  fill(IDC_FLOW_LIST, {"Hardware", "Xon/Xoff"});
  fill(IDC_PARITY_LIST, {"NONE", "ODD", "EVEN"});

  if (SetDriverMode(useDriver != 0)) {
    SelectPrinterFromSettings();
  } else {
    useDriver = 0;
    ShowPortKind(portKind);
  }
  SelectFromSettings();
  addressControl_ = ipAddress;
  UpdateData(false);
  return true;
}

// Each list shows what the settings hold; a value no entry stands for leaves it unselected, and
// an unselected list leaves its setting alone on OK.
void CommSetForm::SelectFromSettings() {
  const auto baud = std::find(kBaudRates.begin(), kBaudRates.end(), settings.baudRate);
  MutableList(IDC_BAUD_LIST).selected =
      baud == kBaudRates.end() ? -1 : static_cast<int>(baud - kBaudRates.begin());
  MutableList(IDC_STOP_BITS_LIST).selected = IndexOrNone(settings.stopBits, 3);
  MutableList(IDC_DATA_BITS_LIST).selected = settings.dataBits == 8 ? 0 : -1;
  MutableList(IDC_FLOW_LIST).selected = settings.flowControl != 0 ? 1 : 0;
  MutableList(IDC_PARITY_LIST).selected = IndexOrNone(settings.parity, 3);
}

void CommSetForm::SelectPrinterFromSettings() {
  const auto it = std::find(printerQueues.begin(), printerQueues.end(), settings.portName);
  const bool found = it != printerQueues.end() && !settings.portName.empty();
  SelectEntry(IDC_PRINTER_LIST, found ? static_cast<int>(it - printerQueues.begin()) : 0);
}

void CommSetForm::SelectUsbFromSettings() {
  const std::string wanted = AsciiLower(settings.portName);
  const auto it = std::find_if(devicePaths.begin(), devicePaths.end(),
                               [&](const std::string& path) { return AsciiLower(path) == wanted; });
  SelectEntry(IDC_PORT_LIST,
              it == devicePaths.end() ? 0 : static_cast<int>(it - devicePaths.begin()));
}

bool CommSetForm::SetDriverMode(bool on) {
  if (on) {
    FormList& list = MutableList(IDC_PRINTER_LIST);
    std::vector<std::string> models;
    std::vector<std::string> queues;
    const bool found = sources_.fillPrinters && sources_.fillPrinters(models, queues);
    list.Clear();
    printerQueues.clear();
    if (!found) {
      list.entries = {"NONE"};
      list.selected = 0;
      SetDriverMode(false);
      return false;
    }
    // Queues of one model are told apart by their names; the queue is what gets printed to.
    for (std::size_t i = 0; i < models.size(); ++i) {
      const std::string queue = i < queues.size() ? queues[i] : std::string();
      list.entries.push_back(queue.empty() ? models[i] : models[i] + " (" + queue + ")");
      printerQueues.push_back(queue.empty() ? models[i] : queue);
    }
    enabled_[IDC_PRINTER_LIST] = true;
    Enable(kDirectControls, false);
    return true;
  }
  enabled_[IDC_PRINTER_LIST] = false;
  Enable(kDirectControls, true);
  return false;
}

void CommSetForm::ShowPortKind(std::int32_t kind) {
  MutableList(IDC_PORT_LIST).Clear();
  labels_[IDC_PORT_LABEL] = "Port:";
  labels_[IDC_BAUD_LABEL] = "Baudrate:";
  Enable({IDC_PORT_LIST}, true);
  Show({IDC_IP_ADDRESS, IDC_TCP_PORT}, false);
  Enable({IDC_IP_ADDRESS, IDC_TCP_PORT}, false);
  Show({IDC_PORT_LIST, IDC_BAUD_LIST}, true);
  Enable({IDC_BAUD_LIST, IDC_DATA_BITS_LIST, IDC_STOP_BITS_LIST, IDC_FLOW_LIST, IDC_PARITY_LIST},
         false);

  FormList& ports = MutableList(IDC_PORT_LIST);
  switch (kind) {
    case 0:
      Enable(
          {IDC_BAUD_LIST, IDC_DATA_BITS_LIST, IDC_STOP_BITS_LIST, IDC_FLOW_LIST, IDC_PARITY_LIST},
          true);
      if (sources_.fillSerial) {
        sources_.fillSerial(ports.entries);
      }
      break;
    case 1:
      if (sources_.fillParallel) {
        sources_.fillParallel(ports.entries);
      }
      break;
    case 2: {
      devicePaths.clear();
      std::string reason;
      if (sources_.fillUsb) {
        sources_.fillUsb(ports.entries, devicePaths, reason);
      }
      if (ports.entries.empty()) {
        Prompts().Message(kMessageNoPrinter, reason);
        kindButtonChecked_ = 0;
        portKind = 0;
        settings.portName = "COM1";
        ShowPortKind(0);
        return;
      }
      SelectUsbFromSettings();
      return;
    }
    case 3:
      Enable({IDC_PORT_LIST}, false);
      Show({IDC_PORT_LIST, IDC_BAUD_LIST}, false);
      Enable({IDC_IP_ADDRESS, IDC_TCP_PORT}, true);
      Show({IDC_IP_ADDRESS, IDC_TCP_PORT}, true);
      labels_[IDC_PORT_LABEL] = "IP:";
      labels_[IDC_BAUD_LABEL] = "PORT:";
      ReadAddress(settings.portName, ipAddress);
      addressControl_ = ipAddress;
      addressShown_ = ipAddress;
      tcpPort = static_cast<std::uint32_t>(settings.baudRate);
      tcpPortText_ = std::to_string(tcpPort);
      break;
    default:
      break;
  }
  // A port the list doesn't offer (a name from the stored settings) is kept as an entry of its
  // own, so that OK doesn't lose it.
  if (!ports.SetText(settings.portName) && NameOfKind(settings.portName, kind)) {
    ports.entries.push_back(settings.portName);
    ports.selected = static_cast<int>(ports.entries.size()) - 1;
  }
}

void CommSetForm::OnCommand(int id) {
  if (!Enabled(id)) {
    return;
  }
  switch (id) {
    case IDC_DIRECT_PORT:
      driverButtonChecked_ = false;
      useDriver = 0;
      SetDriverMode(false);
      ShowPortKind(portKind);
      if (List(IDC_PORT_LIST).selected < 0) {
        SelectEntry(IDC_PORT_LIST, 0);
      }
      break;
    case IDC_DRIVER_MODE:
      driverButtonChecked_ = true;
      UpdateData(true);
      if (SetDriverMode(useDriver != 0)) {
        useDriver = 1;
        SelectPrinterFromSettings();
      } else {
        ShowPortKind(portKind);
        useDriver = 0;
        UpdateData(false);
      }
      break;
    case IDC_PORT_COM:
      kindButtonChecked_ = portKind = 0;
      settings.portName = "COM1";
      ShowPortKind(0);
      // Coming from TCP/IP, baudRate holds a TCP port: offer the usual line speed instead.
      if (List(IDC_BAUD_LIST).selected < 0) {
        MutableList(IDC_BAUD_LIST).SetText(std::to_string(kSerialDefaultBaud));
      }
      break;
    case IDC_PORT_LPT:
      kindButtonChecked_ = portKind = 1;
      settings.portName = "LPT1";
      ShowPortKind(1);
      break;
    case IDC_PORT_USB:
      kindButtonChecked_ = portKind = 2;
      settings.portName = "USB001:";
      ShowPortKind(2);
      break;
    case IDC_PORT_TCPIP:
      kindButtonChecked_ = portKind = 3;
      settings.portName = kDefaultIpAddressText;
      settings.baudRate = kDefaultTcpPort;
      ShowPortKind(3);
      break;
    default:
      break;
  }
}

bool CommSetForm::UpdateData(bool saveAndValidate) {
  if (!saveAndValidate) {
    driverButtonChecked_ = useDriver != 0;
    kindButtonChecked_ = portKind;
    tcpPortText_ = std::to_string(tcpPort);
    addressControl_ = ipAddress;
    return true;
  }
  useDriver = driverButtonChecked_ ? 1 : 0;
  portKind = kindButtonChecked_;
  ipAddress = addressControl_;
  // A hidden field can't be corrected by the user: only the shown one is checked and taken.
  if (!Enabled(IDC_TCP_PORT) || !Visible(IDC_TCP_PORT)) {
    return true;
  }
  std::string text;
  for (char c : tcpPortText_) {
    if (c != ' ') {
      text += c;
    }
  }
  const bool digits =
      !text.empty() && text.size() <= 10 &&
      std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
  const unsigned long long value = digits ? std::strtoull(text.c_str(), nullptr, 10) : 0;
  if (!digits || value > std::numeric_limits<std::uint32_t>::max()) {
    Prompts().Message(kMessageNotUnsigned);
    return false;
  }
  if (value < 1 || value > kHighestTcpPort) {
    Prompts().Message(kMessagePortRange);
    return false;
  }
  tcpPort = static_cast<std::uint32_t>(value);
  return true;
}

}  // namespace azuz
