#pragma once
// Runs the calling thread's platform loop inside Qt's event loop, so that posted messages,
// synchronous calls from the reader thread and thread timers are served while Qt waits for
// input, including inside a modal form's nested loop. There is no second loop beside Qt's.

#include <QObject>
#include <QSocketNotifier>
#include <QTimer>

namespace platform {
class Loop;
}

namespace ui::qt {

class LoopBridge : public QObject {
 public:
  explicit LoopBridge(platform::Loop& loop, QObject* parent = nullptr);
  ~LoopBridge() override;

  LoopBridge(const LoopBridge&) = delete;
  LoopBridge& operator=(const LoopBridge&) = delete;

  // One pass of the platform loop, then the timer re-armed for its next deadline.
  void serve();

 private:
  // Qt calls this before it sleeps: a timer started from a widget's handler must not wait for
  // some unrelated event before its deadline is seen.
  void rearm();

  platform::Loop& loop_;
  QSocketNotifier wake_;
  QTimer deadline_;
};

}  // namespace ui::qt
