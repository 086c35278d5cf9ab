#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>

#include "CupsQueues.h"
#include "ParkedQueueTable.h"
#include "RunAzuz.h"
#include "SpoolerPorts.h"
#include "TestData.h"
#include "printer/CupsdTest.h"

namespace azuz {
namespace {

class ParkedQueues : public test::CupsdTest {
 protected:
  void SetUp() override {
    test::CupsdTest::SetUp();
    table = dir / "parked-queues";
    setenv("AZUZ_PARKED_QUEUES", table.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("AZUZ_PARKED_QUEUES");
    test::CupsdTest::TearDown();
  }
  std::string DeviceOf(const std::string& queue) {
    const auto found = GetCupsQueue(queue);
    return found ? found->deviceUri : "(none)";
  }
  test::TempDir dir;
  std::string table;
};

TEST_F(ParkedQueues, AKilledTransfersQueuesComeBackAtTheNextStart) {
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L712", "serial:/dev/ttyS7?baud=38400"))
      << cupsd.Error();
  ASSERT_TRUE(cupsd.AddQueue("other", "ORVELIX QPT-L710", "serial:/dev/ttyS1")) << cupsd.Error();
  // A transfer that parks the queue on its port and is killed before it gives it back.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    MakeSpoolerPortHooks().release("/dev/ttyS7");
    raise(SIGKILL);
    _exit(0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFSIGNALED(status));
  ASSERT_EQ(DeviceOf("till"), kParkedDeviceUri);
  ASSERT_TRUE(std::filesystem::exists(table));

  const auto result = test::RunAzuz("printers");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(DeviceOf("till"), "serial:/dev/ttyS7?baud=38400");
  EXPECT_EQ(DeviceOf("other"), "serial:/dev/ttyS1");
  EXPECT_FALSE(std::filesystem::exists(table));
}

TEST_F(ParkedQueues, ARunStillUnderWayKeepsItsQueuesParked) {
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L712", "serial:/dev/ttyS7")) << cupsd.Error();
  SavedPorts parked;
  ReleasePrinterPorts("/dev/ttyS7", parked);
  ASSERT_EQ(DeviceOf("till"), kParkedDeviceUri);
  // This process is alive: another program starting meanwhile leaves its queue alone.
  EXPECT_EQ(test::RunAzuz("printers").status, 0);
  EXPECT_EQ(DeviceOf("till"), kParkedDeviceUri);
  EXPECT_TRUE(std::filesystem::exists(table));
  RestorePrinterPorts(parked);
  EXPECT_EQ(DeviceOf("till"), "serial:/dev/ttyS7");
  EXPECT_FALSE(std::filesystem::exists(table));
}

}  // namespace
}  // namespace azuz
