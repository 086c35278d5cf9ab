#pragma once

// A GoogleTest fixture with a fresh private cupsd per test (see CupsdFixture.h): the test is
// skipped with a message when cupsd isn't installed, and fails when it is but doesn't start.
//
//   class MyTest : public azuz::test::CupsdTest {};
//   TEST_F(MyTest, Something) { ASSERT_TRUE(cupsd.AddQueue("q", "ORVELIX QPT-L710")); ... }

#include <gtest/gtest.h>

#include "CupsdFixture.h"

namespace azuz::test {

class CupsdTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!PrivateCupsd::Installed()) {
      GTEST_SKIP() << PrivateCupsd::SkipReason();
    }
    ASSERT_TRUE(cupsd.Start()) << cupsd.Error();
  }
  void TearDown() override { cupsd.Stop(); }

  PrivateCupsd cupsd;
};

}  // namespace azuz::test
