// The master requests: transmit in blocks of 16, receive, transmit-then-receive.

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "vtlink/i2c_link.h"

namespace vtlink {

namespace {

constexpr std::size_t kBlockSize = 16;
constexpr std::uint32_t kMaxTxRxTransmit = 12;
// Receive lengths travel as 16 bits; a longer request would be cut on the wire and the
// library would wait for bytes the adapter was never asked for.
constexpr std::uint32_t kMaxWireLength = 0xFFFF;

std::uint8_t high(std::uint32_t value) {
  return static_cast<std::uint8_t>(value >> 8);
}
std::uint8_t low(std::uint32_t value) {
  return static_cast<std::uint8_t>(value);
}

}  // namespace

bool I2CLink::slaveBusy() const {
  return slaveRequest_ != SlaveRequest::None || rec_.SlaveStatus == I2C_EV_SLAVE_TX_REQUEST;
}

std::uint32_t I2CLink::masterTx(std::uint32_t address, const void* data, std::uint32_t length,
                                std::uint32_t stop) {
  const std::uint8_t addr = low(address);
  const bool stopFlag = low(stop) != 0;
  log_.write(1, "I2C Link: I2CMasterTx(%#X, %Lp, %u, %u).", unsigned{addr}, data, length,
             unsigned{low(stop)});
  if (!linkOpen_) {
    rec_.MasterStatus = I2C_MASTER_IDLE;
    log_.write(2, "I2C Link: WARNING - Link NOT Open.");
    return I2C_ERR_NOT_OPEN;
  }
  // A continuation is refused too while a transfer runs: it would overwrite the transmit
  // buffer under the blocks the adapter is still asking for.
  if (rec_.MasterStatus == I2C_MASTER_BUSY) {
    log_.write(1, "I2C Link: WARNING - I2C Operation in Progress.");
    return I2C_ERR_BUSY;
  }
  if (slaveBusy()) {
    log_.write(2, "Data Link: WARNING - Slave Operation in Progress.");
    return I2C_ERR_BUSY;
  }
  if (addr == I2C_CONTINUE_ADDRESS && lastKind_ != MasterKind::TxNoStop) {
    log_.write(1, "I2C Link: FAILURE - No Previous Master Tx to Continue.");
    return I2C_ERR_ADDRESS;
  }
  lastKind_ = stopFlag ? MasterKind::TxStop : MasterKind::TxNoStop;
  if (data == nullptr) {
    log_.write(1, "I2C Link: FAILURE - Null Data Buffer Pointer Argument Detected.");
    return I2C_ERR_NULL_POINTER;
  }
  if (length > rec_.MasterTxBufSize) {
    log_.write(1, "I2C Link: FAILURE - Msg Length Argument (%d) > MasterTxBufSize (%d).",
               static_cast<int>(length), static_cast<int>(rec_.MasterTxBufSize));
    return I2C_ERR_LENGTH;
  }
  if (!masterTx_) {
    log_.write(1, "I2C Link: SYSTEM FAILURE - Null lpvMasterTxBuf Pointer Detected.");
    return I2C_ERR_SYSTEM;
  }
  std::memcpy(masterTx_.data(), data, length);
  txRead_ = 0;
  txRemaining_ = length;
  rec_.MasterTxByteCount = 0;
  txStop_ = stopFlag;
  const std::uint32_t result = sendMasterTxBlock(addr);
  if (result == I2C_OK) {
    log_.write(1, "I2C Link: I2CMasterTx() Accepted.");
  }
  return result;
}

std::uint32_t I2CLink::sendMasterTxBlock(std::uint8_t address) {
  const bool further = address == I2C_CONTINUE_ADDRESS;
  if (further) {
    log_.write(1, "I2C Link: I2CMasterTxx(%s).", "Continued");
  } else {
    char text[4];
    std::snprintf(text, sizeof text, "%x", unsigned{address});
    log_.write(1, "I2C Link: I2CMasterTxx(%s).", text);
  }
  if (rec_.MasterStatus == I2C_MASTER_BUSY && !further) {
    log_.write(1, "I2C Link: FAILURE - I2C Operation in Progress.");
    return I2C_ERR_BUSY;
  }
  rec_.MasterStatus = I2C_MASTER_IDLE;
  if (!linkOpen_) {
    log_.write(1, "I2C Link: FAILURE - I2C Link NOT Open.");
    return I2C_ERR_NOT_OPEN;
  }
  if (!further && (address & 1) != 0) {
    log_.write(1, "I2C Link: FAILURE - Destination I2C Slave Address NOT Even (%d).",
               static_cast<int>(address));
    return I2C_ERR_ADDRESS;
  }
  if (further && !txRead_) {
    log_.write(1, "I2C Link: FAILURE - No Previous I2C Message to Continue.");
    return I2C_ERR_ADDRESS;
  }
  if (!masterTx_) {
    log_.write(1, "I2C Link: SYSTEM FAILURE - Null lpvMasterTxBuf Pointer Detected.");
    return I2C_ERR_SYSTEM;
  }
  const bool last = txStop_ && txRemaining_ <= kBlockSize;
  CommandFrame& frame = nextFrame();
  if (further) {
    frame.put(0x12);
    frame.put(last ? 1 : 0);
  } else {
    frame.put(!txStop_ && firmwareAtLeast200() ? 0x15 : 0x11);
    frame.put(static_cast<std::uint8_t>(address | (last ? 1 : 0)));
  }
  const std::size_t block = std::min(txRemaining_, kBlockSize);
  frame.put(masterTx_.data() + *txRead_, block);
  if (!send(frame)) {
    log_.write(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted.");
    return I2C_ERR_FRAME_TX;
  }
  *txRead_ += block;
  txRemaining_ -= block;
  txLastBlock_ = block;
  rec_.MasterStatus = I2C_MASTER_BUSY;
  log_.write(1, "I2C Link: I2CMasterTxx() Accepted.");
  return I2C_OK;
}

// The first checks of both receive requests, in the order and with the levels they share.
std::uint32_t I2CLink::checkMasterReceiveReady() {
  if (rec_.MasterStatus == I2C_MASTER_BUSY) {
    log_.write(1, "I2C Link: WARNING - Link Operation in Progress.");
    return I2C_ERR_BUSY;
  }
  if (slaveBusy()) {
    log_.write(2, "Data Link: WARNING - Slave Operation in Progress.");
    return I2C_ERR_BUSY;
  }
  rec_.MasterStatus = I2C_MASTER_IDLE;
  if (!linkOpen_) {
    log_.write(1, "I2C Link: FAILURE - I2C Link NOT Open.");
    return I2C_ERR_NOT_OPEN;
  }
  return I2C_OK;
}

std::uint32_t I2CLink::checkMasterRxStart(std::uint8_t address, std::uint8_t stop) {
  if (const std::uint32_t refused = checkMasterReceiveReady()) {
    return refused;
  }
  if (address == 0) {
    log_.write(1, "I2C Link: FAILURE - Master Read to General Call I2C Slave Address NOT Allowed.");
    return I2C_ERR_ADDRESS;
  }
  if (address != I2C_CONTINUE_ADDRESS && (address & 1) != 0) {
    log_.write(1, "I2C Link: FAILURE - Destination I2C Slave Address NOT Even (%d).",
               static_cast<int>(address));
    return I2C_ERR_ADDRESS;
  }
  if (address == I2C_CONTINUE_ADDRESS && !rxStarted_) {
    log_.write(1, "I2C Link: FAILURE - No Previous I2C Message to Continue.");
    return I2C_ERR_ADDRESS;
  }
  if (address == I2C_CONTINUE_ADDRESS && lastKind_ != MasterKind::RxNoStop) {
    log_.write(1, "I2C Link: FAILURE - No Previous Master Rx to Continue.");
    return I2C_ERR_ADDRESS;
  }
  lastKind_ = stop != 0 ? MasterKind::RxStop : MasterKind::RxNoStop;
  return I2C_OK;
}

std::uint32_t I2CLink::checkRxLength(std::uint32_t length, const char* tooLongFormat) {
  if (length > rec_.MasterRxBufSize) {
    log_.write(1, tooLongFormat, static_cast<int>(length), static_cast<int>(rec_.MasterRxBufSize));
    return I2C_ERR_LENGTH;
  }
  if (length > kMaxWireLength) {
    log_.write(1, "I2C Link: FAILURE - Rx Msg Length Argument (%d) > Maximum (65535).",
               static_cast<int>(length));
    return I2C_ERR_LENGTH;
  }
  if (!masterRx_) {
    log_.write(1, "I2C Link: SYSTEM FAILURE - Null lpvMasterRxBuf Pointer Detected.");
    return I2C_ERR_SYSTEM;
  }
  return I2C_OK;
}

void I2CLink::beginMasterRx(std::uint32_t expected) {
  rxStarted_ = true;
  rxFill_ = 0;
  rxExpected_ = expected;
  rec_.MasterRxMsgSize = 0;
  rec_.MasterRxMsgPresent = 0;
}

std::uint32_t I2CLink::masterRx(std::uint32_t address, std::uint32_t length, std::uint32_t stop) {
  const std::uint8_t addr = low(address);
  log_.write(1, "I2C Link: I2CMasterRx(%#X, %u, %u).", unsigned{addr}, length, unsigned{low(stop)});
  if (const std::uint32_t refused = checkMasterRxStart(addr, low(stop))) {
    return refused;
  }
  if (length == 0) {
    log_.write(1, "I2C Link: WARNING - Zero Length Argument Detected.");
    return I2C_ERR_LENGTH;
  }
  if (const std::uint32_t refused = checkRxLength(
          length, "I2C Link: FAILURE - Msg Length Argument (%d) > MasterRxBufSize (%d).")) {
    return refused;
  }
  beginMasterRx(length);
  CommandFrame& frame = nextFrame();
  const std::uint8_t head[] = {0x21, addr, high(length), low(length), low(stop)};
  frame.put(head, sizeof head);
  if (!send(frame)) {
    log_.write(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted.");
    return I2C_ERR_FRAME_TX;
  }
  rec_.MasterStatus = I2C_MASTER_BUSY;
  log_.write(1, "I2C Link: I2CMasterRx() Accepted.");
  return I2C_OK;
}

std::uint32_t I2CLink::masterRxExt(std::uint32_t address, std::uint32_t length, std::uint32_t nack,
                                   std::uint32_t stop) {
  const std::uint8_t addr = low(address);
  const std::uint8_t nackFlag = low(nack);
  const std::uint8_t stopFlag = low(stop);
  log_.write(1, "I2C Link: I2CMasterRxExt(%#X, %u, %u, %u).", unsigned{addr}, length,
             unsigned{nackFlag}, unsigned{stopFlag});
  if (const std::uint32_t refused = checkMasterRxStart(addr, stopFlag)) {
    return refused;
  }
  if (nackFlag == 0 && stopFlag != 0) {
    log_.write(1, "I2C Link: WARNING - Invalid Nack/Stop Combination.");
    return I2C_ERR_NACK_STOP;
  }
  if (nackFlag != 0 && stopFlag == 0 && !firmwareAtLeast200()) {
    log_.write(1, "I2C Link: WARNING - Unsupported Nack/Stop Combination.");
    log_.write(1, "I2C Link: WARNING - Requires Vantor Firmware V2.00+.");
    return I2C_ERR_FIRMWARE;
  }
  if (const std::uint32_t refused = checkRxLength(
          length, "I2C Link: FAILURE - Msg Length Argument (%d) > MasterRxBufSize (%d).")) {
    return refused;
  }
  beginMasterRx(length);
  CommandFrame& frame = nextFrame();
  frame.put(firmwareAtLeast200() ? 0x23 : 0x21);
  frame.put(addr);
  frame.put(high(length));
  frame.put(low(length));
  if (firmwareAtLeast200()) {
    frame.put(nackFlag);
  }
  frame.put(stopFlag);
  if (!send(frame)) {
    log_.write(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted.");
    return I2C_ERR_FRAME_TX;
  }
  rec_.MasterStatus = I2C_MASTER_BUSY;
  log_.write(1, "I2C Link: I2CMasterRxExt() Accepted.");
  return I2C_OK;
}

std::uint32_t I2CLink::masterTxRx(std::uint32_t address, const void* txData, std::uint32_t txLength,
                                  std::uint32_t rxLength, std::uint32_t stop) {
  const std::uint8_t addr = low(address);
  const bool stopFlag = low(stop) != 0;
  log_.write(1, "I2C Link: I2CMasterTxRx(%#X, %Lp, %u, %u, %u).", unsigned{addr}, txData, txLength,
             rxLength, unsigned{low(stop)});
  if (!firmwareAtLeast200()) {
    log_.write(1, "I2C Link: WARNING - Unsupported Feature.");
    log_.write(1, "I2C Link: WARNING - Requires Vantor Firmware V2.00+.");
    return I2C_ERR_FIRMWARE;
  }
  if (const std::uint32_t refused = checkMasterReceiveReady()) {
    return refused;
  }
  if (addr == 0) {
    log_.write(1, "I2C Link: FAILURE - Master Read to General Call I2C Slave Address NOT Allowed.");
    return I2C_ERR_ADDRESS;
  }
  if (addr == I2C_CONTINUE_ADDRESS) {
    log_.write(1, "I2C Link: FAILURE - Continue Address Not Supported.");
    return I2C_ERR_ADDRESS;
  }
  if ((addr & 1) != 0) {
    log_.write(1, "I2C Link: FAILURE - Destination I2C Slave Address NOT Even (%d).",
               static_cast<int>(addr));
    return I2C_ERR_ADDRESS;
  }
  lastKind_ = MasterKind::None;
  if (txLength == 0) {
    log_.write(1, "I2C Link: WARNING - Zero Length Argument Detected.");
    return I2C_ERR_LENGTH;
  }
  if (txLength > kMaxTxRxTransmit) {
    log_.write(1, "I2C Link: FAILURE - Tx Msg Length Argument (%d) > Maximun (12).",
               static_cast<int>(txLength));
    return I2C_ERR_LENGTH;
  }
  if (rxLength > rec_.MasterRxBufSize) {
    log_.write(1, "I2C Link: FAILURE - Rx Msg Length Argument (%d) > MasterRxBufSize (%d).",
               static_cast<int>(rxLength), static_cast<int>(rec_.MasterRxBufSize));
    return I2C_ERR_LENGTH;
  }
  if (txData == nullptr) {
    log_.write(1, "I2C Link: FAILURE - Null Data Buffer Pointer Argument Detected.");
    return I2C_ERR_NULL_POINTER;
  }
  if (const std::uint32_t refused = checkRxLength(
          rxLength, "I2C Link: FAILURE - Rx Msg Length Argument (%d) > MasterRxBufSize (%d).")) {
    return refused;
  }
  beginMasterRx(rxLength);
  CommandFrame& frame = nextFrame();
  frame.put(stopFlag ? 0x24 : 0x25);
  frame.put(static_cast<std::uint8_t>(addr | (stopFlag ? 1 : 0)));
  frame.put(high(rxLength));
  frame.put(low(rxLength));
  frame.put(static_cast<const std::uint8_t*>(txData), txLength);
  if (!send(frame)) {
    log_.write(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted.");
    return I2C_ERR_FRAME_TX;
  }
  rec_.MasterStatus = I2C_MASTER_BUSY;
  log_.write(1, "I2C Link: I2CMasterTxRx() Accepted.");
  return I2C_OK;
}

}  // namespace vtlink
