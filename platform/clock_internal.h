#pragma once
// Between the clock and the loop: lets a loop that waits on the virtual clock move it.

#include "platform/clock.h"

namespace platform::detail {

// Moves the virtual clock forward to `t` if it is behind; never moves it back.
void advanceVirtualTo(Millis t);

// The monotonic clock whatever clock the process runs on: devices and other threads answer in
// real time even while a test runs virtual time.
Millis realNow();

}  // namespace platform::detail
