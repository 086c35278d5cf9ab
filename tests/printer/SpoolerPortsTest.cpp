#include <gtest/gtest.h>

#include <map>
#include <string>

#include "CupsQueues.h"
#include "CupsdTest.h"
#include "SpoolerPorts.h"

namespace azuz {
namespace {

class SpoolerPortsTest : public test::CupsdTest {
 protected:
  std::string UriOf(const std::string& name) {
    const auto queue = GetCupsQueue(name);
    return queue ? queue->deviceUri : "<missing>";
  }
  void AddQueues() {
    ASSERT_TRUE(cupsd.AddQueue("com1", "ORVELIX QPT-L710", "serial:/dev/ttyS0"));
    ASSERT_TRUE(cupsd.AddQueue("com1fast", "ORVELIX QPT-L712", "serial:/dev/ttyS0?baud=115200"));
    ASSERT_TRUE(cupsd.AddQueue("com2", "ORVELIX QPT-L710", "serial:/dev/ttyS1"));
    ASSERT_TRUE(cupsd.AddQueue("lpt1", "Generic Text-Only", "parallel:/dev/lp0"));
  }
};

TEST_F(SpoolerPortsTest, QueuesOnThePortAreParkedUntilRestored) {
  AddQueues();
  SavedPorts saved;
  ReleasePrinterPorts("/dev/ttyS0", saved);
  EXPECT_EQ(saved, (SavedPorts{{"com1", "serial:/dev/ttyS0"},
                               {"com1fast", "serial:/dev/ttyS0?baud=115200"}}));
  EXPECT_EQ(UriOf("com1"), "file:///dev/null");
  EXPECT_EQ(UriOf("com1fast"), "file:///dev/null");
  EXPECT_EQ(UriOf("com2"), "serial:/dev/ttyS1");
  EXPECT_EQ(UriOf("lpt1"), "parallel:/dev/lp0");

  RestorePrinterPorts(saved);
  EXPECT_TRUE(saved.empty());
  EXPECT_EQ(UriOf("com1"), "serial:/dev/ttyS0");
  EXPECT_EQ(UriOf("com1fast"), "serial:/dev/ttyS0?baud=115200");
}

TEST_F(SpoolerPortsTest, MatchingIsBySubstringLikePortNames) {
  ASSERT_TRUE(cupsd.AddQueue("com2", "ORVELIX QPT-L710", "serial:/dev/ttyS1"));
  ASSERT_TRUE(cupsd.AddQueue("com11", "ORVELIX QPT-L710", "serial:/dev/ttyS10"));
  SavedPorts saved;
  ReleasePrinterPorts("/dev/ttyS1", saved);
  EXPECT_EQ(saved.size(), 2u);
  EXPECT_EQ(UriOf("com11"), "file:///dev/null");
  RestorePrinterPorts(saved);
  EXPECT_EQ(UriOf("com11"), "serial:/dev/ttyS10");
}

TEST_F(SpoolerPortsTest, ParkedQueuesAreNeverRecordedTwice) {
  AddQueues();
  SavedPorts saved;
  ReleasePrinterPorts("/dev/ttyS0", saved);
  ReleasePrinterPorts("/dev/ttyS0", saved);
  ReleasePrinterPorts("/dev/null", saved);  // would otherwise match the parking URI itself
  ReleasePrinterPorts("", saved);           // an empty node would match every queue
  EXPECT_EQ(saved.size(), 2u);
  EXPECT_EQ(saved["com1"], "serial:/dev/ttyS0");
  EXPECT_EQ(UriOf("com2"), "serial:/dev/ttyS1");
  RestorePrinterPorts(saved);
  EXPECT_EQ(UriOf("com1"), "serial:/dev/ttyS0");
}

TEST_F(SpoolerPortsTest, HooksShareOneTableThatOutlivesTheCaller) {
  AddQueues();
  auto restore = [] {
    SpoolerPortHooks hooks = MakeSpoolerPortHooks();
    hooks.release("/dev/ttyS0");
    return hooks.restore;  // the release hook and this scope are gone
  }();
  EXPECT_EQ(UriOf("com1"), "file:///dev/null");
  restore("ignored");
  EXPECT_EQ(UriOf("com1"), "serial:/dev/ttyS0");
  EXPECT_EQ(UriOf("com1fast"), "serial:/dev/ttyS0?baud=115200");
  restore("ignored");  // a second restore (the session's destruction) changes nothing
  EXPECT_EQ(UriOf("com1"), "serial:/dev/ttyS0");
}

TEST_F(SpoolerPortsTest, QueueDeletedMeanwhileStaysDeleted) {
  AddQueues();
  SavedPorts saved;
  ReleasePrinterPorts("/dev/ttyS0", saved);
  ASSERT_TRUE(cupsd.RemoveQueue("com1"));
  RestorePrinterPorts(saved);
  EXPECT_TRUE(saved.empty());
  EXPECT_EQ(UriOf("com1"), "<missing>");
  EXPECT_EQ(UriOf("com1fast"), "serial:/dev/ttyS0?baud=115200");
}

TEST_F(SpoolerPortsTest, UnreachableSpoolerKeepsEverythingSilently) {
  cupsd.Stop();
  setenv("CUPS_SERVER", "/nonexistent/azuz-cups.sock", 1);
  SavedPorts saved;
  ReleasePrinterPorts("/dev/ttyS0", saved);
  EXPECT_TRUE(saved.empty());
  saved["com1"] = "serial:/dev/ttyS0";
  RestorePrinterPorts(saved);
  EXPECT_TRUE(saved.empty());
  unsetenv("CUPS_SERVER");
}

}  // namespace
}  // namespace azuz
