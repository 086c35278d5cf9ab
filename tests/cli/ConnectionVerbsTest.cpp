#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <nlohmann/json.hpp>

#include "RunAzuz.h"
#include "TestData.h"
#include "connection/UsbTestbed.h"
#include "printer/CupsdTest.h"
#include "printer/UmockdevBed.h"

namespace azuz {
namespace {

using nlohmann::json;

// The store for the run: the tool finds it through AZUZ_REGISTRY, restored afterwards.
class ConnectionVerbs : public test::CupsdTest {
 protected:
  void SetUp() override {
    test::CupsdTest::SetUp();
    const char* old = std::getenv("AZUZ_REGISTRY");
    saved = old != nullptr ? std::optional<std::string>(old) : std::nullopt;
    const std::string path = dir / "registry.reg";
    std::ofstream(path)
        << "REGEDIT4\n\n"
           "[HKEY_LOCAL_MACHINE\\Software\\ORVELIX\\QPT-L712\\KDW\\Custom]\n"
           "\"Port\"=\"NET\"\n\"TcpIp\"=\"192.168.0.9\"\n\"TcpPort\"=dword:0000238d\n"
           "[HKEY_LOCAL_MACHINE\\Software\\Vurodadud Azuz\\Ports]\n"
           "\"COM4\"=\"/dev/ttyUSB0\"\n";
    setenv("AZUZ_REGISTRY", path.c_str(), 1);
  }
  void TearDown() override {
    if (saved) {
      setenv("AZUZ_REGISTRY", saved->c_str(), 1);
    } else {
      unsetenv("AZUZ_REGISTRY");
    }
    test::CupsdTest::TearDown();
  }
  test::TempDir dir;
  std::optional<std::string> saved;
};

TEST_F(ConnectionVerbs, CustomStartReportsEveryField) {
  const auto result = test::RunAzuz("connection --command-line 'Custom QPT-L712' --json");
  ASSERT_EQ(result.status, 0) << result.out;
  const json expected = json::parse(R"({
    "modelName": "QPT-L712", "pageWidth": 576, "portKind": 3, "useDriver": 0,
    "releaseSpoolerPort": 0,
    "settings": {"portName": "192.168.0.9", "baudRate": 9101, "dataBits": 8, "stopBits": 0,
                 "parity": 0, "flowControl": 0, "readIntervalTimeout": 0,
                 "readTotalTimeoutMultiplier": 0, "readTotalTimeoutConstant": 0,
                 "writeTotalTimeoutMultiplier": 10, "writeTotalTimeoutConstant": 1000,
                 "receiveBufferSize": 8192, "sendBufferSize": 8192, "hardwareHandshake": 0},
    "driverKey": "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\ORVELIX_QPT-L712",
    "deviceNode": ""})");
  EXPECT_EQ(json::parse(result.out), expected);
}

TEST_F(ConnectionVerbs, APrinterNameResolvesThroughTheSpoolerAndTheStoresNames) {
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L712", "serial:/dev/ttyUSB0?baud=38400"))
      << cupsd.Error();
  const auto result = test::RunAzuz("connection --command-line till");
  ASSERT_EQ(result.status, 0) << result.out;
  for (const char* line : {"modelName: QPT-L712\n", "pageWidth: 576\n", "portKind: 0 (serial)\n",
                           "releaseSpoolerPort: 1\n", "  portName: COM4\n", "  baudRate: 38400\n",
                           "deviceNode: /dev/ttyUSB0\n"}) {
    EXPECT_NE(result.out.find(line), std::string::npos) << line << "in\n" << result.out;
  }
}

TEST_F(ConnectionVerbs, PortsListWhatTheSettingsDialogOffers) {
  ASSERT_TRUE(cupsd.AddQueue("a", "Generic Text-Only"));
  ASSERT_TRUE(cupsd.AddQueue("b", "ORVELIX QPT-L712"));
  const auto result = test::RunAzuz("ports --json");
  ASSERT_EQ(result.status, 0) << result.out;
  const json j = json::parse(result.out);
  ASSERT_GE(j["serial"].size(), 30u);
  EXPECT_EQ(j["serial"][0], "COM1");
  EXPECT_EQ(j["serial"][29], "COM30");
  ASSERT_EQ(j["parallel"].size(), 10u);
  EXPECT_EQ(j["parallel"][9], "LPT10");
  EXPECT_TRUE(j["usb"].is_array());
  EXPECT_EQ(j["printers"], json::parse(R"(["ORVELIX QPT-L712"])"));

  ASSERT_TRUE(cupsd.RemoveQueue("b"));
  const auto none = test::RunAzuz("ports");
  EXPECT_NE(none.out.find("\nprinters: NONE\n"), std::string::npos) << none.out;
}

// A usblp node that udev lists but that doesn't open: the listing says why, as the settings
// dialog's message does.
TEST(ConnectionVerbsUsb, AUsbPrinterThatDoesNotOpenIsListedWithTheReason) {
  if (test::RanUnderUmockdev()) {
    return;
  }
  test::UsbTestbed bed;  // the tool inherits the preload and sees the testbed
  bed.AddPrinter("0a5f", "0116", "CN1234", false);
  const std::string command = "'" AZUZ_BINARY_DIR "/cli/azuz' ports 2>&1";
  std::FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string out;
  char buffer[4096];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
    out.append(buffer, n);
  }
  EXPECT_EQ(pclose(pipe), 0) << out;
  EXPECT_NE(out.find("usb: (none)"), std::string::npos) << out;
  EXPECT_NE(out.find("no USB printer could be opened: open /dev/usb/lp0: Is a directory"),
            std::string::npos)
      << out;
}

}  // namespace
}  // namespace azuz
