#include "sim/devices.h"

namespace sim {

std::size_t Eeprom256::write(const std::vector<std::uint8_t>& bytes) {
  if (bytes.empty()) {
    return 0;
  }
  pointer_ = bytes[0];
  storeInPage(bytes.data() + 1, bytes.size() - 1);
  return bytes.size();
}

std::size_t Eeprom256::writeMore(const std::vector<std::uint8_t>& bytes) {
  storeInPage(bytes.data(), bytes.size());
  return bytes.size();
}

// The page latch: data wraps within the 16-byte page the pointer is in, and the pointer ends
// after the last byte written, as the part's own counter does.
void Eeprom256::storeInPage(const std::uint8_t* bytes, std::size_t n) {
  const std::size_t pageBase = pointer_ & ~(kPageSize - 1);
  std::size_t offset = pointer_ & (kPageSize - 1);
  for (std::size_t i = 0; i < n; ++i) {
    memory_[pageBase + offset] = bytes[i];
    offset = (offset + 1) & (kPageSize - 1);
  }
  pointer_ = static_cast<std::uint8_t>(pageBase + offset);
}

void Eeprom256::poke(std::uint8_t at, const std::vector<std::uint8_t>& bytes) {
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    memory_[(at + i) % kSize] = bytes[i];
  }
}

std::vector<std::uint8_t> Eeprom256::read(std::size_t n) {
  std::vector<std::uint8_t> out;
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    out.push_back(memory_[pointer_]);
    pointer_ = static_cast<std::uint8_t>(pointer_ + 1);  // sequential reads wrap at 256
  }
  return out;
}

std::unique_ptr<I2cDevice> makeEeprom256(std::uint8_t address) {
  return std::make_unique<Eeprom256>(address);
}

std::size_t IoPort::write(const std::vector<std::uint8_t>& bytes) {
  if (!bytes.empty()) {
    latch_ = bytes.back();
  }
  return bytes.size();
}

std::vector<std::uint8_t> IoPort::read(std::size_t n) {
  return std::vector<std::uint8_t>(n, static_cast<std::uint8_t>(latch_ & inputs_));
}

std::unique_ptr<IoPort> makeIoPort(std::uint8_t address) {
  return std::make_unique<IoPort>(address);
}

void attachStandardDevices(Bus& bus) {
  bus.attach(makeEeprom256(0xA0));
  bus.attach(makeIoPort(0x40));
}

}  // namespace sim
