#include "platform/memory_port.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>

#include "platform/line.h"
#include "platform/port_names.h"

namespace platform {

struct MemoryPort::Shared {
  std::mutex m;
  std::condition_variable arrived;  // bytes for the host, or the far side went away
  std::deque<std::uint8_t> toHost;
  std::vector<std::uint8_t> fromHost;
  bool farSideGone = false;
  bool hostOpen = false;
  LineSettings settings;
  bool dtr = false;
  bool rts = false;
  std::uint32_t modemBits = 0;
};

namespace {

struct Published {
  std::mutex m;
  std::map<int, std::weak_ptr<MemoryPort::Shared>> ports;
};

Published& published() {
  static Published* p = new Published;
  return *p;
}

class MemoryLine final : public detail::Line {
 public:
  explicit MemoryLine(std::shared_ptr<MemoryPort::Shared> shared) : shared_(std::move(shared)) {}
  ~MemoryLine() override { close(); }

  Status apply(const LineSettings& settings) override {
    std::lock_guard lock(shared_->m);
    shared_->settings = settings;
    return Status::success();
  }

  ReadResult read(std::uint8_t* buf, std::size_t n, Millis timeoutMs) override {
    std::unique_lock lock(shared_->m);
    auto ready = [this] { return !shared_->toHost.empty() || shared_->farSideGone; };
    if (timeoutMs < 0) {
      shared_->arrived.wait(lock, ready);
    } else {
      shared_->arrived.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready);
    }
    std::size_t count = 0;
    while (count < n && !shared_->toHost.empty()) {
      buf[count++] = shared_->toHost.front();
      shared_->toHost.pop_front();
    }
    if (count == 0 && shared_->farSideGone) {
      return {Status::failure(EIO, "read"), 0};
    }
    return {Status::success(), count};
  }

  Status write(const std::uint8_t* data, std::size_t n, Millis) override {
    std::lock_guard lock(shared_->m);
    if (shared_->farSideGone) {
      return Status::failure(EIO, "write");
    }
    shared_->fromHost.insert(shared_->fromHost.end(), data, data + n);
    return Status::success();
  }

  Status setModemLine(bool dtr, bool on) override {
    std::lock_guard lock(shared_->m);
    (dtr ? shared_->dtr : shared_->rts) = on;
    return Status::success();
  }

  Status modemStatus(std::uint32_t& bits) override {
    std::lock_guard lock(shared_->m);
    bits = shared_->modemBits;
    return Status::success();
  }

  Status close() override {
    if (!shared_) {
      return Status::success();
    }
    {
      std::lock_guard lock(shared_->m);
      shared_->hostOpen = false;
    }
    shared_.reset();
    return Status::success();
  }

 private:
  std::shared_ptr<MemoryPort::Shared> shared_;
};

}  // namespace

namespace detail {

std::unique_ptr<Line> openMemoryLine(int portNumber, Status& status) {
  std::shared_ptr<MemoryPort::Shared> shared;
  {
    Published& p = published();
    std::lock_guard lock(p.m);
    auto it = p.ports.find(portNumber);
    if (it != p.ports.end()) {
      shared = it->second.lock();
    }
  }
  status = Status::success();
  if (!shared) {
    return nullptr;
  }
  std::lock_guard lock(shared->m);
  if (shared->hostOpen) {
    status = Status::failure(EBUSY, "open");
    return nullptr;
  }
  shared->hostOpen = true;
  return std::make_unique<MemoryLine>(shared);
}

}  // namespace detail

std::shared_ptr<MemoryPort> MemoryPort::publish(int portNumber) {
  if (portNumber < kFirstPort || portNumber > kLastPort) {
    return nullptr;
  }
  Published& p = published();
  std::lock_guard lock(p.m);
  auto it = p.ports.find(portNumber);
  if (it != p.ports.end() && !it->second.expired()) {
    return nullptr;
  }
  std::shared_ptr<MemoryPort> port(new MemoryPort(portNumber));
  p.ports[portNumber] = port->shared_;
  return port;
}

MemoryPort::MemoryPort(int portNumber) : shared_(std::make_shared<Shared>()), port_(portNumber) {}

MemoryPort::~MemoryPort() {
  {
    Published& p = published();
    std::lock_guard lock(p.m);
    auto it = p.ports.find(port_);
    if (it != p.ports.end() && it->second.lock() == shared_) {
      p.ports.erase(it);
    }
  }
  // A host still holding the line sees it fail, as with an adapter pulled from the socket.
  std::lock_guard lock(shared_->m);
  shared_->farSideGone = true;
  shared_->arrived.notify_all();
}

void MemoryPort::write(const std::uint8_t* data, std::size_t n) {
  std::lock_guard lock(shared_->m);
  shared_->toHost.insert(shared_->toHost.end(), data, data + n);
  shared_->arrived.notify_all();
}

std::vector<std::uint8_t> MemoryPort::read() {
  std::lock_guard lock(shared_->m);
  std::vector<std::uint8_t> taken;
  taken.swap(shared_->fromHost);
  return taken;
}

bool MemoryPort::hostOpen() const {
  std::lock_guard lock(shared_->m);
  return shared_->hostOpen;
}

LineSettings MemoryPort::hostSettings() const {
  std::lock_guard lock(shared_->m);
  return shared_->settings;
}

bool MemoryPort::dtr() const {
  std::lock_guard lock(shared_->m);
  return shared_->dtr;
}

bool MemoryPort::rts() const {
  std::lock_guard lock(shared_->m);
  return shared_->rts;
}

void MemoryPort::setModemLines(std::uint32_t bits) {
  std::lock_guard lock(shared_->m);
  shared_->modemBits = bits;
}

int MemoryPort::portNumber() const {
  return port_;
}

std::shared_ptr<MemoryPort::Shared> MemoryPort::shared() const {
  return shared_;
}

}  // namespace platform
