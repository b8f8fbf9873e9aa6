#pragma once
// Loop tests run on the virtual clock and must leave the thread's loop as they found it.

#include <gtest/gtest.h>

#include <optional>

#include "platform/clock.h"
#include "platform/loop.h"

namespace platform::testing {

class VirtualLoopTest : public ::testing::Test {
 protected:
  void TearDown() override {
    loop.setHook({});
    EXPECT_EQ(loop.timerCount(), 0u) << "a test left a timer running";
    EXPECT_EQ(loop.windowCount(), 0u) << "a test left a window behind";
  }

  std::optional<VirtualClock> clock{std::in_place};
  Loop& loop = Loop::current();
};

}  // namespace platform::testing
