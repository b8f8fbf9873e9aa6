#include "sim/memory_transport.h"

namespace sim {

MemoryTransport::MemoryTransport(Adapter& adapter, int portNumber)
    : adapter_(adapter), port_(platform::MemoryPort::publish(portNumber)) {
  adapter_.toHost = [this](const std::vector<std::uint8_t>& bytes) {
    // Bytes sent while no program has the port open fall on an idle line.
    if (port_->hostOpen()) {
      port_->write(bytes);
    }
  };
  timer_ = platform::Loop::current().setTimer(kPollMs, [this] { pass(); });
}

MemoryTransport::~MemoryTransport() {
  platform::Loop::current().killTimer(timer_);
  adapter_.toHost = nullptr;
}

void MemoryTransport::pass() {
  adapter_.poll(platform::now());
  const auto fromHost = port_->read();
  if (!fromHost.empty()) {
    adapter_.fromHost(fromHost.data(), fromHost.size(), port_->hostSettings().baud);
  }
}

}  // namespace sim
