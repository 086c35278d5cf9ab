#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "CommSettings.h"

namespace azuz {

// Controls of the communication settings dialog (template 138).
inline constexpr int IDC_PRINTER_LIST = 1002;
inline constexpr int IDC_PORT_LIST = 1003;
inline constexpr int IDC_BAUD_LIST = 1004;
inline constexpr int IDC_DATA_BITS_LIST = 1005;
inline constexpr int IDC_STOP_BITS_LIST = 1006;
inline constexpr int IDC_FLOW_LIST = 1007;
inline constexpr int IDC_TCP_PORT = 1008;
inline constexpr int IDC_COMM_TEST = 1009;
inline constexpr int IDC_DRIVER_MODE = 1015;
inline constexpr int IDC_PORT_COM = 1016;
inline constexpr int IDC_PORT_LPT = 1017;
inline constexpr int IDC_PORT_USB = 1018;
inline constexpr int IDC_DIRECT_PORT = 1020;
inline constexpr int IDC_PORT_TCPIP = 1021;
inline constexpr int IDC_IP_ADDRESS = 1022;
inline constexpr int IDC_PORT_LABEL = 1023;
inline constexpr int IDC_BAUD_LABEL = 1024;
inline constexpr int IDC_PARITY_LIST = 1025;

inline constexpr char kMessageNoPrinter[] = "Error : Can't find a printer!";
inline constexpr char kMessageNotUnsigned[] = "Please enter a positive integer.";
inline constexpr char kMessagePortRange[] = "Please enter an integer between 1 and 65535.";

using IpAddress = std::array<std::uint8_t, 4>;  // most significant part first
// Where network receipt printers commonly sit when they leave the factory.
inline constexpr IpAddress kDefaultIpAddress = {192, 168, 192, 168};
inline constexpr char kDefaultIpAddressText[] = "192.168.192.168";

// A drop-down list: its entries and the selected one. Its text is the selected entry's.
struct FormList {
  std::vector<std::string> entries;
  int selected = -1;

  std::string Text() const;
  // Selects the entry equal to `text`; without one nothing is selected and the result is false.
  bool SetText(const std::string& text);
  void Clear();
};

// Where the lists come from: the system's ports, usblp printers and spooler queues by default.
struct CommSetSources {
  std::function<void(std::vector<std::string>& entries)> fillSerial;
  std::function<void(std::vector<std::string>& entries)> fillParallel;
  // `reason`: why a present printer did not open, for the message when none did.
  std::function<void(std::vector<std::string>& entries, std::vector<std::string>& devicePaths,
                     std::string& reason)>
      fillUsb;
  // Models and their queue names, in the spooler's order; false with "NONE" as the only model.
  std::function<bool(std::vector<std::string>& models, std::vector<std::string>& queues)>
      fillPrinters;
  // The device node a direct serial, parallel or USB port name opens: the store's port map
  // (empty: the name's own).
  std::function<std::string(const std::string& portName)> portNode;

  static CommSetSources System();
};

// What the test button sends over: the connection as the dialog shows it.
struct CommTestRequest {
  std::int32_t portKind = 0;
  CommSettings settings;
  bool useDriver = false;
  // The node the test opens, looked up as a transfer does; empty: settings.portName as it is.
  std::string portNode;
};

// The communication settings dialog without its widgets: the values being edited (the members),
// the state of each control, and the handlers. The window binds widgets to it: a user action is
// passed in (SelectEntry, SetTcpPortText, SetAddressControl, OnCommand), and afterwards the
// widgets are shown as the form says. Messages go through UserPrompts.
class CommSetForm {
 public:
  explicit CommSetForm(CommSetSources sources = CommSetSources::System());

  // The dialog's values; the caller copies the frame's settings, portKind and useDriver in.
  CommSettings settings;
  std::int32_t useDriver = 0;
  std::int32_t portKind = 0;
  IpAddress ipAddress = kDefaultIpAddress;
  std::uint32_t tcpPort = 9100;
  std::vector<std::string> devicePaths;    // behind the USB entries of the port list
  std::vector<std::string> printerQueues;  // behind the entries of the printer list

  // Fills the lists and selects in them what the values say. True.
  bool OnInitDialog();
  // The radio buttons (a click checks the button first) and the driver/direct choice.
  void OnCommand(int id);
  // The test button: the settings taken from the controls; nothing when they can't be taken.
  std::optional<CommTestRequest> PrepareTest();
  // OK: false keeps the dialog open (a TCP port that isn't an unsigned number).
  bool OnOK();

  bool SetDriverMode(bool on);
  void ShowPortKind(std::int32_t kind);
  CommSettings GetSettings();
  // The framework's data exchange: true takes the values from the controls (false, with a
  // message, when the TCP port text isn't a port number), false puts them into the controls.
  bool UpdateData(bool saveAndValidate);

  // Controls.
  const FormList& List(int id) const;
  bool Enabled(int id) const;
  bool Visible(int id) const;
  std::string Label(int id) const;
  bool DriverModeChecked() const { return driverButtonChecked_; }
  // The checked port kind button, 0 (COM) to 3 (TCP/IP).
  std::int32_t CheckedKind() const { return kindButtonChecked_; }
  const std::string& TcpPortText() const { return tcpPortText_; }
  const IpAddress& AddressControl() const { return addressControl_; }

  // User actions on the controls.
  void SelectEntry(int id, int index);
  void SetTcpPortText(const std::string& text) { tcpPortText_ = text; }
  void SetAddressControl(const IpAddress& address) { addressControl_ = address; }

  // "%3d.%3d.%3d.%3d": each part right-aligned in three characters.
  static std::string AddressText(const IpAddress& address);
  // portName split at full stops into at most four parts, each read as atoi does and cut to its
  // low eight bits; parts that aren't there leave their byte as it was.
  static void ReadAddress(const std::string& text, IpAddress& address);

 private:
  CommSetSources sources_;
  std::map<int, FormList> lists_;
  std::map<int, bool> enabled_;
  std::map<int, bool> visible_;
  std::map<int, std::string> labels_;
  bool driverButtonChecked_ = false;
  std::int32_t kindButtonChecked_ = 0;
  std::string tcpPortText_;
  IpAddress addressControl_ = kDefaultIpAddress;
  IpAddress addressShown_ = kDefaultIpAddress;  // what ShowPortKind (3) read from portName

  FormList& MutableList(int id);
  void Enable(std::initializer_list<int> ids, bool on);
  void Show(std::initializer_list<int> ids, bool on);
  void SelectFromSettings();
  void SelectPrinterFromSettings();
  void SelectUsbFromSettings();
  void TakeSerialSettings();
  // GetSettings; false when the TCP/IP values can't be taken from the controls.
  bool TakeSettings();
};

}  // namespace azuz
