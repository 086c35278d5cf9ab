#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "CapturedMessages.h"
#include "CupsQueues.h"
#include "CupsdTest.h"
#include "LoopbackListener.h"
#include "PortNames.h"
#include "SpoolerPorts.h"
#include "TransferSession.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;

std::vector<std::uint8_t> Block(std::size_t size) {
  std::vector<std::uint8_t> block(size);
  for (std::size_t i = 0; i < size; ++i) {
    block[i] = static_cast<std::uint8_t>(i * 31 + (i >> 8));
  }
  return block;
}

TransferRequest DriverRequest(const std::vector<std::uint8_t>& block, const std::string& queue) {
  TransferRequest request;
  request.data = block.data();
  request.length = static_cast<std::uint32_t>(block.size());
  request.caption = "Download Watermark image";
  request.useDriver = true;
  request.settings.portName = queue;
  return request;
}

class SpoolerTransferTest : public test::CupsdTest {
 protected:
  std::string UriOf(const std::string& name) {
    const auto queue = GetCupsQueue(name);
    return queue ? queue->deviceUri : "<missing>";
  }
  // The session's port hooks, also noting each queue's device at the moment of the release.
  void Hook(TransferSession& session, const std::string& watched) {
    SpoolerPortHooks hooks = MakeSpoolerPortHooks();
    session.releasePorts = [this, hooks, watched](const std::string& node) {
      hooks.release(node);
      uriAfterRelease = UriOf(watched);
    };
    session.restorePorts = hooks.restore;
  }

  std::string uriAfterRelease;
};

TEST_F(SpoolerTransferTest, DriverModeDownloadArrivesAsJobsJoiningToTheBlock) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  const auto block = Block(23773);
  test::CapturedMessages messages;
  TransferSession session(DriverRequest(block, "slip"));
  EXPECT_EQ(session.Run(), TransferSession::Result::Ok);
  EXPECT_TRUE(messages.Texts().empty());

  // 100 chunks of 237 bytes, then the last 73.
  ASSERT_TRUE(cupsd.WaitForJobs(101, 60s)) << cupsd.ErrorLog();
  const auto jobs = cupsd.Jobs();
  ASSERT_EQ(jobs.size(), 101u);
  std::vector<std::uint8_t> joined;
  for (const auto& job : jobs) {
    EXPECT_EQ(job.title, "WaterMark: Communication Test");
    EXPECT_EQ(job.queue, "slip");
    joined.insert(joined.end(), job.bytes.begin(), job.bytes.end());
  }
  EXPECT_EQ(jobs.front().bytes.size(), 237u);
  EXPECT_EQ(jobs.back().bytes.size(), 73u);
  EXPECT_EQ(joined, block);
}

TEST_F(SpoolerTransferTest, DriverModeToAMissingQueueFailsWithBothMessages) {
  const auto block = Block(400);
  test::CapturedMessages messages;
  TransferSession session(DriverRequest(block, "nosuch"));
  EXPECT_EQ(session.Run(), TransferSession::Result::Cancel);
  const std::vector<ConnectionMessage> left = session.TakeMessages();
  ASSERT_EQ(left.size(), 2u);
  EXPECT_EQ(left[0].text, "");
  EXPECT_FALSE(left[0].detail.empty());  // what the print service said
  EXPECT_EQ(left[1].text, "Error : Data transfer is failed!");
  EXPECT_TRUE(messages.Texts().empty());  // nothing shown from the worker
  EXPECT_EQ(session.ButtonCaption(), "Close");
}

TEST_F(SpoolerTransferTest, ACancelEndsADriverModeTransferAtOnceWhenThePrintServiceStalls) {
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  const auto block = Block(23773);
  test::CapturedMessages messages;
  TransferSession session(DriverRequest(block, "slip"));
  ASSERT_TRUE(session.Start());
  for (int i = 0; i < 1000 && session.Position() < 3; ++i) {
    std::this_thread::sleep_for(10ms);
  }
  ASSERT_GE(session.Position(), 3);
  // A few jobs in, the print service stops answering; each exchange would wait 10 s for it.
  ASSERT_TRUE(cupsd.Freeze());
  const int frozenAt = session.Position();
  std::this_thread::sleep_for(600ms);
  EXPECT_LE(session.Position(), frozenAt + 1) << "the jobs did not stall";

  const auto cancelAt = std::chrono::steady_clock::now();
  EXPECT_EQ(session.Cancel(), TransferSession::Result::Cancel);
  const auto took = std::chrono::steady_clock::now() - cancelAt;
  std::printf("cancel with the print service stalled took %.1f ms\n",
              std::chrono::duration<double, std::milli>(took).count());
  EXPECT_LT(took, 500ms);
  EXPECT_TRUE(cupsd.Thaw());
  EXPECT_TRUE(session.TakeMessages().empty());  // the user's own cancel says nothing
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_FALSE(session.Completed());
}

TEST_F(SpoolerTransferTest, QueueOnTheAddressIsParkedDuringADirectTransfer) {
  test::LoopbackListener printer;
  const std::string device = "socket://127.0.0.1:" + std::to_string(printer.Port());
  ASSERT_TRUE(cupsd.AddQueue("net", "ORVELIX QPT-L712", device));
  const auto block = Block(300);
  TransferRequest request;
  request.data = block.data();
  request.length = static_cast<std::uint32_t>(block.size());
  request.portKind = 3;
  request.releaseSpoolerPort = true;
  request.settings.portName = "127.  0.  0.  1";  // as the settings dialog writes it
  request.settings.baudRate = printer.Port();
  std::string uriWhileSending;
  {
    TransferSession session(request);
    Hook(session, "net");
    session.onProgress = [&](int position, std::uint32_t) {
      if (position == 1) {
        uriWhileSending = UriOf("net");
      }
    };
    EXPECT_EQ(session.Run(), TransferSession::Result::Ok);
    EXPECT_EQ(UriOf("net"), device);
  }
  EXPECT_EQ(uriAfterRelease, "file:///dev/null");
  EXPECT_EQ(uriWhileSending, "file:///dev/null");
  EXPECT_EQ(UriOf("net"), device);
}

TEST_F(SpoolerTransferTest, QueueOnTheSerialPortGetsItsDeviceBackAfterAFailedOpen) {
  // COM1 is pointed at a node that doesn't exist, so the open fails without touching a real port.
  const std::string node = (cupsd.Dir() / "ttyS0").string();
  SetPortNodeResolver(
      [node](const std::string& name) { return name == "COM1" ? node : DefaultPortNode(name); });
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L710", "serial:" + node));
  ASSERT_TRUE(cupsd.AddQueue("other", "ORVELIX QPT-L710", "serial:/dev/ttyS1"));
  const auto block = Block(300);
  TransferRequest request;
  request.data = block.data();
  request.length = static_cast<std::uint32_t>(block.size());
  request.releaseSpoolerPort = true;
  request.settings.portName = "COM1";
  test::CapturedMessages messages;
  {
    TransferSession session(request);
    Hook(session, "till");
    ASSERT_TRUE(session.Start());
    ASSERT_TRUE(session.WaitEnded(20s));
    EXPECT_FALSE(session.Opened());
    EXPECT_EQ(UriOf("till"), "serial:" + node);
    const std::vector<ConnectionMessage> left = session.TakeMessages();
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].text, "Error : Can't open port!");
  }
  SetPortNodeResolver({});
  EXPECT_EQ(uriAfterRelease, "file:///dev/null");
  EXPECT_EQ(UriOf("till"), "serial:" + node);
  EXPECT_EQ(UriOf("other"), "serial:/dev/ttyS1");
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
}  // namespace azuz
