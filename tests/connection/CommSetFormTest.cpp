#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "CommSetForm.h"
#include "ConnectionState.h"
#include "PortLists.h"
#include "RegistryFixture.h"
#include "UsbTestbed.h"
#include "printer/CapturedMessages.h"
#include "printer/CupsdTest.h"

namespace azuz {
namespace {

using Texts = std::vector<std::string>;

// The form as the frame hands it the connection, opened.
CommSetForm Opened(const ConnectionState& state,
                   CommSetSources sources = CommSetSources::System()) {
  CommSetForm form(std::move(sources));
  form.settings = state.settings;
  form.portKind = state.portKind;
  form.useDriver = state.useDriver;
  EXPECT_TRUE(form.OnInitDialog());
  return form;
}

ConnectionState Serial(const std::string& port, int baud) {
  ConnectionState state;
  state.settings.portName = port;
  state.settings.baudRate = baud;
  return state;
}

TEST(CommSetForm, OkAfterOpeningChangesNothing) {
  ConnectionState state = Serial("COM3", 19200);
  state.settings.dataBits = 8;
  state.settings.stopBits = 2;
  state.settings.parity = 2;
  state.settings.flowControl = 1;
  CommSetForm form = Opened(state);
  EXPECT_EQ(form.List(IDC_BAUD_LIST).Text(), "19200");
  EXPECT_EQ(form.List(IDC_STOP_BITS_LIST).Text(), "2");
  EXPECT_EQ(form.List(IDC_PARITY_LIST).Text(), "EVEN");
  EXPECT_EQ(form.List(IDC_FLOW_LIST).Text(), "Xon/Xoff");
  EXPECT_EQ(form.List(IDC_PORT_LIST).Text(), "COM3");
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.settings, state.settings);
  EXPECT_EQ(form.portKind, 0);
  EXPECT_EQ(form.useDriver, 0);
}

TEST(CommSetForm, SerialListsFeedTheSettings) {
  CommSetForm form = Opened(Serial("COM1", 9600));
  EXPECT_EQ(form.List(IDC_PORT_LIST).entries.front(), "COM1");
  EXPECT_EQ(form.List(IDC_PORT_LIST).entries[29], "COM30");
  form.SelectEntry(IDC_PORT_LIST, 4);
  form.SelectEntry(IDC_BAUD_LIST, 6);
  form.SelectEntry(IDC_STOP_BITS_LIST, 1);
  form.SelectEntry(IDC_PARITY_LIST, 1);
  form.SelectEntry(IDC_FLOW_LIST, 1);
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.settings.portName, "COM5");
  EXPECT_EQ(form.settings.baudRate, 115200);
  EXPECT_EQ(form.settings.dataBits, 8);
  EXPECT_EQ(form.settings.stopBits, 1);
  EXPECT_EQ(form.settings.parity, 1);
  EXPECT_EQ(form.settings.flowControl, 1);
}

TEST(CommSetForm, ValuesNoEntryStandsForStayUnselectedAndUnchanged) {
  // A rate, data bits and parity the stored settings may hold but the lists don't offer, and a
  // port node the serial list didn't find.
  ConnectionState state = Serial("/dev/ttyUSB7", 1200);
  state.settings.dataBits = 7;
  state.settings.parity = 4;
  state.settings.flowControl = 5;
  CommSetForm form = Opened(state);
  EXPECT_EQ(form.List(IDC_BAUD_LIST).selected, -1);
  EXPECT_EQ(form.List(IDC_DATA_BITS_LIST).selected, -1);
  EXPECT_EQ(form.List(IDC_PARITY_LIST).selected, -1);
  EXPECT_EQ(form.List(IDC_FLOW_LIST).Text(), "Xon/Xoff");
  EXPECT_EQ(form.List(IDC_PORT_LIST).Text(), "/dev/ttyUSB7");
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.settings, state.settings);
  // Picking a rate takes it.
  form.SelectEntry(IDC_BAUD_LIST, 0);
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.settings.baudRate, 2400);
}

TEST(CommSetForm, EnablingAndLabelsFollowThePortKind) {
  CommSetForm form = Opened(Serial("COM1", 9600));
  EXPECT_TRUE(form.Enabled(IDC_BAUD_LIST) && form.Enabled(IDC_PARITY_LIST));
  EXPECT_FALSE(form.Visible(IDC_IP_ADDRESS) || form.Visible(IDC_TCP_PORT));
  EXPECT_FALSE(form.Enabled(IDC_PRINTER_LIST));
  EXPECT_EQ(form.Label(IDC_PORT_LABEL), "Port:");
  EXPECT_EQ(form.Label(IDC_BAUD_LABEL), "Baudrate:");

  form.OnCommand(IDC_PORT_LPT);
  EXPECT_EQ(form.CheckedKind(), 1);
  EXPECT_EQ(form.List(IDC_PORT_LIST).entries, (Texts{"LPT1", "LPT2", "LPT3", "LPT4", "LPT5", "LPT6",
                                                     "LPT7", "LPT8", "LPT9", "LPT10"}));
  EXPECT_EQ(form.List(IDC_PORT_LIST).Text(), "LPT1");
  for (int id :
       {IDC_BAUD_LIST, IDC_DATA_BITS_LIST, IDC_STOP_BITS_LIST, IDC_FLOW_LIST, IDC_PARITY_LIST}) {
    EXPECT_FALSE(form.Enabled(id)) << id;
  }
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.portKind, 1);
  EXPECT_EQ(form.settings.portName, "LPT1");

  form.OnCommand(IDC_PORT_TCPIP);
  EXPECT_EQ(form.Label(IDC_PORT_LABEL), "IP:");
  EXPECT_EQ(form.Label(IDC_BAUD_LABEL), "PORT:");
  EXPECT_TRUE(form.Visible(IDC_IP_ADDRESS) && form.Enabled(IDC_IP_ADDRESS));
  EXPECT_TRUE(form.Visible(IDC_TCP_PORT) && form.Enabled(IDC_TCP_PORT));
  EXPECT_FALSE(form.Visible(IDC_PORT_LIST) || form.Visible(IDC_BAUD_LIST));

  // Back to COM: a serial rate again, not the TCP port.
  form.OnCommand(IDC_PORT_COM);
  EXPECT_EQ(form.Label(IDC_PORT_LABEL), "Port:");
  EXPECT_TRUE(form.Visible(IDC_PORT_LIST));
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.settings.portName, "COM1");
  EXPECT_EQ(form.settings.baudRate, 9600);
}

TEST(CommSetForm, TcpIpShowsTheDefaultAddressAndPaddedPartsOnOk) {
  CommSetForm form = Opened(Serial("COM1", 9600));
  form.OnCommand(IDC_PORT_TCPIP);
  EXPECT_EQ(form.AddressControl(), kDefaultIpAddress);
  EXPECT_EQ(form.TcpPortText(), "9100");
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.portKind, 3);
  EXPECT_EQ(form.settings.portName, "192.168.192.168");
  EXPECT_EQ(form.settings.baudRate, 9100);

  form.SetAddressControl({10, 0, 99, 100});
  form.SetTcpPortText("9101");
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.settings.portName, " 10.  0. 99.100");
  EXPECT_EQ(form.settings.baudRate, 9101);
}

TEST(CommSetForm, AddressTextIsReadPartByPart) {
  IpAddress address = kDefaultIpAddress;
  CommSetForm::ReadAddress("1.2.3.4.5", address);
  EXPECT_EQ(address, (IpAddress{1, 2, 3, 4}));
  CommSetForm::ReadAddress(" 10. 20.300.x", address);  // atoi per part, low eight bits
  EXPECT_EQ(address, (IpAddress{10, 20, 300 & 0xFF, 0}));
  address = kDefaultIpAddress;
  CommSetForm::ReadAddress("7.8", address);  // missing parts keep their bytes
  EXPECT_EQ(address, (IpAddress{7, 8, 192, 168}));
  EXPECT_EQ(CommSetForm::AddressText({1, 22, 0, 255}), "  1. 22.  0.255");
}

TEST(CommSetForm, TcpIpFromTheSettingsKeepsItsTextUnlessTheAddressChanges) {
  ConnectionState state;
  state.portKind = 3;
  state.settings.portName = "1.2.3.4.5";
  state.settings.baudRate = 6001;
  CommSetForm five = Opened(state);
  EXPECT_EQ(five.AddressControl(), (IpAddress{1, 2, 3, 4}));
  EXPECT_EQ(five.TcpPortText(), "6001");
  ASSERT_TRUE(five.OnOK());
  EXPECT_EQ(five.settings.portName, "  1.  2.  3.  4");

  for (const char* same : {"10.0.0.5", " 10.  0.  0.  5", "printer.example"}) {
    state.settings.portName = same;
    CommSetForm form = Opened(state);
    ASSERT_TRUE(form.OnOK());
    EXPECT_EQ(form.settings, state.settings) << same;
  }
  CommSetForm edited = Opened(state);
  edited.SetAddressControl({127, 0, 0, 1});
  ASSERT_TRUE(edited.OnOK());
  EXPECT_EQ(edited.settings.portName, "127.  0.  0.  1");
}

// The test print opens what a transfer would: a COM name the store maps goes to its node.
TEST(CommSetForm, TheTestOpensTheNodeTheStoreGivesThePortName) {
  test::TempDir dir;
  const std::string store = test::WriteRegFile(
      dir, "ports.reg",
      "[HKEY_LOCAL_MACHINE\\Software\\Vurodadud Azuz\\Ports]\r\n\"COM3\"=\"/dev/ttyUSB0\"\r\n",
      test::RegEncoding::Utf16);
  const char* old = std::getenv("AZUZ_REGISTRY");
  const std::optional<std::string> saved = old ? std::optional<std::string>(old) : std::nullopt;
  setenv("AZUZ_REGISTRY", store.c_str(), 1);
  CommSetForm mapped = Opened(Serial("COM3", 9600));
  const std::optional<CommTestRequest> test = mapped.PrepareTest();
  CommSetForm plain = Opened(Serial("COM2", 9600));
  const std::optional<CommTestRequest> unmapped = plain.PrepareTest();
  ConnectionState tcp;
  tcp.portKind = 3;
  tcp.settings.portName = "127.0.0.1";
  tcp.settings.baudRate = 9100;
  CommSetForm network = Opened(tcp);
  const std::optional<CommTestRequest> overTcp = network.PrepareTest();
  if (saved) {
    setenv("AZUZ_REGISTRY", saved->c_str(), 1);
  } else {
    unsetenv("AZUZ_REGISTRY");
  }
  ASSERT_TRUE(test && unmapped && overTcp);
  EXPECT_EQ(test->portNode, "/dev/ttyUSB0");
  EXPECT_EQ(test->settings.portName, "COM3");  // the name stays what the user chose
  EXPECT_EQ(unmapped->portNode, "/dev/ttyS1");
  EXPECT_EQ(overTcp->portNode, "");
}

TEST(CommSetForm, ATcpPortThatIsNoPortNumberKeepsTheDialogOpen) {
  test::CapturedMessages messages;
  ConnectionState state;
  state.portKind = 3;
  state.settings.portName = "127.0.0.1";
  state.settings.baudRate = 9100;
  CommSetForm form = Opened(state);
  for (const char* text : {"", "-1", "12a", "99999999999"}) {
    form.SetTcpPortText(text);
    EXPECT_FALSE(form.OnOK()) << text;
    EXPECT_FALSE(form.PrepareTest().has_value()) << text;
  }
  for (const char* text : {"0", "65536"}) {
    form.SetTcpPortText(text);
    EXPECT_FALSE(form.OnOK()) << text;
  }
  const Texts seen = messages.Texts();
  ASSERT_EQ(seen.size(), 10u);
  EXPECT_EQ(seen.front(), kMessageNotUnsigned);
  EXPECT_EQ(seen.back(), kMessagePortRange);
  EXPECT_EQ(form.settings.baudRate, 9100);
  form.SetTcpPortText(" 65535 ");
  EXPECT_TRUE(form.OnOK());
  EXPECT_EQ(form.settings.baudRate, 65535);
  // Once hidden, a field the user left wrong no longer holds OK up.
  form.OnCommand(IDC_PORT_TCPIP);
  form.SetTcpPortText("x");
  form.OnCommand(IDC_PORT_COM);
  EXPECT_TRUE(form.OnOK());
}

TEST(CommSetForm, APrinterThatDoesNotOpenIsExplainedInTheMessageDetails) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  bed.AddPrinter("7c2e", "0016", "ab12", false);
  test::CapturedMessages messages;
  CommSetForm form = Opened(Serial("COM2", 9600));
  testing::internal::CaptureStdout();
  form.OnCommand(IDC_PORT_USB);
  testing::internal::GetCapturedStdout();
  ASSERT_EQ(messages.Texts(), (Texts{kMessageNoPrinter}));
  EXPECT_NE(messages.Details()[0].find("open /dev/usb/lp0:"), std::string::npos)
      << messages.Details()[0];
}

TEST(CommSetForm, UsbWithoutAPrinterFallsBackToCom1) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;  // no printer on it
  test::CapturedMessages messages;
  CommSetForm form = Opened(Serial("COM2", 9600));
  form.OnCommand(IDC_PORT_USB);
  EXPECT_EQ(messages.Texts(), (Texts{kMessageNoPrinter}));
  EXPECT_EQ(form.CheckedKind(), 0);
  EXPECT_EQ(form.List(IDC_PORT_LIST).Text(), "COM1");
  EXPECT_TRUE(form.Enabled(IDC_BAUD_LIST));
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.portKind, 0);
  EXPECT_EQ(form.settings.portName, "COM1");
}

TEST(CommSetForm, UsbEntriesStandForTheirDevicePaths) {
  AZUZ_REQUIRE_UMOCKDEV();
  test::UsbTestbed bed;
  bed.AddPrinter("7c2e", "0016", "ab12");
  bed.AddPrinter("7c2e", "0016", "cd34");
  const std::string printClass = "{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}";
  CommSetForm form = Opened(Serial("COM1", 9600));
  form.OnCommand(IDC_PORT_USB);
  EXPECT_EQ(form.List(IDC_PORT_LIST).entries, (Texts{"USB01", "USB02"}));
  EXPECT_EQ(form.List(IDC_PORT_LIST).selected, 0);
  form.SelectEntry(IDC_PORT_LIST, 1);
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.portKind, 2);
  EXPECT_EQ(form.settings.portName, "\\\\?\\USB#VID_7C2E&PID_0016#cd34#" + printClass);

  // Opened again on that device (as the start-up writes it, upper case), it is the one shown.
  ConnectionState state;
  state.portKind = 2;
  state.settings.portName = "\\\\?\\USB#VID_7C2E&PID_0016#CD34#" + printClass;
  CommSetForm again = Opened(state);
  EXPECT_EQ(again.List(IDC_PORT_LIST).Text(), "USB02");
  ASSERT_TRUE(again.OnOK());
  EXPECT_EQ(again.settings.portName, "\\\\?\\USB#VID_7C2E&PID_0016#cd34#" + printClass);
}

class CommSetDriverMode : public test::CupsdTest {};

TEST_F(CommSetDriverMode, TwoPrintersOfOneModelAreToldApartAndPrintToTheirQueue) {
  ASSERT_TRUE(cupsd.AddQueue("counter", "ORVELIX QPT-L710"));
  ASSERT_TRUE(cupsd.AddQueue("kitchen", "ORVELIX QPT-L710"));
  ConnectionState state = Serial("COM4", 38400);
  state.settings.parity = 1;
  CommSetForm form = Opened(state);
  form.OnCommand(IDC_DRIVER_MODE);
  EXPECT_EQ(form.useDriver, 1);
  EXPECT_TRUE(form.DriverModeChecked());
  const FormList& printers = form.List(IDC_PRINTER_LIST);
  EXPECT_EQ(printers.entries, (Texts{"ORVELIX QPT-L710 (counter)", "ORVELIX QPT-L710 (kitchen)"}));
  EXPECT_EQ(printers.selected, 0);
  EXPECT_TRUE(form.Enabled(IDC_PRINTER_LIST));
  for (int id : {IDC_PORT_LIST, IDC_BAUD_LIST, IDC_TCP_PORT, IDC_PORT_COM, IDC_PORT_TCPIP,
                 IDC_IP_ADDRESS, IDC_PARITY_LIST}) {
    EXPECT_FALSE(form.Enabled(id)) << id;
  }
  form.SelectEntry(IDC_PRINTER_LIST, 1);
  ASSERT_TRUE(form.OnOK());
  EXPECT_EQ(form.useDriver, 1);
  CommSettings expected = state.settings;
  expected.portName = "kitchen";
  EXPECT_EQ(form.settings, expected);  // the port settings are left as they were

  // Opened again in driver mode, the chosen queue is the one selected.
  state.useDriver = 1;
  state.settings = expected;
  CommSetForm again = Opened(state);
  EXPECT_EQ(again.List(IDC_PRINTER_LIST).selected, 1);
  again.OnCommand(IDC_DIRECT_PORT);
  EXPECT_EQ(again.useDriver, 0);
  EXPECT_TRUE(again.Enabled(IDC_PORT_LIST));
  EXPECT_EQ(again.List(IDC_PORT_LIST).Text(), "COM1");  // the queue name is no port
}

TEST_F(CommSetDriverMode, NoSupportedPrinterStaysInDirectModeWithNone) {
  ASSERT_TRUE(cupsd.AddQueue("office", "Generic Text-Only"));
  ConnectionState state = Serial("COM2", 9600);
  CommSetForm form = Opened(state);
  form.OnCommand(IDC_DRIVER_MODE);
  EXPECT_EQ(form.useDriver, 0);
  EXPECT_FALSE(form.DriverModeChecked());
  EXPECT_EQ(form.List(IDC_PRINTER_LIST).entries, (Texts{"NONE"}));
  EXPECT_EQ(form.List(IDC_PRINTER_LIST).selected, 0);
  EXPECT_FALSE(form.Enabled(IDC_PRINTER_LIST));
  EXPECT_TRUE(form.Enabled(IDC_PORT_LIST));
  // Opened in driver mode with no printer, the dialog opens in direct mode.
  state.useDriver = 1;
  CommSetForm opened = Opened(state);
  EXPECT_EQ(opened.useDriver, 0);
  EXPECT_FALSE(opened.DriverModeChecked());
  EXPECT_EQ(opened.List(IDC_PORT_LIST).Text(), "COM2");
}

}  // namespace
}  // namespace azuz
