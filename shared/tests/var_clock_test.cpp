#include "shared/var_clock.h"

#include <gtest/gtest.h>

namespace shared {
namespace {

TEST(VarClock, KnownRates) {
  EXPECT_EQ(varClockRateHz(0), 451u);
  EXPECT_EQ(varClockRateHz(128), 902u);
  EXPECT_EQ(varClockRateHz(253), 38525u);
  EXPECT_EQ(varClockRateHz(254), 57787u);
}

// The dialog shows the rate of the slider and the control value computed back from that rate;
// the two displays agree only if every rate maps back to its own value.
TEST(VarClock, EveryControlValueSurvivesTheRoundTrip) {
  std::uint32_t previous = 0;
  for (int control = kMinVarClockControl; control <= kMaxVarClockControl; ++control) {
    const std::uint32_t rate = varClockRateHz(control);
    EXPECT_GT(rate, previous) << "rates rise with the control value, at " << control;
    EXPECT_EQ(varClockControlFor(rate), control) << "rate " << rate;
    previous = rate;
  }
}

TEST(VarClock, RatesOutsideTheRangeHaveNoControlValue) {
  EXPECT_EQ(varClockControlFor(0), std::nullopt);
  EXPECT_EQ(varClockControlFor(450), 0);  // still rounds down to the slowest setting
  EXPECT_EQ(varClockControlFor(449), std::nullopt);
  EXPECT_EQ(varClockControlFor(115576), std::nullopt);  // quotient 0: would be 256
  EXPECT_EQ(varClockControlFor(4000000000u), std::nullopt);
  EXPECT_EQ(varClockControlFor(kMinVarClockRateHz), 0);
  EXPECT_EQ(varClockControlFor(kMaxVarClockRateHz), 254);
}

TEST(VarClock, RateOfAnOutOfRangeControlIsClamped) {
  EXPECT_EQ(varClockRateHz(-1), 451u);
  EXPECT_EQ(varClockRateHz(255), 57787u);
}

}  // namespace
}  // namespace shared
