#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>

#include "CupsQueues.h"
#include "RunAzuz.h"
#include "printer/CupsdTest.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;
using nlohmann::json;

constexpr char kTestText[] =
    "TestPrint Start------------\n1234567890\n1234567890\n1234567890\n1234567890\n"
    "ABCDEFGHIJKLMNOP\nABCDEFGHIJKLMNOP\nSuccess!!------";

class PrinterListVerbs : public test::CupsdTest {};

TEST_F(PrinterListVerbs, PrintersListsLocalQueuesWithModelDeviceAndSupport) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710", "serial:/dev/ttyS0?baud=19200"));
  ASSERT_TRUE(cupsd.AddQueue("text", "Generic Text-Only"));
  ASSERT_TRUE(cupsd.Tool({"lpadmin", "-p", "slip", "-c", "counter"})) << cupsd.Error();
  const auto result = test::RunAzuz("printers --json");
  ASSERT_EQ(result.status, 0) << result.out;
  const json expected = json::parse(R"([
    {"name": "slip", "makeAndModel": "ORVELIX QPT-L710",
     "deviceUri": "serial:/dev/ttyS0?baud=19200", "supported": true},
    {"name": "text", "makeAndModel": "Generic Text-Only", "deviceUri": "capture:/jobs",
     "supported": false}])");
  EXPECT_EQ(json::parse(result.out), expected);

  const auto text = test::RunAzuz("printers");
  EXPECT_EQ(text.out,
            "slip\tORVELIX QPT-L710\tserial:/dev/ttyS0?baud=19200\tsupported\n"
            "text\tGeneric Text-Only\tcapture:/jobs\tunsupported\n");
}

TEST_F(PrinterListVerbs, CommTestThroughTheSpoolerIsOneJobOfTheTestText) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L712"));
  ASSERT_EQ(test::RunAzuz("comm-test --printer slip").status, 0);
  ASSERT_TRUE(cupsd.WaitForJobs(1, 10s)) << cupsd.ErrorLog();
  const auto jobs = cupsd.Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, "WaterMark: Communication Test");
  EXPECT_EQ(std::string(jobs[0].bytes.begin(), jobs[0].bytes.end()), kTestText);
}

TEST_F(PrinterListVerbs, CommTestFailuresShowTheErrorCode) {
  ASSERT_TRUE(cupsd.AddQueue("closed", "ORVELIX QPT-L710"));
  ASSERT_TRUE(cupsd.AcceptJobs("closed", false));
  // The message goes to standard error; fold it into the captured output.
  const auto missing = test::RunAzuz("comm-test --printer nosuch 2>&1 >/dev/null #");
  EXPECT_EQ(missing.out, "Failed to test printing\r\nError Code = -1!!!\n");
  const auto refused = test::RunAzuz("comm-test --printer closed 2>&1 >/dev/null #");
  EXPECT_EQ(refused.out, "Failed to test printing\r\nError Code = -2!!!\n");
  EXPECT_EQ(test::RunAzuz("comm-test --printer closed").status, 5);
  EXPECT_EQ(test::RunAzuz("comm-test").status, 2);
  // A port that can't be opened: the port layer's message, and no error code.
  const auto port = test::RunAzuz("comm-test --port /nonexistent/ttyS9 2>&1 >/dev/null #");
  EXPECT_EQ(port.out.rfind("Error : Can't open port!\n", 0), 0u) << port.out;
  EXPECT_EQ(port.out.find("Failed to test printing"), std::string::npos) << port.out;
}

TEST_F(PrinterListVerbs, CommTestToAQueuesPortParksTheQueueAsASendDoes) {
  // The queue's port has no device behind it, so the test's open fails after the parking.
  const std::string device = "serial:/dev/ttyS187?baud=9600";
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L710", device)) << cupsd.Error();
  const std::filesystem::path log = cupsd.Dir() / "log" / "access_log";
  auto modifications = [&log] {
    std::ifstream in(log);
    int count = 0;
    for (std::string line; std::getline(in, line);) {
      count += line.find("CUPS-Add-Modify-Printer") != std::string::npos ? 1 : 0;
    }
    return count;
  };
  // cupsd writes its access log a little later than it answers.
  auto settled = [&modifications](int atLeast) {
    for (int i = 0; i < 150 && modifications() < atLeast; ++i) {
      std::this_thread::sleep_for(20ms);
    }
    return modifications();
  };
  const int before = settled(1);
  const auto result = test::RunAzuz("comm-test --command-line till 2>&1 >/dev/null #");
  EXPECT_EQ(result.status, 4) << "a failed open";
  EXPECT_EQ(result.out.rfind("Error : Can't open port!\n", 0), 0u) << result.out;
  // Moved to the parking device and back.
  EXPECT_EQ(settled(before + 2) - before, 2) << [&log] {
    std::ifstream in(log);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }();
  const auto queue = GetCupsQueue("till");
  ASSERT_TRUE(queue);
  EXPECT_EQ(queue->deviceUri, device);
}

TEST(PrinterListVerbsDirect, CommTestOverTcpSendsTheTextAndCloses) {
  const int listener = socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(listener, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(listener, 1), 0);
  const timeval bound{10, 0};  // a tool that never connects must not hang the test
  setsockopt(listener, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
  socklen_t size = sizeof address;
  getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size);
  std::string received;
  std::thread printer([&] {
    const int peer = accept(listener, nullptr, nullptr);
    setsockopt(peer, SOL_SOCKET, SO_RCVTIMEO, &bound, sizeof bound);
    char buffer[256];
    for (ssize_t n; peer >= 0 && (n = read(peer, buffer, sizeof buffer)) > 0;) {
      received.append(buffer, static_cast<std::size_t>(n));
    }
    close(peer);
  });
  const auto result =
      test::RunAzuz("comm-test --port tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port)));
  printer.join();  // ends only when the tool closed its side
  close(listener);
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(received, kTestText);
}

}  // namespace
}  // namespace azuz
