#pragma once
// The periodic timers of one loop. Kept apart from the loop so the ordering rules live in one
// place: a pass collects every expired timer first, in deadline order with ties broken by the
// order of starting, and only then runs them, so a callback that starts or kills a timer cannot
// reorder the pass.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>

#include "platform/clock.h"

namespace platform::detail {

class TimerQueue {
 public:
  std::uint32_t add(Millis intervalMs, std::function<void()> fn, Millis startedAt);
  void kill(std::uint32_t id);

  // Runs every timer whose deadline is at or before `passNow`. A timer whose callback is still
  // on the stack (a modal loop inside it) is not run again until that callback returns.
  void runDue(Millis passNow);

  // The earliest deadline of the timers that may run now.
  std::optional<Millis> nextDeadline() const;
  bool anyDue(Millis at) const;
  std::size_t count() const { return timers_.size(); }
  void clear() { timers_.clear(); }

 private:
  struct Timer {
    std::uint32_t id = 0;
    Millis interval = 0;
    Millis deadline = 0;
    std::uint64_t order = 0;  // start order, for ties
    bool running = false;
    bool killed = false;
    std::function<void()> fn;
  };

  std::map<std::uint32_t, std::shared_ptr<Timer>> timers_;
  std::uint64_t nextOrder_ = 0;
};

}  // namespace platform::detail
