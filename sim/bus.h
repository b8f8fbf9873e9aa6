#pragma once
// The simulated I2C bus, seen from the adapter: slave devices it can address as master, the
// adapter's own slave side that another master on the bus can address, that other master, and
// the /INT input. Works at the level of whole transfers; addresses are in 8-bit form (bit 0 is
// the read/write bit, always 0 here).

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace sim {

enum class BusOutcome { Ok, AddressNack, DataNack, ArbitrationLost, BusError, Timeout, Busy };

struct BusResult {
  BusOutcome outcome = BusOutcome::Ok;
  std::size_t written = 0;         // data bytes acknowledged on a write
  std::vector<std::uint8_t> data;  // bytes read
};

class I2cDevice {
 public:
  virtual ~I2cDevice() = default;
  virtual std::uint8_t address() const = 0;
  // Returns how many bytes were acknowledged; fewer than given means the device NACKed the next.
  virtual std::size_t write(const std::vector<std::uint8_t>& bytes) = 0;
  // More bytes of the same write, after the adapter held the bus between two blocks of one
  // message; by default a device takes them as it takes a write.
  virtual std::size_t writeMore(const std::vector<std::uint8_t>& bytes) { return write(bytes); }
  virtual std::vector<std::uint8_t> read(std::size_t n) = 0;
};

// The adapter's own slave interface, implemented by the firmware.
class OwnSlave {
 public:
  virtual ~OwnSlave() = default;
  // Own address, or 0x00 while general calls are enabled.
  virtual bool respondsTo(std::uint8_t address) const = 0;
  virtual void slaveReceived(const std::vector<std::uint8_t>& data, bool generalCall) = 0;
  // The other master wants `n` bytes; the firmware answers later with Bus::serveSlaveRead.
  virtual void slaveReadRequested(std::size_t n) = 0;
};

class Bus {
 public:
  Bus();
  ~Bus();

  void attach(std::unique_ptr<I2cDevice> device);
  I2cDevice* device(std::uint8_t address) const;

  // The adapter as master. A fault set with failNext() or holdFault() takes precedence.
  BusResult masterWrite(std::uint8_t address, const std::vector<std::uint8_t>& data);
  BusResult masterRead(std::uint8_t address, std::size_t n);
  // Further data bytes of a write whose start (and address) went out with masterWrite(); the
  // bus was held in between, so the device sees one message.
  BusResult masterWriteMore(std::uint8_t address, const std::vector<std::uint8_t>& data);

  void setOwnSlave(OwnSlave* slave);
  // Bytes for the other master's open read of the adapter; a read may be served in several
  // pieces, and bytes beyond what it asked for are not clocked out.
  void serveSlaveRead(const std::vector<std::uint8_t>& data);
  // Bytes the other master still wants from its open read of the adapter (0: none open).
  std::size_t slaveReadOutstanding() const;
  // Called when a read by the other master has all its bytes.
  std::function<void(const std::vector<std::uint8_t>& data)> onOtherMasterReadDone;

  // The other master. A write to an address the own slave does not answer is NACKed (false).
  bool otherMasterWrite(std::uint8_t address, const std::vector<std::uint8_t>& data);
  bool otherMasterRead(std::uint8_t address, std::size_t n);
  // What the other master has read from the adapter so far, one entry per read.
  const std::vector<std::vector<std::uint8_t>>& otherMasterReads() const;

  // /INT input of the adapter.
  void setInterrupt(bool asserted);
  bool interrupt() const;
  std::function<void(bool asserted)> onInterruptChange;

  // Faults: the next master transfer fails with `outcome`; or every one does until cleared.
  void failNext(BusOutcome outcome);
  // Clearing the held fault also drops a pending failNext().
  void holdFault(std::optional<BusOutcome> outcome);
  std::optional<BusOutcome> heldFault() const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// A 256-byte EEPROM: the first written byte sets the address pointer, the rest are stored in
// 16-byte pages (wrapping within the page); reads go on from the pointer.
std::unique_ptr<I2cDevice> makeEeprom256(std::uint8_t address = 0xA0);

}  // namespace sim
