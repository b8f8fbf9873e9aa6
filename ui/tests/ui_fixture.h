#pragma once
// A test on the headless backend and the virtual clock that must leave nothing behind: no form
// shown, no platform timer or window, no script unused.

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "platform/clock.h"
#include "platform/loop.h"
#include "ui/application.h"
#include "ui/headless.h"

namespace ui::test {

class UiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    clock_ = std::make_unique<platform::VirtualClock>();
    timersBefore_ = platform::Loop::current().timerCount();
    windowsBefore_ = platform::Loop::current().windowCount();
    headless_ = &static_cast<HeadlessBackend&>(setBackend(std::make_unique<HeadlessBackend>()));
  }

  void TearDown() override {
    // Forms are members of the test, so they are still alive here; they must all be hidden.
    EXPECT_EQ(Application().visibleFormCount(), 0) << "a form was left shown";
    if (headless_ != nullptr) {
      for (const std::string& unmet : headless_->unmet()) {
        ADD_FAILURE() << unmet;
      }
    }
    Application().reset();
    setBackend(nullptr);
  }

  // Run after the test's forms and timers are gone (from the test class's destructor order:
  // members go before the fixture base), so counts compare like with like.
  ~UiTest() override {
    EXPECT_EQ(platform::Loop::current().timerCount(), timersBefore_) << "a timer was left";
    EXPECT_EQ(platform::Loop::current().windowCount(), windowsBefore_) << "a window was left";
  }

  HeadlessBackend& headless() { return *headless_; }
  // Replaces the headless backend for the rest of the test.
  Backend& useBackend(std::unique_ptr<Backend> backend) {
    headless_ = nullptr;
    return setBackend(std::move(backend));
  }
  platform::VirtualClock& clock() { return *clock_; }

 private:
  std::unique_ptr<platform::VirtualClock> clock_;
  std::size_t timersBefore_ = 0;
  std::size_t windowsBefore_ = 0;
  HeadlessBackend* headless_ = nullptr;
};

}  // namespace ui::test
