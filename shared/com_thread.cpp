#include "shared/com_thread.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>

#include "platform/system.h"

namespace shared {

// Shared by the object and its thread, so a reader whose object is destroyed inside its own
// hand-over can still finish that hand-over safely.
struct TComThread::State {
  State(platform::SerialPort& p, ByteHandler handler)
      : port(p), onByte(std::move(handler)), mainLoop(platform::Loop::current()) {}

  platform::SerialPort& port;
  const ByteHandler onByte;
  platform::Loop& mainLoop;
  platform::CallCancel cancel;
  std::atomic<bool> stop{false};

  std::mutex pauseMutex;
  std::condition_variable pauseWake;

  // The received byte and the count of the last read: written by the reader, read by the main
  // thread only inside the synchronous hand-over, which orders the two.
  std::uint8_t receivedByte = 0;
  std::size_t bytesRead = 0;

  // Main thread only: how many hand-overs of this reader are on the main thread's stack.
  int deliveryDepth = 0;
};

TComThread::TComThread(platform::SerialPort& port, ByteHandler onByte)
    : state_(std::make_shared<State>(port, std::move(onByte))) {}

TComThread::~TComThread() {
  Halt();
  // Still joinable only when destroyed from inside its own hand-over: the thread is waiting for
  // that hand-over to return, sees the stop flag and ends, holding nothing but the state.
  if (thread_.joinable())
    thread_.detach();
}

void TComThread::Resume() {
  if (resumed_ || state_->stop)
    return;
  resumed_ = true;
  thread_ = std::thread([state = state_] { Execute(state); });
}

void TComThread::Halt() {
  {
    std::lock_guard<std::mutex> lock(state_->pauseMutex);
    state_->stop = true;
  }
  state_->pauseWake.notify_all();
  // A byte whose hand-over is queued but has not run is withdrawn, and the reader is released.
  state_->cancel.cancel();
  if (thread_.joinable() && state_->deliveryDepth == 0)
    thread_.join();
}

bool TComThread::running() const {
  return resumed_ && !state_->stop;
}

void TComThread::Execute(const std::shared_ptr<State>& state) {
  platform::setCurrentThreadPriority(platform::ThreadPriority::BelowNormal);
  while (!state->stop) {
    const bool completed = ReadOneByte(*state);
    if (state->stop)
      break;
    if (completed && state->bytesRead > 0) {
      state->mainLoop.callSync([state] { DeliverByte(*state); }, state->cancel);
    } else if (!completed) {
      std::unique_lock<std::mutex> lock(state->pauseMutex);
      state->pauseWake.wait_for(lock, std::chrono::milliseconds(kFailedReadPauseMs),
                                [&] { return state->stop.load(); });
    }
  }
}

bool TComThread::ReadOneByte(State& state) {
  state.bytesRead = 0;
  const platform::ReadResult result =
      state.port.readTimeout(&state.receivedByte, 1, kReadTimeoutMs);
  if (!result.status.ok())
    return false;
  state.bytesRead = result.count;
  return true;
}

void TComThread::DeliverByte(State& state) {
  // The halt may have begun after the reader queued this call.
  if (state.stop)
    return;
  struct DepthGuard {
    int& depth;
    explicit DepthGuard(int& d) : depth(d) { ++depth; }
    ~DepthGuard() { --depth; }
  } guard(state.deliveryDepth);
  state.onByte(static_cast<std::uint16_t>(state.receivedByte));
}

}  // namespace shared
