#include "platform/vtloop.h"

#include <memory>

#include "platform/loop.h"

extern "C" {

uint32_t VTLoopCreateWindow(void) {
  return platform::Loop::current().createWindow();
}

int VTLoopPostMessage(uint32_t hwnd, uint32_t msg, uint64_t wparam, int64_t lparam) {
  return platform::Loop::post(hwnd, msg, wparam, lparam) ? 1 : 0;
}

int VTLoopGetMessage(VTLoopMsg* out, int timeout_ms) {
  if (out == nullptr) {
    return 0;
  }
  platform::Message message;
  if (!platform::Loop::current().getMessage(message, timeout_ms < 0 ? -1 : timeout_ms)) {
    return 0;
  }
  *out = VTLoopMsg{message.hwnd, message.msg, message.wparam, message.lparam};
  return 1;
}

uint32_t VTLoopSetTimer(uint32_t interval_ms, void (*fn)(uint32_t id, void* ctx), void* ctx) {
  if (fn == nullptr) {
    return 0;
  }
  // The callback is told its own id, which only exists once the timer does.
  auto id = std::make_shared<uint32_t>(0);
  *id = platform::Loop::current().setTimer(interval_ms, [id, fn, ctx] { fn(*id, ctx); });
  return *id;
}

void VTLoopKillTimer(uint32_t id) {
  platform::Loop::current().killTimer(id);
}

}  // extern "C"
