#pragma once
// The message loop: the stand-in for the window messages, thread timers and message hook the
// suite was designed around. One loop per thread that uses one (in practice the main thread).

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/clock.h"

namespace platform {

using WindowHandle = std::uint32_t;  // non-zero; 0 is "no window"
using TimerId = std::uint32_t;       // non-zero; 0 is "no timer"

struct Message {
  WindowHandle hwnd = 0;
  std::uint32_t msg = 0;
  std::uint64_t wparam = 0;
  std::int64_t lparam = 0;
};

// Lets the thread that is stopping a worker withdraw the worker's pending synchronous call, so
// the worker is never left waiting for a loop that will not serve it. Copies share one state.
class CallCancel {
 public:
  CallCancel();
  void cancel();
  bool cancelled() const;
  void reset();  // ready for the next worker run

 private:
  friend class Loop;
  struct State;
  std::shared_ptr<State> state_;
};

class Loop {
 public:
  using WindowProc = std::function<void(const Message&)>;
  // Sees every message the loop takes before it is dispatched; true means "handled, do not
  // dispatch".
  using Hook = std::function<bool(const Message&)>;

  // The calling thread's loop, created on first use.
  static Loop& current();

  Loop(const Loop&) = delete;
  Loop& operator=(const Loop&) = delete;

  // Windows are only message targets; a window without a procedure keeps its messages for
  // getMessage().
  WindowHandle createWindow(WindowProc proc = {});
  void destroyWindow(WindowHandle hwnd);

  // Thread-safe. Appends to the owning loop's queue; false for an unknown handle.
  static bool post(WindowHandle hwnd, std::uint32_t msg, std::uint64_t wparam, std::int64_t lparam);

  // Periodic timer on this loop's thread, run between messages.
  TimerId setTimer(Millis intervalMs, std::function<void()> fn);
  void killTimer(TimerId id);

  void setHook(Hook hook);

  // Waits up to `timeoutMs` (-1: forever) for a posted message, running due timers and
  // synchronous calls while it waits. Returns the message without dispatching it.
  bool getMessage(Message& out, Millis timeoutMs);
  // Hook first, then the window's procedure.
  void dispatch(const Message& message);

  // One pass without waiting: due timers, then synchronous calls, then every queued message
  // (taken and dispatched). This is what an embedding event loop calls.
  void processPending();
  // Waits up to `timeoutMs` for work, then does one pass. False when nothing happened.
  bool processOne(Millis timeoutMs);
  // Runs passes until `done` returns true or `timeoutMs` passes on the loop's clock (-1: no
  // limit). Returns done(). Used for modal forms and by tests on the real clock.
  bool runUntil(const std::function<bool()>& done, Millis timeoutMs = -1);
  // Runs until quit(); returns the code given to quit().
  int run();
  void quit(int code = 0);

  // Embedding into another event loop: the descriptor becomes readable when a message or a
  // synchronous call is queued; the deadline is the earliest timer's, on platform::now().
  int wakeFd() const;
  std::optional<Millis> nextDeadline() const;

  // From another thread: runs `fn` on this loop's thread at its next pass and waits until it
  // has run. Returns false without running it when `cancel` is cancelled first.
  bool callSync(std::function<void()> fn, const CallCancel& cancel);

  // For tests' tear-down checks.
  std::size_t timerCount() const;
  std::size_t windowCount() const;

  ~Loop();

 private:
  Loop();
  friend class VirtualClock;
  void runDueTimers();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace platform
