#include "platform/clock.h"

#include <time.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>

#include "platform/clock_internal.h"
#include "platform/loop.h"

namespace platform {
namespace {

std::atomic<bool> virtualActive{false};
std::atomic<Millis> virtualNow{0};

}  // namespace

using detail::realNow;

Millis now() {
  return virtualActive.load() ? virtualNow.load() : realNow();
}

void sleep(Millis ms) {
  if (ms <= 0) {
    return;
  }
  if (virtualActive.load()) {
    virtualNow.fetch_add(ms);
    return;
  }
  timespec ts{static_cast<time_t>(ms / 1000), static_cast<long>((ms % 1000) * 1000000)};
  while (nanosleep(&ts, &ts) != 0 && errno == EINTR) {
  }
}

bool virtualClockActive() {
  return virtualActive.load();
}

namespace detail {

Millis realNow() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<Millis>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

void advanceVirtualTo(Millis t) {
  Millis current = virtualNow.load();
  while (current < t && !virtualNow.compare_exchange_weak(current, t)) {
  }
}

}  // namespace detail

VirtualClock::VirtualClock() {
  bool expected = false;
  if (!virtualActive.compare_exchange_strong(expected, true)) {
    throw std::logic_error("a VirtualClock already exists");
  }
  virtualNow.store(0);
}

VirtualClock::~VirtualClock() {
  virtualActive.store(false);
}

Millis VirtualClock::now() const {
  return virtualNow.load();
}

void VirtualClock::advance(Millis ms) {
  const Millis target = virtualNow.load() + (ms > 0 ? ms : 0);
  Loop& loop = Loop::current();
  // Deadlines are re-read after every step: a callback may have started a timer that falls
  // inside the same advance.
  for (;;) {
    const std::optional<Millis> deadline = loop.nextDeadline();
    if (!deadline || *deadline > target) {
      break;
    }
    detail::advanceVirtualTo(*deadline);
    loop.runDueTimers();
  }
  detail::advanceVirtualTo(target);
}

}  // namespace platform
