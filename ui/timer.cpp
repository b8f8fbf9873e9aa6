#include "ui/timer.h"

namespace ui {

TTimer::TTimer(TComponent* owner) : TComponent(owner) {
  restart();
}

TTimer::~TTimer() {
  stop();
}

void TTimer::setEnabled(bool enabled) {
  if (enabled == enabled_) {
    return;
  }
  enabled_ = enabled;
  restart();
}

void TTimer::setInterval(unsigned ms) {
  if (ms == interval_) {
    return;
  }
  interval_ = ms;
  restart();
}

void TTimer::stop() {
  if (id_ != 0) {
    platform::Loop::current().killTimer(id_);
    id_ = 0;
  }
}

void TTimer::restart() {
  stop();
  if (enabled_ && interval_ > 0) {
    // The handler is looked up at each tick, so it may be set or replaced at any time, and a
    // handler that disables or re-arms its own timer is safe.
    id_ = platform::Loop::current().setTimer(static_cast<platform::Millis>(interval_), [this] {
      // A copy, so a handler that replaces OnTimer does not destroy itself while it runs.
      TNotifyEvent handler = OnTimer;
      if (handler) {
        handler();
      }
    });
  }
}

}  // namespace ui
