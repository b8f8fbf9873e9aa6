#pragma once
// The adapter on an in-process line: publishes a MemoryPort as port n and serves it from a
// timer of the calling thread's loop, so host code under test and the adapter share one loop
// and one clock (the virtual one in unit tests).

#include <memory>

#include "platform/loop.h"
#include "platform/memory_port.h"
#include "sim/adapter.h"

namespace sim {

class MemoryTransport {
 public:
  static constexpr platform::Millis kPollMs = 2;

  MemoryTransport(Adapter& adapter, int portNumber);
  ~MemoryTransport();
  MemoryTransport(const MemoryTransport&) = delete;
  MemoryTransport& operator=(const MemoryTransport&) = delete;

  platform::MemoryPort& port() { return *port_; }

 private:
  void pass();

  Adapter& adapter_;
  std::shared_ptr<platform::MemoryPort> port_;
  platform::TimerId timer_ = 0;
};

}  // namespace sim
