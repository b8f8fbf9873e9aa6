#include "platform/sync_call.h"

namespace platform {

CallCancel::CallCancel() : state_(std::make_shared<State>()) {}

void CallCancel::cancel() {
  std::lock_guard lock(state_->m);
  state_->cancelled = true;
  state_->cv.notify_all();
}

bool CallCancel::cancelled() const {
  std::lock_guard lock(state_->m);
  return state_->cancelled;
}

void CallCancel::reset() {
  std::lock_guard lock(state_->m);
  state_->cancelled = false;
}

namespace detail {

struct CallQueue::Call {
  enum class Stage { Queued, Running, Done, Withdrawn };
  std::function<void()> fn;
  std::shared_ptr<CancelState> cancel;
  Stage stage = Stage::Queued;  // guarded by cancel->m
};

bool CallQueue::callAndWait(std::function<void()> fn, const std::shared_ptr<CancelState>& cancel,
                            const std::function<void()>& wake) {
  auto call = std::make_shared<Call>();
  call->fn = std::move(fn);
  call->cancel = cancel;
  {
    std::lock_guard lock(cancel->m);
    if (cancel->cancelled) {
      return false;
    }
    // Woken under the queue lock: once it is released the loop may be destroyed, and its wake
    // descriptor with it.
    std::lock_guard queueLock(m_);
    if (closed_) {
      return false;
    }
    calls_.push_back(call);
    wake();
  }

  std::unique_lock lock(cancel->m);
  for (;;) {
    switch (call->stage) {
      case Call::Stage::Done:
        return true;
      case Call::Stage::Withdrawn:
        return false;
      case Call::Stage::Queued:
        if (cancel->cancelled) {
          call->stage = Call::Stage::Withdrawn;
          return false;
        }
        break;
      case Call::Stage::Running:
        break;  // a call under way is waited for even when cancelled
    }
    cancel->cv.wait(lock);
  }
}

void CallQueue::runAll() {
  for (;;) {
    std::shared_ptr<Call> call;
    {
      std::lock_guard lock(m_);
      if (calls_.empty()) {
        return;
      }
      call = calls_.front();
      calls_.pop_front();
    }
    {
      std::lock_guard lock(call->cancel->m);
      if (call->stage != Call::Stage::Queued || call->cancel->cancelled) {
        call->stage = Call::Stage::Withdrawn;
        call->cancel->cv.notify_all();
        continue;
      }
      call->stage = Call::Stage::Running;
    }
    struct Finish {
      Call& c;
      ~Finish() {
        std::lock_guard lock(c.cancel->m);
        c.stage = Call::Stage::Done;
        c.cancel->cv.notify_all();
      }
    } finish{*call};
    call->fn();
  }
}

bool CallQueue::empty() {
  std::lock_guard lock(m_);
  return calls_.empty();
}

void CallQueue::close() {
  std::deque<std::shared_ptr<Call>> pending;
  {
    std::lock_guard lock(m_);
    closed_ = true;
    pending.swap(calls_);
  }
  for (auto& call : pending) {
    std::lock_guard lock(call->cancel->m);
    call->stage = Call::Stage::Withdrawn;
    call->cancel->cv.notify_all();
  }
}

}  // namespace detail
}  // namespace platform
