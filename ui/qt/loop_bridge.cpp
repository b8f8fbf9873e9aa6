#include "ui/qt/loop_bridge.h"

#include <QAbstractEventDispatcher>
#include <QThread>
#include <algorithm>
#include <limits>

#include "platform/clock.h"
#include "platform/loop.h"

namespace ui::qt {

LoopBridge::LoopBridge(platform::Loop& loop, QObject* parent)
    : QObject(parent), loop_(loop), wake_(loop.wakeFd(), QSocketNotifier::Read) {
  deadline_.setSingleShot(true);
  deadline_.setTimerType(Qt::PreciseTimer);
  connect(&wake_, &QSocketNotifier::activated, this, &LoopBridge::serve);
  connect(&deadline_, &QTimer::timeout, this, &LoopBridge::serve);
  if (auto* dispatcher = QAbstractEventDispatcher::instance(QThread::currentThread())) {
    connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, &LoopBridge::rearm);
  }
  rearm();
}

LoopBridge::~LoopBridge() = default;

void LoopBridge::serve() {
  loop_.processPending();
  rearm();
}

void LoopBridge::rearm() {
  const auto next = loop_.nextDeadline();
  if (!next) {
    deadline_.stop();
    return;
  }
  const platform::Millis wait =
      std::clamp<platform::Millis>(*next - platform::now(), 0, std::numeric_limits<int>::max());
  // Re-starting an armed timer with the same deadline would push it back a little every time
  // Qt wakes up; only move it when the deadline moved or it is not running.
  const auto wanted = static_cast<int>(wait);
  if (deadline_.isActive() && deadline_.remainingTime() <= wanted) {
    return;
  }
  deadline_.start(wanted);
}

}  // namespace ui::qt
