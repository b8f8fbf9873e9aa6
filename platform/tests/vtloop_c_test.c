/* The loop's C interface as a C program sees it: a message posted from another thread
   arrives through VTLoopGetMessage while a timer fires on the waiting thread. */
#define _POSIX_C_SOURCE 200809L

#include <pthread.h>
#include <stdio.h>
#include <time.h>

#include "platform/vtloop.h"

static uint32_t window;
static pthread_t loopThread;
static int ticks;
static int ticksOnOtherThread;
static int wrongContext;
static int marker;

static void sleepMs(long ms) {
  struct timespec ts = {ms / 1000, (ms % 1000) * 1000000L};
  nanosleep(&ts, NULL);
}

static void onTimer(uint32_t id, void* ctx) {
  (void)id;
  ++ticks;
  if (!pthread_equal(pthread_self(), loopThread)) {
    ++ticksOnOtherThread;
  }
  if (ctx != &marker) {
    ++wrongContext;
  }
}

static void* sender(void* arg) {
  (void)arg;
  sleepMs(200);
  VTLoopPostMessage(window, 1024, 280, -1);
  return NULL;
}

static int fail(const char* what) {
  fprintf(stderr, "FAILED: %s\n", what);
  return 1;
}

int main(void) {
  VTLoopMsg msg;
  pthread_t thread;
  uint32_t timer;

  loopThread = pthread_self();
  window = VTLoopCreateWindow();
  if (window == 0) {
    return fail("no window");
  }
  if (VTLoopPostMessage(window + 1000, 1, 0, 0) != 0) {
    return fail("post to an unknown window accepted");
  }
  timer = VTLoopSetTimer(20, onTimer, &marker);
  if (timer == 0) {
    return fail("no timer");
  }
  if (VTLoopGetMessage(&msg, 50) != 0) {
    return fail("a message out of nowhere");
  }
  if (pthread_create(&thread, NULL, sender, NULL) != 0) {
    return fail("no thread");
  }
  if (VTLoopGetMessage(&msg, 5000) != 1) {
    return fail("the posted message did not arrive");
  }
  pthread_join(thread, NULL);
  if (msg.hwnd != window || msg.msg != 1024 || msg.wparam != 280 || msg.lparam != -1) {
    return fail("message arrived changed");
  }
  if (ticks < 5) {
    return fail("the timer did not run during the wait");
  }
  if (ticksOnOtherThread != 0 || wrongContext != 0) {
    return fail("timer ran on another thread or with another context");
  }
  VTLoopKillTimer(timer);
  ticks = 0;
  VTLoopGetMessage(&msg, 60);
  if (ticks != 0) {
    return fail("killed timer still runs");
  }
  printf("vtloop C interface: 1 passed, 0 failed\n");
  return 0;
}
