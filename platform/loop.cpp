#include "platform/loop.h"

#include <poll.h>
#include <pthread.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <deque>
#include <limits>
#include <map>
#include <mutex>
#include <thread>
#include <unordered_map>

#include "platform/clock_internal.h"
#include "platform/sync_call.h"
#include "platform/timer_queue.h"

namespace platform {
namespace {

// Which loop owns which window, across all threads. Never destroyed, so a loop torn down at
// thread exit after static destructors have run still finds it.
struct WindowRegistry {
  std::mutex m;
  std::unordered_map<WindowHandle, Loop*> owners;
  WindowHandle last = 0;
};

WindowRegistry& registry() {
  static WindowRegistry* r = new WindowRegistry;
  return *r;
}

// Waits on the real clock are capped so runUntil notices a condition that another
// thread makes true without posting anything.
constexpr Millis kRunUntilPollMs = 10;

}  // namespace

struct Loop::Impl {
  // Shared with other threads, under m.
  std::mutex m;
  std::deque<Message> queue;
  int wakeFd = -1;
  detail::CallQueue calls;
  std::thread::id owner = std::this_thread::get_id();

  // The loop's own thread only.
  std::map<WindowHandle, std::shared_ptr<WindowProc>> windows;
  std::shared_ptr<Hook> hook;
  detail::TimerQueue timers;
  bool quitRequested = false;
  int quitCode = 0;

  void wake() const {
    const std::uint64_t one = 1;
    // A full counter is still readable, which is all a waiter needs.
    [[maybe_unused]] ssize_t n = ::write(wakeFd, &one, sizeof one);
  }

  void drainWake() const {
    std::uint64_t value = 0;
    [[maybe_unused]] ssize_t n = ::read(wakeFd, &value, sizeof value);
  }

  bool hasProcedure(WindowHandle hwnd) const {
    auto it = windows.find(hwnd);
    return it != windows.end() && it->second != nullptr;
  }

  // The oldest queued message that a window procedure will take.
  bool takeDispatchable(Message& out) {
    std::lock_guard lock(m);
    auto it = std::find_if(queue.begin(), queue.end(),
                           [this](const Message& msg) { return hasProcedure(msg.hwnd); });
    if (it == queue.end()) {
      return false;
    }
    out = *it;
    queue.erase(it);
    return true;
  }

  bool takeAny(Message& out) {
    std::lock_guard lock(m);
    if (queue.empty()) {
      return false;
    }
    out = queue.front();
    queue.pop_front();
    return true;
  }

  bool hasWork(Millis at) {
    if (timers.anyDue(at) || !calls.empty()) {
      return true;
    }
    std::lock_guard lock(m);
    return std::any_of(queue.begin(), queue.end(),
                       [this](const Message& msg) { return hasProcedure(msg.hwnd); });
  }

  // Waits for a wake-up, a timer deadline or the end of the wait that began at `start`.
  // False when that wait is over. On the virtual clock nothing real is waited for while a
  // deadline or the time-out lies ahead: virtual time moves to the earlier of the two.
  bool wait(Millis start, Millis timeoutMs) {
    const Millis current = now();
    const bool forever = timeoutMs < 0;
    const Millis end = start + timeoutMs;
    if (!forever && current >= end) {
      return false;
    }
    std::optional<Millis> until = timers.nextDeadline();
    if (!forever && (!until || *until > end)) {
      until = end;
    }
    if (virtualClockActive()) {
      if (pollWake(0)) {
        return true;
      }
      if (until) {
        detail::advanceVirtualTo(*until);
        return true;
      }
      pollWake(-1);  // only another thread can make anything happen now
      return true;
    }
    pollWake(until ? std::max<Millis>(*until - current, 0) : -1);
    return true;
  }

  // Due timers, then synchronous calls, then up to `maxMessages` of the messages queued when
  // the pass began. Messages are taken one at a time from the shared queue so a nested pass
  // (a modal form) carries on in the same order; the limit keeps a handler that posts to
  // itself from making the pass endless.
  void pass(Loop& loop, std::size_t maxMessages) {
    drainWake();
    timers.runDue(now());
    calls.runAll();
    std::size_t queued = 0;
    {
      std::lock_guard lock(m);
      queued = std::min(queue.size(), maxMessages);
    }
    Message message;
    for (std::size_t i = 0; i < queued && takeDispatchable(message); ++i) {
      loop.dispatch(message);
    }
  }

  bool waitAndPass(Loop& loop, Millis timeoutMs, bool oneMessage) {
    const Millis start = now();
    for (;;) {
      drainWake();
      if (hasWork(now())) {
        pass(loop, oneMessage ? 1 : std::numeric_limits<std::size_t>::max());
        return true;
      }
      if (!wait(start, timeoutMs)) {
        return false;
      }
    }
  }

  bool pollWake(Millis timeoutMs) const {
    pollfd p{wakeFd, POLLIN, 0};
    const int timeout = timeoutMs < 0 ? -1 : static_cast<int>(std::min<Millis>(timeoutMs, 1 << 30));
    const int n = ::poll(&p, 1, timeout);
    return n > 0;
  }
};

namespace {

// The thread's loop is kept under a thread-specific key rather than in a thread_local: key
// destructors run after every thread_local destructor, so code that runs at thread or process
// end (the library's unload-time close kills its timer) still finds the loop alive.
void destroyThreadLoop(void* loop) {
  delete static_cast<Loop*>(loop);
}

pthread_key_t threadLoopKey() {
  static const pthread_key_t key = [] {
    pthread_key_t k{};
    pthread_key_create(&k, destroyThreadLoop);
    return k;
  }();
  return key;
}

}  // namespace

Loop& Loop::current() {
  const pthread_key_t key = threadLoopKey();
  auto* loop = static_cast<Loop*>(pthread_getspecific(key));
  if (loop == nullptr) {
    loop = new Loop;
    pthread_setspecific(key, loop);
  }
  return *loop;
}

Loop::Loop() : impl_(std::make_unique<Impl>()) {
  impl_->wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

Loop::~Loop() {
  {
    WindowRegistry& r = registry();
    std::lock_guard lock(r.m);
    for (const auto& [hwnd, proc] : impl_->windows) {
      r.owners.erase(hwnd);
    }
  }
  impl_->calls.close();
  impl_->timers.clear();
  if (impl_->wakeFd >= 0) {
    ::close(impl_->wakeFd);
  }
}

WindowHandle Loop::createWindow(WindowProc proc) {
  WindowRegistry& r = registry();
  WindowHandle hwnd = 0;
  {
    std::lock_guard lock(r.m);
    do {
      hwnd = ++r.last;
    } while (hwnd == 0 || r.owners.count(hwnd) != 0);
    r.owners.emplace(hwnd, this);
  }
  impl_->windows.emplace(hwnd, proc ? std::make_shared<WindowProc>(std::move(proc)) : nullptr);
  return hwnd;
}

void Loop::destroyWindow(WindowHandle hwnd) {
  if (impl_->windows.erase(hwnd) == 0) {
    return;
  }
  {
    WindowRegistry& r = registry();
    std::lock_guard lock(r.m);
    r.owners.erase(hwnd);
  }
  // Messages for a window that is gone have nobody to go to.
  std::lock_guard lock(impl_->m);
  std::erase_if(impl_->queue, [hwnd](const Message& msg) { return msg.hwnd == hwnd; });
}

bool Loop::post(WindowHandle hwnd, std::uint32_t msg, std::uint64_t wparam, std::int64_t lparam) {
  WindowRegistry& r = registry();
  // The registry lock is held until the message is queued, so the owning loop cannot be
  // destroyed in between.
  std::lock_guard lock(r.m);
  auto it = r.owners.find(hwnd);
  if (it == r.owners.end()) {
    return false;
  }
  Impl& target = *it->second->impl_;
  {
    std::lock_guard queueLock(target.m);
    target.queue.push_back(Message{hwnd, msg, wparam, lparam});
  }
  target.wake();
  return true;
}

TimerId Loop::setTimer(Millis intervalMs, std::function<void()> fn) {
  return impl_->timers.add(intervalMs, std::move(fn), now());
}

void Loop::killTimer(TimerId id) {
  impl_->timers.kill(id);
}

void Loop::setHook(Hook hook) {
  impl_->hook = hook ? std::make_shared<Hook>(std::move(hook)) : nullptr;
}

void Loop::runDueTimers() {
  impl_->timers.runDue(now());
}

bool Loop::getMessage(Message& out, Millis timeoutMs) {
  const Millis start = now();
  for (;;) {
    impl_->drainWake();
    runDueTimers();
    impl_->calls.runAll();
    if (impl_->takeAny(out)) {
      return true;
    }
    if (!impl_->wait(start, timeoutMs)) {
      return false;
    }
  }
}

void Loop::dispatch(const Message& message) {
  // Copies keep the hook and the procedure alive if they replace or destroy themselves.
  if (std::shared_ptr<Hook> hook = impl_->hook; hook && (*hook)(message)) {
    return;
  }
  auto it = impl_->windows.find(message.hwnd);
  if (it == impl_->windows.end() || !it->second) {
    return;
  }
  std::shared_ptr<WindowProc> proc = it->second;
  (*proc)(message);
}

void Loop::processPending() {
  impl_->pass(*this, std::numeric_limits<std::size_t>::max());
}

bool Loop::processOne(Millis timeoutMs) {
  return impl_->waitAndPass(*this, timeoutMs, false);
}

bool Loop::runUntil(const std::function<bool()>& done, Millis timeoutMs) {
  const Millis start = now();
  while (!done()) {
    Millis slice = -1;
    if (timeoutMs >= 0) {
      slice = start + timeoutMs - now();
      if (slice <= 0) {
        break;
      }
    }
    if (!virtualClockActive()) {
      slice = slice < 0 ? kRunUntilPollMs : std::min(slice, kRunUntilPollMs);
    }
    // One message at a time, so the form's end is seen right after the message that ends it
    // and later messages are left to the caller's loop.
    impl_->waitAndPass(*this, slice, true);
  }
  return done();
}

int Loop::run() {
  impl_->quitRequested = false;
  while (!impl_->quitRequested) {
    processOne(-1);
  }
  impl_->quitRequested = false;
  return impl_->quitCode;
}

void Loop::quit(int code) {
  impl_->quitCode = code;
  impl_->quitRequested = true;
  impl_->wake();
}

int Loop::wakeFd() const {
  return impl_->wakeFd;
}

std::optional<Millis> Loop::nextDeadline() const {
  return impl_->timers.nextDeadline();
}

bool Loop::callSync(std::function<void()> fn, const CallCancel& cancel) {
  if (std::this_thread::get_id() == impl_->owner) {
    // Waiting for ourselves would never end; the call is simply made.
    if (cancel.cancelled()) {
      return false;
    }
    fn();
    return true;
  }
  Impl& impl = *impl_;
  return impl.calls.callAndWait(std::move(fn), cancel.state_, [&impl] { impl.wake(); });
}

std::size_t Loop::timerCount() const {
  return impl_->timers.count();
}

std::size_t Loop::windowCount() const {
  return impl_->windows.size();
}

}  // namespace platform
