#include "platform/timer_queue.h"

#include <algorithm>
#include <atomic>
#include <vector>

namespace platform::detail {
namespace {

// Ids are unique across the process and never reused while the process runs, so a stale id
// killed late can never stop somebody else's timer.
std::atomic<std::uint32_t> lastTimerId{0};

std::uint32_t newTimerId() {
  std::uint32_t id = 0;
  do {
    id = ++lastTimerId;
  } while (id == 0);
  return id;
}

// A zero interval would make a pass that never ends on the virtual clock and a busy loop on
// the real one.
constexpr Millis kMinimumInterval = 1;

}  // namespace

std::uint32_t TimerQueue::add(Millis intervalMs, std::function<void()> fn, Millis startedAt) {
  auto timer = std::make_shared<Timer>();
  timer->id = newTimerId();
  timer->interval = std::max(intervalMs, kMinimumInterval);
  timer->deadline = startedAt + timer->interval;
  timer->order = nextOrder_++;
  timer->fn = std::move(fn);
  timers_.emplace(timer->id, timer);
  return timer->id;
}

void TimerQueue::kill(std::uint32_t id) {
  auto it = timers_.find(id);
  if (it == timers_.end()) {
    return;
  }
  // The pass that collected it may still hold it; the flag keeps that pass from running it.
  it->second->killed = true;
  timers_.erase(it);
}

void TimerQueue::runDue(Millis passNow) {
  std::vector<std::shared_ptr<Timer>> due;
  for (const auto& [id, timer] : timers_) {
    if (!timer->running && timer->deadline <= passNow) {
      due.push_back(timer);
    }
  }
  std::sort(due.begin(), due.end(), [](const auto& a, const auto& b) {
    return a->deadline != b->deadline ? a->deadline < b->deadline : a->order < b->order;
  });
  for (const auto& timer : due) {
    // A callback earlier in this pass may have killed it, or a nested pass may already have
    // run it and moved its deadline on.
    if (timer->killed || timer->running || timer->deadline > passNow) {
      continue;
    }
    timer->running = true;
    // The period is kept from the deadline, so a late pass does not push every later tick
    // back; a timer that fell a whole period behind skips what it missed instead of running
    // in a burst.
    timer->deadline += timer->interval;
    if (timer->deadline <= passNow) {
      timer->deadline = passNow + timer->interval;
    }
    struct Clear {
      Timer& t;
      ~Clear() { t.running = false; }
    } clear{*timer};
    timer->fn();
  }
}

std::optional<Millis> TimerQueue::nextDeadline() const {
  std::optional<Millis> earliest;
  for (const auto& [id, timer] : timers_) {
    if (!timer->running && (!earliest || timer->deadline < *earliest)) {
      earliest = timer->deadline;
    }
  }
  return earliest;
}

bool TimerQueue::anyDue(Millis at) const {
  const std::optional<Millis> deadline = nextDeadline();
  return deadline && *deadline <= at;
}

}  // namespace platform::detail
