#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "CupsdTest.h"
#include "Spooler.h"
#include "UserPrompts.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;

constexpr char kJobName[] = "WaterMark: Communication Test";

// Records every message box the code under test shows.
class SpoolerTest : public test::CupsdTest {
 protected:
  void SetUp() override {
    test::CupsdTest::SetUp();
    Prompts().ShowMessage = [this](const std::string& text, const std::string&) {
      messages.push_back(text);
    };
  }
  void TearDown() override {
    Prompts().ShowMessage = nullptr;
    test::CupsdTest::TearDown();
  }

  std::vector<std::string> messages;
};

std::vector<std::uint8_t> EveryByteValue() {
  std::vector<std::uint8_t> bytes;
  for (int i = 0; i < 512; ++i) {
    bytes.push_back(static_cast<std::uint8_t>(i * 7 + 3));
  }
  return bytes;
}

TEST_F(SpoolerTest, WriteSubmitsOneRawJobWithExactlyTheBytes) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  const auto bytes = EveryByteValue();
  ASSERT_TRUE(SpoolerWrite("slip", bytes.data(), bytes.size()));
  ASSERT_TRUE(cupsd.WaitForJobs(1, 10s)) << cupsd.ErrorLog();
  const auto jobs = cupsd.Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].queue, "slip");
  EXPECT_EQ(jobs[0].title, kJobName);
  EXPECT_EQ(jobs[0].bytes, bytes);
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpoolerTest, TestPrintIsOneJobOfTheGivenBytes) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L712"));
  const std::string text =
      "TestPrint Start------------\n1234567890\n1234567890\n1234567890\n1234567890\n"
      "ABCDEFGHIJKLMNOP\nABCDEFGHIJKLMNOP\nSuccess!!------";
  ASSERT_EQ(text.size(), 121u);
  const auto* data = reinterpret_cast<const std::uint8_t*>(text.data());
  EXPECT_EQ(SpoolerTestPrint("slip", data, text.size()), 0);
  ASSERT_TRUE(cupsd.WaitForJobs(1, 10s)) << cupsd.ErrorLog();
  const auto jobs = cupsd.Jobs();
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].title, kJobName);
  EXPECT_EQ(std::string(jobs[0].bytes.begin(), jobs[0].bytes.end()), text);
}

TEST_F(SpoolerTest, EachCallIsItsOwnJobInOrder) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  for (std::uint8_t i = 1; i <= 3; ++i) {
    const std::vector<std::uint8_t> chunk(i * 10u, i);
    ASSERT_TRUE(SpoolerWrite("slip", chunk.data(), chunk.size()));
  }
  ASSERT_TRUE(cupsd.WaitForJobs(3, 10s)) << cupsd.ErrorLog();
  const auto jobs = cupsd.Jobs();
  ASSERT_EQ(jobs.size(), 3u);
  for (std::size_t i = 0; i < jobs.size(); ++i) {
    EXPECT_EQ(jobs[i].bytes, std::vector<std::uint8_t>((i + 1) * 10, std::uint8_t(i + 1)));
  }
}

TEST_F(SpoolerTest, MissingPrinterIsMinusOneSilentlyAndAnEmptyMessageForWrites) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  const std::uint8_t data[] = {0x1B, 0x40};
  for (const std::string name : {"nosuch", "", "two words", "../slip", "slip#1"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(SpoolerTestPrint(name, data, sizeof data), -1);
    EXPECT_TRUE(messages.empty());
    EXPECT_FALSE(SpoolerWrite(name, data, sizeof data));
    EXPECT_EQ(messages, std::vector<std::string>{""});
    messages.clear();
  }
  EXPECT_FALSE(cupsd.WaitForJobs(1, 200ms));
}

TEST_F(SpoolerTest, QueueRefusingJobsIsMinusTwoWithoutMessage) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  ASSERT_TRUE(cupsd.AcceptJobs("slip", false)) << cupsd.Error();
  const std::uint8_t data[] = {0x1B, 0x40};
  EXPECT_EQ(SpoolerTestPrint("slip", data, sizeof data), -2);
  EXPECT_FALSE(SpoolerWrite("slip", data, sizeof data));
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpoolerTest, WritesFromAnotherThreadReachTheSameServer) {
  // The transfer writes on its worker thread, where libcups has no cached server of its own.
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  const std::uint8_t data[] = {1, 2, 3};
  bool written = false;
  std::thread worker([&] { written = SpoolerWrite("slip", data, sizeof data); });
  worker.join();
  EXPECT_TRUE(written);
  ASSERT_TRUE(cupsd.WaitForJobs(1, 10s)) << cupsd.ErrorLog();
  EXPECT_EQ(cupsd.Jobs().at(0).bytes, std::vector<std::uint8_t>(data, data + 3));
}

TEST_F(SpoolerTest, ACancelReachesOnlyTheJobsUnderWay) {
  // A cancelled transfer earlier in the run must not spoil the next job.
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  CancelSpoolerJobs();
  const std::uint8_t data[] = {7, 8, 9};
  EXPECT_TRUE(SpoolerWrite("slip", data, sizeof data));
  EXPECT_EQ(SpoolerTestPrint("slip", data, sizeof data), 0);
  ASSERT_TRUE(cupsd.WaitForJobs(2, 10s)) << cupsd.ErrorLog();
  EXPECT_TRUE(messages.empty());
}

TEST_F(SpoolerTest, UnreachableServiceFailsQuicklyAsAMissingPrinter) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  const std::string socket = cupsd.Socket();
  cupsd.Stop();
  setenv("CUPS_SERVER", socket.c_str(), 1);
  const std::uint8_t data[] = {1};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(SpoolerTestPrint("slip", data, sizeof data), -1);
  EXPECT_FALSE(SpoolerWrite("slip", data, sizeof data));
  unsetenv("CUPS_SERVER");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 3s);
  EXPECT_EQ(messages, std::vector<std::string>{""});
}

}  // namespace
}  // namespace azuz
