#include "sim/bus.h"

#include <algorithm>
#include <utility>

namespace sim {

struct Bus::Impl {
  std::vector<std::unique_ptr<I2cDevice>> devices;
  OwnSlave* ownSlave = nullptr;
  std::optional<BusOutcome> nextFault;
  std::optional<BusOutcome> heldFault;
  bool interrupt = false;

  std::vector<std::vector<std::uint8_t>> otherMasterReads;
  // Bytes the other master still clocks out of the adapter for its latest read; 0 when no read
  // of the adapter's slave side is open.
  std::size_t slaveReadOutstanding = 0;

  std::optional<BusOutcome> takeFault() {
    if (nextFault) {
      auto fault = nextFault;
      nextFault.reset();
      return fault;
    }
    return heldFault;
  }
};

Bus::Bus() : impl_(std::make_unique<Impl>()) {}
Bus::~Bus() = default;

void Bus::attach(std::unique_ptr<I2cDevice> device) {
  const auto address = device->address();
  auto& devices = impl_->devices;
  devices.erase(std::remove_if(devices.begin(), devices.end(),
                               [address](const auto& d) { return d->address() == address; }),
                devices.end());
  devices.push_back(std::move(device));
}

I2cDevice* Bus::device(std::uint8_t address) const {
  const std::uint8_t even = address & 0xFE;
  for (const auto& d : impl_->devices) {
    if (d->address() == even) {
      return d.get();
    }
  }
  return nullptr;
}

namespace {

BusResult writeTo(I2cDevice* target, const std::vector<std::uint8_t>& data, bool more) {
  BusResult result;
  if (target == nullptr) {
    result.outcome = BusOutcome::AddressNack;
    return result;
  }
  const std::size_t acked = more ? target->writeMore(data) : target->write(data);
  result.written = std::min(acked, data.size());
  if (result.written < data.size()) {
    result.outcome = BusOutcome::DataNack;
  }
  return result;
}

}  // namespace

BusResult Bus::masterWrite(std::uint8_t address, const std::vector<std::uint8_t>& data) {
  if (auto fault = impl_->takeFault()) {
    return BusResult{*fault, 0, {}};
  }
  return writeTo(device(address), data, false);
}

BusResult Bus::masterWriteMore(std::uint8_t address, const std::vector<std::uint8_t>& data) {
  if (auto fault = impl_->takeFault()) {
    return BusResult{*fault, 0, {}};
  }
  return writeTo(device(address), data, true);
}

BusResult Bus::masterRead(std::uint8_t address, std::size_t n) {
  if (auto fault = impl_->takeFault()) {
    return BusResult{*fault, 0, {}};
  }
  BusResult result;
  I2cDevice* target = device(address);
  if (target == nullptr) {
    result.outcome = BusOutcome::AddressNack;
    return result;
  }
  result.data = target->read(n);
  result.data.resize(n, 0xFF);  // a device that stops driving leaves the line high
  return result;
}

void Bus::setOwnSlave(OwnSlave* slave) {
  impl_->ownSlave = slave;
}

void Bus::serveSlaveRead(const std::vector<std::uint8_t>& data) {
  if (impl_->slaveReadOutstanding == 0 || impl_->otherMasterReads.empty()) {
    return;  // nobody is clocking bytes out of the adapter
  }
  const std::size_t take = std::min(data.size(), impl_->slaveReadOutstanding);
  auto& entry = impl_->otherMasterReads.back();
  entry.insert(entry.end(), data.begin(), data.begin() + static_cast<std::ptrdiff_t>(take));
  impl_->slaveReadOutstanding -= take;
  if (impl_->slaveReadOutstanding == 0 && onOtherMasterReadDone) {
    onOtherMasterReadDone(entry);
  }
}

std::size_t Bus::slaveReadOutstanding() const {
  return impl_->slaveReadOutstanding;
}

bool Bus::otherMasterWrite(std::uint8_t address, const std::vector<std::uint8_t>& data) {
  const std::uint8_t even = address & 0xFE;
  OwnSlave* own = impl_->ownSlave;
  if (own != nullptr && own->respondsTo(even)) {
    own->slaveReceived(data, even == 0x00);
    return true;
  }
  if (I2cDevice* target = device(even)) {
    return target->write(data) == data.size();
  }
  return false;
}

bool Bus::otherMasterRead(std::uint8_t address, std::size_t n) {
  const std::uint8_t even = address & 0xFE;
  OwnSlave* own = impl_->ownSlave;
  if (n == 0 || even == 0x00) {
    return false;  // a read needs a byte count, and nobody answers a read of the general call
  }
  if (own != nullptr && own->respondsTo(even)) {
    impl_->otherMasterReads.emplace_back();
    impl_->slaveReadOutstanding = n;
    own->slaveReadRequested(n);
    return true;
  }
  if (I2cDevice* target = device(even)) {
    auto data = target->read(n);
    data.resize(n, 0xFF);
    impl_->otherMasterReads.push_back(data);
    if (onOtherMasterReadDone) {
      onOtherMasterReadDone(impl_->otherMasterReads.back());
    }
    return true;
  }
  return false;
}

const std::vector<std::vector<std::uint8_t>>& Bus::otherMasterReads() const {
  return impl_->otherMasterReads;
}

void Bus::setInterrupt(bool asserted) {
  if (impl_->interrupt == asserted) {
    return;
  }
  impl_->interrupt = asserted;
  if (onInterruptChange) {
    onInterruptChange(asserted);
  }
}

bool Bus::interrupt() const {
  return impl_->interrupt;
}

void Bus::failNext(BusOutcome outcome) {
  impl_->nextFault = outcome;
}

void Bus::holdFault(std::optional<BusOutcome> outcome) {
  impl_->heldFault = outcome;
  if (!outcome) {
    impl_->nextFault.reset();
  }
}

std::optional<BusOutcome> Bus::heldFault() const {
  return impl_->heldFault;
}

}  // namespace sim
