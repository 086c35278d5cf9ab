#include <gtest/gtest.h>

#include "ConnectionSetup.h"
#include "ModelName.h"
#include "RegistryFixture.h"
#include "printer/CupsdTest.h"

namespace azuz {
namespace {

const char* const kStoredKeys =
    "[HKEY_LOCAL_MACHINE\\Software\\ORVELIX\\QPT-L710\\KDW\\Custom]\r\n"
    "\"Port\"=\"COM3\"\r\n"
    "\"BaudRate\"=dword:00004b00\r\n"
    "\"DataBits\"=dword:00000007\r\n"
    "\"FlowControl\"=dword:00000001\r\n"
    "\"Parity\"=dword:00000002\r\n"
    "\"StopBits\"=dword:00000002\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\ORVELIX\\QPT-L712\\KDW\\Custom]\r\n"
    "\"Port\"=\"NET\"\r\n"
    "\"TcpIp\"=\"192.168.0.9\"\r\n"
    "\"TcpPort\"=dword:0000238d\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\ORVELIX\\QPT-L710\\KDW\\Watermark]\r\n"
    "\"Port\"=\"LPT2\"\r\n";

ConnectionState Defaults() {
  return ConnectionState{};
}

class StartupCustom : public ::testing::Test {
 protected:
  void SetUp() override {
    setup.registryPath = test::WriteRegFile(dir, "s.reg", kStoredKeys, test::RegEncoding::Utf8);
    SetCurrentModelName("stale");
  }
  test::TempDir dir;
  ConnectionSetup setup;
};

TEST_F(StartupCustom, L710ReadsItsOwnKey) {
  setup.SelectStartupConnection("Custom QPT-L710");
  EXPECT_EQ(CurrentModelName(), "QPT-L710");
  EXPECT_EQ(setup.state.driverKey, kDriverKeyL710);
  const CommSettings& s = setup.state.settings;
  EXPECT_EQ(setup.state.portKind, kPortKindSerial);
  EXPECT_EQ(s.portName, "COM3");
  EXPECT_EQ(s.baudRate, 19200);
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.flowControl, 1);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.stopBits, 2);
  EXPECT_EQ(setup.state.releaseSpoolerPort, 0);
}

TEST_F(StartupCustom, AnyOtherModelTextReadsTheL712Key) {
  struct Case {
    const char* commandLine;
    const char* model;
  };
  for (const Case& c : {Case{"Custom QPT-L712", "QPT-L712"}, Case{"Custom", ""},
                        Case{"Custom ", ""}, Case{"Custom  QPT-L710", " QPT-L710"}}) {
    ConnectionSetup fresh;
    fresh.registryPath = setup.registryPath;
    fresh.SelectStartupConnection(c.commandLine);
    EXPECT_EQ(CurrentModelName(), c.model) << c.commandLine;
    EXPECT_EQ(fresh.state.driverKey, kDriverKeyL712) << c.commandLine;
    EXPECT_EQ(fresh.state.portKind, kPortKindTcpIp) << c.commandLine;
    EXPECT_EQ(fresh.state.settings.portName, "192.168.0.9") << c.commandLine;
    EXPECT_EQ(fresh.state.settings.baudRate, 9101) << c.commandLine;
    EXPECT_EQ(PageWidthForModel(CurrentModelName()), 576) << c.commandLine;
  }
}

TEST_F(StartupCustom, TheCharacterAfterCustomIsSkippedWhateverItIs) {
  setup.SelectStartupConnection("Custom_QPT-L710");
  EXPECT_EQ(CurrentModelName(), "QPT-L710");
  EXPECT_EQ(setup.state.settings.portName, "COM3");
  EXPECT_EQ(PageWidthForModel(CurrentModelName()), 512);
}

TEST_F(StartupCustom, AnEmptyCommandLineKeepsTheInitialState) {
  setup.SelectStartupConnection("");
  EXPECT_EQ(CurrentModelName(), "QPT-L710");
  EXPECT_EQ(setup.state, Defaults());
}

TEST(CommandLineTail, ArgumentsJoinWithOneBlank) {
  const char* split[] = {"vurodadud-azuz", "Custom", "QPT-L712"};
  const char* quoted[] = {"vurodadud-azuz", "Custom QPT-L712"};
  EXPECT_EQ(CommandLineTail(3, split), "Custom QPT-L712");
  EXPECT_EQ(CommandLineTail(2, quoted), "Custom QPT-L712");
  EXPECT_EQ(CommandLineTail(1, quoted), "");
}

// LoadStoredSettings on one key holding the given values, from a state far from the defaults.
class StoredSettings : public ::testing::Test {
 protected:
  ConnectionState Load(const std::string& values) {
    ConnectionSetup setup;
    setup.registryPath = test::WriteRegFile(
        dir, "k.reg", "[HKEY_LOCAL_MACHINE\\K]\n" + values + "[HKEY_LOCAL_MACHINE\\K\\Sub]\n",
        test::RegEncoding::Ansi);
    setup.state.portKind = kPortKindUsb;
    setup.state.useDriver = 1;
    setup.state.settings = {"elsewhere", 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 1};
    setup.LoadStoredSettings("K");
    return setup.state;
  }
  // The defaults of the loader over the state Load() starts from: later words untouched.
  static ConnectionState StoredDefaults() {
    ConnectionState s;
    s.portKind = kPortKindSerial;
    s.settings = {"COM1", 9600, 8, 0, 0, 0, 6, 7, 8, 9, 10, 11, 12, 1};
    return s;
  }
  test::TempDir dir;
};

TEST_F(StoredSettings, KeysWithoutValuesGiveTheDefaults) {
  EXPECT_EQ(Load(""), StoredDefaults());  // only a sub-key
  ConnectionSetup setup;
  setup.registryPath = dir / "absent.reg";
  setup.LoadStoredSettings("K");
  EXPECT_EQ(setup.state, Defaults());
}

TEST_F(StoredSettings, AnyFailedReadFallsBackToAllDefaults) {
  for (const char* values :
       {"\"Port\"=\"COM3\"\n\"BaudRate\"=dword:00004b00\n\"DataBits\"=dword:00000007\n"
        "\"FlowControl\"=dword:00000001\n\"StopBits\"=dword:00000000\n",  // no Parity
        "\"Port\"=\"NET\"\n\"TcpIp\"=\"10.0.0.1\"\n\"TcpPort\"=\"9100\"\n",
        "\"Port\"=\"NET\"\n\"TcpPort\"=dword:0000238c\n", "\"Port\"=\"com1\"\n",
        "\"Port\"=\"USB001\"\n", "\"Port\"=dword:00000001\n", "\"Other\"=\"x\"\n",
        "\"Port\"=\"\"\n"}) {
    EXPECT_EQ(Load(values), StoredDefaults()) << values;
  }
}

TEST_F(StoredSettings, EachPortKindReadsItsValues) {
  ConnectionState lpt = Load("\"Port\"=\"LPT2\"\n\"BaudRate\"=dword:00004b00\n");
  ConnectionState expected = StoredDefaults();
  expected.portKind = kPortKindParallel;
  expected.settings.portName = "LPT2";
  EXPECT_EQ(lpt, expected);

  ConnectionState usb = Load("\"Port\"=\"USB001\"\n\"UsbdeviceName\"=\"\\\\?\\USB#VID_7C2E\"\n");
  EXPECT_EQ(usb.portKind, kPortKindUsb);
  EXPECT_EQ(usb.settings.portName, "\\?\\USB#VID_7C2E");

  ConnectionState net =
      Load("\"Port\"=\"NETWORK\"\n\"TcpIp\"=\"till\"\n\"TcpPort\"=dword:0000238c\n");
  EXPECT_EQ(net.portKind, kPortKindTcpIp);
  EXPECT_EQ(net.settings.portName, "till");
  EXPECT_EQ(net.settings.baudRate, 9100);

  // Values are taken as stored, unchecked; a big-endian dword is read without a swap.
  ConnectionState com = Load(
      "\"Port\"=\"COM7\"\n\"BaudRate\"=hex(5):01,00,00,00\n\"DataBits\"=dword:ffffffff\n"
      "\"FlowControl\"=dword:00000009\n\"Parity\"=dword:00000004\n\"StopBits\"=dword:00000001\n");
  EXPECT_EQ(com.portKind, kPortKindSerial);
  EXPECT_EQ(com.settings.portName, "COM7");
  EXPECT_EQ(com.settings.baudRate, 1);
  EXPECT_EQ(com.settings.dataBits, -1);
  EXPECT_EQ(com.settings.flowControl, 9);
  EXPECT_EQ(com.settings.parity, 4);
  EXPECT_EQ(com.settings.stopBits, 1);
  EXPECT_EQ(com.useDriver, 0);
}

// A printer name on the command line, resolved through a private cupsd.
class StartupPrinter : public test::CupsdTest {
 protected:
  void SetUp() override {
    test::CupsdTest::SetUp();
    setup.registryPath = test::WriteRegFile(dir, "s.reg", kStoredKeys, test::RegEncoding::Utf16);
  }
  test::TempDir dir;
  ConnectionSetup setup;
};

TEST_F(StartupPrinter, ASerialQueueGivesItsPortAndReleasesIt) {
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L712",
                             "serial:/dev/ttyS1?baud=19200+bits=7+parity=even+flow=soft"))
      << cupsd.Error();
  setup.SelectStartupConnection("till");
  const CommSettings& s = setup.state.settings;
  EXPECT_EQ(setup.state.portKind, kPortKindSerial);
  EXPECT_EQ(s.portName, "COM2");
  EXPECT_EQ(s.baudRate, 19200);
  EXPECT_EQ(s.parity, 2);
  EXPECT_EQ(s.dataBits, 7);
  EXPECT_EQ(s.stopBits, 0);
  EXPECT_EQ(s.flowControl, 1);
  EXPECT_EQ(CurrentModelName(), "QPT-L712");
  EXPECT_EQ(setup.state.releaseSpoolerPort, 1);
  EXPECT_EQ(setup.state.useDriver, 0);
  EXPECT_EQ(setup.state.driverKey, "");
}

TEST_F(StartupPrinter, ASocketQueueGivesAddressAndPortWithoutRelease) {
  ASSERT_TRUE(cupsd.AddQueue("net", "ORVELIX QPT-L710", "socket://127.0.0.1:9109"))
      << cupsd.Error();
  setup.SelectStartupConnection("net");
  EXPECT_EQ(setup.state.portKind, kPortKindTcpIp);
  EXPECT_EQ(setup.state.settings.portName, "127.0.0.1");
  EXPECT_EQ(setup.state.settings.baudRate, 9109);
  EXPECT_EQ(setup.state.releaseSpoolerPort, 0);
  EXPECT_EQ(CurrentModelName(), "QPT-L710");
}

TEST_F(StartupPrinter, UnresolvablePrintersFallBackToTheWatermarkKey) {
  ASSERT_TRUE(cupsd.AddQueue("tofile", "ORVELIX QPT-L712", "file:///dev/null")) << cupsd.Error();
  for (const char* name : {"tofile", "absent", "custom QPT-L710"}) {
    ConnectionSetup fresh;
    fresh.registryPath = setup.registryPath;
    fresh.SelectStartupConnection(name);
    EXPECT_EQ(fresh.state.portKind, kPortKindParallel) << name;
    EXPECT_EQ(fresh.state.settings.portName, "LPT2") << name;
    EXPECT_EQ(fresh.state.releaseSpoolerPort, 0) << name;
  }
  // The queue that was found but not resolved has already named its model.
  setup.SelectStartupConnection("tofile");
  EXPECT_EQ(CurrentModelName(), "QPT-L712");
}

TEST_F(StartupPrinter, WithoutAWatermarkKeyTheDefaultsStand) {
  setup.registryPath = dir / "absent.reg";
  setup.SelectStartupConnection("absent");
  EXPECT_EQ(setup.state, Defaults());
  EXPECT_EQ(CurrentModelName(), "QPT-L710");
}

}  // namespace
}  // namespace azuz
