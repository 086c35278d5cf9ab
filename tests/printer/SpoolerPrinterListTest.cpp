#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CupsQueues.h"
#include "CupsdTest.h"
#include "PrinterList.h"

namespace azuz {
namespace {

using Entries = std::vector<std::string>;

class SpoolerPrinterListTest : public test::CupsdTest {};

TEST_F(SpoolerPrinterListTest, ListsTheSupportedModelsInSpoolerOrder) {
  // cupsd lists its queues by name; only exact driver names count.
  ASSERT_TRUE(cupsd.AddQueue("a710", "ORVELIX QPT-L710"));
  ASSERT_TRUE(cupsd.AddQueue("b_text", "Generic Text-Only"));
  ASSERT_TRUE(cupsd.AddQueue("c712", "ORVELIX QPT-L712"));
  ASSERT_TRUE(cupsd.AddQueue("d_near", "ORVELIX QPT-L710 Plus"));
  ASSERT_TRUE(cupsd.AddQueue("e_case", "orvelix qpt-l710"));
  ASSERT_TRUE(cupsd.AddQueue("f710", "ORVELIX QPT-L710", "serial:/dev/ttyS3"));
  Entries entries = {"stale"};
  EXPECT_TRUE(FillPrinterList(entries));
  EXPECT_EQ(entries, (Entries{"ORVELIX QPT-L710", "ORVELIX QPT-L712", "ORVELIX QPT-L710"}));
  Entries queues = {"stale"};
  EXPECT_TRUE(FillPrinterList(entries, &queues));
  EXPECT_EQ(queues, (Entries{"a710", "c712", "f710"}));
}

TEST_F(SpoolerPrinterListTest, NoSupportedQueueGivesNone) {
  Entries entries = {"stale"};
  EXPECT_FALSE(FillPrinterList(entries));  // no queue at all
  EXPECT_EQ(entries, Entries{"NONE"}) << CupsLastError();
  ASSERT_TRUE(cupsd.AddQueue("text", "Generic Text-Only"));
  EXPECT_FALSE(FillPrinterList(entries));
  EXPECT_EQ(entries, Entries{"NONE"});
}

TEST_F(SpoolerPrinterListTest, UnreachableSpoolerAddsNothing) {
  cupsd.Stop();
  setenv("CUPS_SERVER", "/nonexistent/azuz-cups.sock", 1);
  Entries entries = {"stale"};
  EXPECT_FALSE(FillPrinterList(entries));
  EXPECT_TRUE(entries.empty());
  EXPECT_FALSE(ListCupsQueues().has_value());
  EXPECT_FALSE(CupsLastError().empty());
  unsetenv("CUPS_SERVER");
}

TEST_F(SpoolerPrinterListTest, QueuesCarryModelDeviceAndState) {
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L712", "serial:/dev/ttyS1?baud=19200"));
  ASSERT_TRUE(cupsd.AddQueue("slip", "ORVELIX QPT-L710"));
  ASSERT_TRUE(cupsd.AcceptJobs("slip", false));
  ASSERT_TRUE(cupsd.Tool({"lpadmin", "-p", "slip", "-c", "counter"})) << cupsd.Error();

  const auto all = ListCupsQueues();
  ASSERT_TRUE(all.has_value()) << CupsLastError();
  const auto local = ListLocalCupsQueues();
  ASSERT_TRUE(local.has_value());
  ASSERT_EQ(local->size(), 2u);  // the class is listed by cupsd but isn't a local queue
  EXPECT_EQ(all->size(), 3u);
  EXPECT_EQ((*local)[0].name, "slip");
  EXPECT_FALSE((*local)[0].acceptingJobs);
  EXPECT_EQ((*local)[1].name, "till");
  EXPECT_EQ((*local)[1].makeAndModel, "ORVELIX QPT-L712");
  EXPECT_EQ((*local)[1].deviceUri, "serial:/dev/ttyS1?baud=19200");
  EXPECT_TRUE((*local)[1].acceptingJobs);

  const auto till = GetCupsQueue("till");
  ASSERT_TRUE(till.has_value());
  EXPECT_EQ(till->deviceUri, "serial:/dev/ttyS1?baud=19200");
  const auto counter = GetCupsQueue("counter");
  ASSERT_TRUE(counter.has_value());
  EXPECT_FALSE(counter->IsLocal());
  EXPECT_FALSE(GetCupsQueue("nosuch").has_value());
}

TEST_F(SpoolerPrinterListTest, ChangingADeviceNeverCreatesAQueue) {
  ASSERT_TRUE(cupsd.AddQueue("till", "ORVELIX QPT-L712", "serial:/dev/ttyS1"));
  EXPECT_TRUE(SetCupsQueueDeviceUri("till", "file:///dev/null"));
  EXPECT_EQ(GetCupsQueue("till")->deviceUri, "file:///dev/null");
  EXPECT_FALSE(SetCupsQueueDeviceUri("gone", "serial:/dev/ttyS1"));
  EXPECT_FALSE(GetCupsQueue("gone").has_value());
}

}  // namespace
}  // namespace azuz
