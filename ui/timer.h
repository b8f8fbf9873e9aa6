#pragma once
// A periodic timer on the platform loop, so it runs on the virtual clock in tests. It holds a
// platform timer exactly while it is enabled with a non-zero interval; a disabled timer holds
// none. Changing Interval, or enabling it again after a disable, starts a fresh period, which is
// how the programs restart a watchdog.

#include "platform/loop.h"
#include "ui/control.h"

namespace ui {

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* owner = nullptr);
  ~TTimer() override;

  // Enabled at creation, as in the classic library.
  bool Enabled() const { return enabled_; }
  void setEnabled(bool enabled);  // setting the value it has changes nothing
  unsigned Interval() const { return interval_; }
  void setInterval(unsigned ms);

  // May be set or replaced at any time; a tick without a handler does nothing.
  TNotifyEvent OnTimer;

  bool running() const { return id_ != 0; }  // holds a platform timer now

 private:
  void restart();
  void stop();

  bool enabled_ = true;
  unsigned interval_ = 1000;
  platform::TimerId id_ = 0;
};

}  // namespace ui
