#pragma once
// Synchronous calls from other threads into a loop's thread: the queue the loop serves and
// the hand-shake that lets the caller wait, or be released by a cancel, without a lock held
// across the call.

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/loop.h"

namespace platform::detail {

struct CancelState {
  std::mutex m;
  std::condition_variable cv;
  bool cancelled = false;
};

class CallQueue {
 public:
  // Caller's thread: queues `fn`, calls `wake` while the queue still takes calls, and waits
  // until the call has run (true) or was withdrawn or cancelled before it began (false).
  bool callAndWait(std::function<void()> fn, const std::shared_ptr<CancelState>& cancel,
                   const std::function<void()>& wake);

  // Loop's thread.
  void runAll();
  bool empty();
  // The loop is going away: every waiting caller is released and no new call is taken.
  void close();

 private:
  struct Call;
  std::mutex m_;
  std::deque<std::shared_ptr<Call>> calls_;
  bool closed_ = false;
};

}  // namespace platform::detail

namespace platform {

struct CallCancel::State : detail::CancelState {};

}  // namespace platform
