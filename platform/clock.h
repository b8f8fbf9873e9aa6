#pragma once
// The one clock that all waiting in the suite goes through. It is the monotonic real clock,
// or, while a VirtualClock object lives, a virtual clock that only moves when a test (or a
// blocking pause) moves it, so multi-second time-outs are tested in microseconds.

#include <cstdint>

namespace platform {

using Millis = std::int64_t;

// Milliseconds since an arbitrary origin on the process's current clock.
Millis now();

// Blocks the calling thread for `ms`. On the virtual clock it moves time forward at once by
// `ms` without running timers; they are due at the next pass of their loop.
void sleep(Millis ms);

bool virtualClockActive();

// While an object of this class lives, the whole process runs on virtual time, starting at 0.
// Only one may exist at a time.
class VirtualClock {
 public:
  VirtualClock();
  ~VirtualClock();
  VirtualClock(const VirtualClock&) = delete;
  VirtualClock& operator=(const VirtualClock&) = delete;

  // Moves time forward by `ms`, stopping at every timer deadline of the calling thread's loop
  // on the way and running the timers due there in deadline order (ties: the order in which
  // the timers were started). Posted messages stay queued for the test to take.
  void advance(Millis ms);

  Millis now() const;
};

}  // namespace platform
