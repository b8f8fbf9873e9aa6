#pragma once
// The slave devices of the simulated bus.

#include <array>
#include <cstdint>
#include <memory>

#include "sim/bus.h"

namespace sim {

// A 256-byte serial EEPROM; see makeEeprom256() in bus.h for its addressing rules. Writes take
// effect at once: the simulated part has no write cycle during which it ignores its address.
class Eeprom256 : public I2cDevice {
 public:
  static constexpr std::size_t kSize = 256;
  static constexpr std::size_t kPageSize = 16;

  explicit Eeprom256(std::uint8_t address) : address_(address) { memory_.fill(0xFF); }

  std::uint8_t address() const override { return address_; }
  std::size_t write(const std::vector<std::uint8_t>& bytes) override;
  std::size_t writeMore(const std::vector<std::uint8_t>& bytes) override;
  std::vector<std::uint8_t> read(std::size_t n) override;

  // Direct access for the simulator's own commands (dump, preload); no bus traffic.
  void poke(std::uint8_t at, const std::vector<std::uint8_t>& bytes);
  const std::array<std::uint8_t, kSize>& contents() const { return memory_; }
  std::uint8_t pointer() const { return pointer_; }

 private:
  void storeInPage(const std::uint8_t* bytes, std::size_t n);

  std::uint8_t address_;
  std::uint8_t pointer_ = 0;
  std::array<std::uint8_t, kSize> memory_{};
};

// An 8-bit I/O port: every written byte becomes the output latch (the last one stays); a read
// returns the pins, which show the latch where it drives them high-impedance (bits set), ANDed
// with the levels applied from outside.
class IoPort : public I2cDevice {
 public:
  explicit IoPort(std::uint8_t address) : address_(address) {}

  std::uint8_t address() const override { return address_; }
  std::size_t write(const std::vector<std::uint8_t>& bytes) override;
  std::vector<std::uint8_t> read(std::size_t n) override;

  std::uint8_t latch() const { return latch_; }
  // Levels that the outside world applies to the pins (1 = not pulled low).
  void setInputs(std::uint8_t levels) { inputs_ = levels; }

 private:
  std::uint8_t address_;
  std::uint8_t latch_ = 0xFF;
  std::uint8_t inputs_ = 0xFF;
};

std::unique_ptr<IoPort> makeIoPort(std::uint8_t address = 0x40);

// The bus every simulated adapter starts with: the EEPROM at 0xA0 and the I/O port at 0x40.
// Every other address, 0x50 among them, never acknowledges.
void attachStandardDevices(Bus& bus);

}  // namespace sim
