// The simulated bus and its devices.

#include "sim/bus.h"

#include <gtest/gtest.h>

#include "sim/devices.h"

namespace sim {
namespace {

using Bytes = std::vector<std::uint8_t>;

class Eeprom : public testing::Test {
 protected:
  Eeprom() { bus_.attach(makeEeprom256()); }
  Bytes readAt(std::uint8_t at, std::size_t n) {
    EXPECT_EQ(bus_.masterWrite(0xA0, {at}).outcome, BusOutcome::Ok);
    return bus_.masterRead(0xA0, n).data;
  }
  Bus bus_;
};

TEST_F(Eeprom, WrapsAPageWriteWithinItsPageAndLeavesThePointerAfterTheLastByte) {
  EXPECT_EQ(bus_.masterWrite(0xA0, {0x1E, 1, 2, 3, 4}).written, 5u);
  EXPECT_EQ(readAt(0x1E, 2), (Bytes{1, 2}));
  EXPECT_EQ(readAt(0x10, 2), (Bytes{3, 4})) << "bytes past the page end wrap to its start";
  EXPECT_EQ(readAt(0x20, 1), (Bytes{0xFF})) << "the next page is untouched";

  bus_.masterWrite(0xA0, {0x30, 7});
  EXPECT_EQ(bus_.masterRead(0xA0, 1).data, (Bytes{0xFF})) << "read goes on after the write";
}

TEST_F(Eeprom, ContinuesAHeldWriteAtItsPointerAndReadsOnAcrossTheEnd) {
  bus_.masterWrite(0xA0, {0xFE, 0x11});
  bus_.masterWriteMore(0xA0, {0x22, 0x33});
  EXPECT_EQ(readAt(0xF0, 1), (Bytes{0x33}));
  EXPECT_EQ(readAt(0xFE, 3), (Bytes{0x11, 0x22, 0xFF})) << "sequential read wraps at 256";
}

TEST_F(Eeprom, TakesAnAddressOnlyWriteAsAProbe) {
  EXPECT_EQ(bus_.masterWrite(0xA0, {}).outcome, BusOutcome::Ok);
  EXPECT_EQ(bus_.masterWrite(0x50, {}).outcome, BusOutcome::AddressNack);
  EXPECT_EQ(bus_.masterRead(0x50, 1).outcome, BusOutcome::AddressNack);
}

TEST(BusFaults, TakePrecedenceOnceOrUntilCleared) {
  Bus bus;
  bus.attach(makeEeprom256());
  bus.failNext(BusOutcome::ArbitrationLost);
  EXPECT_EQ(bus.masterWrite(0xA0, {0}).outcome, BusOutcome::ArbitrationLost);
  EXPECT_EQ(bus.masterWrite(0xA0, {0}).outcome, BusOutcome::Ok);

  bus.holdFault(BusOutcome::Timeout);
  EXPECT_EQ(bus.masterRead(0xA0, 1).outcome, BusOutcome::Timeout);
  EXPECT_EQ(bus.masterWriteMore(0xA0, {1}).outcome, BusOutcome::Timeout);
  EXPECT_EQ(bus.masterRead(0x50, 1).outcome, BusOutcome::Timeout) << "before any address";
  bus.holdFault(std::nullopt);
  EXPECT_EQ(bus.masterRead(0xA0, 1).outcome, BusOutcome::Ok);
}

// The adapter's slave side as the firmware would play it.
class RecordingSlave : public OwnSlave {
 public:
  bool respondsTo(std::uint8_t address) const override {
    return address == 0x70 || (address == 0 && generalCall);
  }
  void slaveReceived(const Bytes& data, bool gc) override {
    received.push_back(data);
    lastWasGeneralCall = gc;
  }
  void slaveReadRequested(std::size_t n) override { requested = n; }

  bool generalCall = false;
  std::vector<Bytes> received;
  bool lastWasGeneralCall = false;
  std::size_t requested = 0;
};

TEST(OtherMaster, WritesToTheAdapterOrToADeviceAndIsRefusedElsewhere) {
  Bus bus;
  attachStandardDevices(bus);
  RecordingSlave slave;
  bus.setOwnSlave(&slave);
  EXPECT_TRUE(bus.otherMasterWrite(0x71, {1, 2}));  // the read/write bit does not matter
  EXPECT_EQ(slave.received, std::vector<Bytes>{(Bytes{1, 2})});
  EXPECT_FALSE(bus.otherMasterWrite(0x00, {3})) << "general calls are off";
  slave.generalCall = true;
  EXPECT_TRUE(bus.otherMasterWrite(0x00, {3}));
  EXPECT_TRUE(slave.lastWasGeneralCall);
  EXPECT_TRUE(bus.otherMasterWrite(0x40, {0x5A}));
  EXPECT_EQ(dynamic_cast<IoPort*>(bus.device(0x40))->latch(), 0x5A);
  EXPECT_FALSE(bus.otherMasterWrite(0x52, {1}));
  bus.setOwnSlave(nullptr);
}

TEST(OtherMaster, ReadsTheAdapterInPiecesUntilItHasWhatItAskedFor) {
  Bus bus;
  RecordingSlave slave;
  bus.setOwnSlave(&slave);
  std::vector<Bytes> done;
  bus.onOtherMasterReadDone = [&done](const Bytes& data) { done.push_back(data); };
  EXPECT_TRUE(bus.otherMasterRead(0x70, 3));
  EXPECT_EQ(slave.requested, 3u);
  bus.serveSlaveRead({1, 2});
  EXPECT_EQ(bus.slaveReadOutstanding(), 1u);
  EXPECT_TRUE(done.empty());
  bus.serveSlaveRead({3, 4});
  EXPECT_EQ(done, std::vector<Bytes>{(Bytes{1, 2, 3})}) << "bytes beyond the request stay";
  bus.serveSlaveRead({5});
  EXPECT_EQ(bus.otherMasterReads(), std::vector<Bytes>{(Bytes{1, 2, 3})});
  EXPECT_FALSE(bus.otherMasterRead(0x00, 1)) << "nobody answers a read of the general call";
  bus.setOwnSlave(nullptr);
}

TEST(IoPortDevice, ReadsItsLatchAgainstThePinLevels) {
  IoPort port(0x40);
  port.write({0x0F, 0xF0});
  EXPECT_EQ(port.latch(), 0xF0);
  port.setInputs(0x3C);
  EXPECT_EQ(port.read(2), (Bytes{0x30, 0x30}));
}

TEST(InterruptInput, ReportsChangesOnly) {
  Bus bus;
  std::vector<bool> seen;
  bus.onInterruptChange = [&seen](bool asserted) { seen.push_back(asserted); };
  bus.setInterrupt(true);
  bus.setInterrupt(true);
  bus.setInterrupt(false);
  EXPECT_EQ(seen, (std::vector<bool>{true, false}));
  EXPECT_FALSE(bus.interrupt());
}

}  // namespace
}  // namespace sim
