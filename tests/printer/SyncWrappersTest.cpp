#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "CEventEx.h"
#include "CMutexEx.h"

namespace azuz {
namespace {

using namespace std::chrono_literals;

TEST(CEventEx, StaysSetUntilReset) {
  CEventEx event;
  EXPECT_FALSE(event.IsSet());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(event.Wait(50));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 45ms);
  event.Set();
  event.Set();
  EXPECT_TRUE(event.Wait(0));
  EXPECT_TRUE(event.Wait(1000));  // manual reset: a wait doesn't consume it
  event.Reset();
  EXPECT_FALSE(event.IsSet());
}

TEST(CEventEx, WakesAWaiterOnAnotherThread) {
  CEventEx event;
  std::thread setter([&] {
    std::this_thread::sleep_for(30ms);
    event.Set();
  });
  EXPECT_TRUE(event.Wait(5000));
  setter.join();
}

TEST(CMutexEx, LockGivesUpAfterItsTimeOut) {
  CMutexEx mutex;
  ASSERT_TRUE(mutex.Lock(0));
  std::thread other([&] {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(mutex.Lock(60));
    EXPECT_GE(std::chrono::steady_clock::now() - start, 55ms);
  });
  other.join();
  mutex.Unlock();
  std::thread again([&] {
    EXPECT_TRUE(mutex.Lock(60));
    mutex.Unlock();
  });
  again.join();
}

}  // namespace
}  // namespace azuz
