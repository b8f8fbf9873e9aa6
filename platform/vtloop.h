/* The message loop for C and Python users of vtlink: windows that receive posted messages,
   and periodic timers that run on the thread that waits for messages. */
#ifndef VANTOR_VTLOOP_H
#define VANTOR_VTLOOP_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct VTLoopMsg {
  uint32_t hwnd;
  uint32_t msg;
  uint64_t wparam;
  int64_t lparam;
} VTLoopMsg;

/* Everything acts on the calling thread's loop, except posting, which any thread may do.
   VTLoopGetMessage returns 1 with the next message, 0 when the time-out passed (a negative
   time-out waits for ever) or `out` is NULL. VTLoopSetTimer returns 0 when `fn` is NULL. */
uint32_t VTLoopCreateWindow(void);
int VTLoopPostMessage(uint32_t hwnd, uint32_t msg, uint64_t wparam, int64_t lparam);
int VTLoopGetMessage(VTLoopMsg* out, int timeout_ms);
uint32_t VTLoopSetTimer(uint32_t interval_ms, void (*fn)(uint32_t id, void* ctx), void* ctx);
void VTLoopKillTimer(uint32_t id);

#ifdef __cplusplus
}
#endif

#endif
