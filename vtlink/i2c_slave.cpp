// The slave side: transmit data for the adapter, its own address and general-call setting.

#include <algorithm>
#include <cstring>

#include "vtlink/i2c_link.h"

namespace vtlink {

namespace {
constexpr std::size_t kBlockSize = 16;
}

std::uint32_t I2CLink::slaveTx(const void* data, std::uint32_t length) {
  log_.write(1, "I2C Link: I2CSlaveTx(%Lp, %u).", data, length);
  if (!linkOpen_) {
    rec_.MasterStatus = I2C_MASTER_IDLE;
    log_.write(2, "I2C Link: WARNING - Link NOT Open.");
    return I2C_ERR_NOT_OPEN;
  }
  if (slaveTxRead_) {
    log_.write(1, "I2C Link: WARNING - Slave Tx Buffer Busy.");
    return I2C_ERR_BUSY;
  }
  if (data == nullptr) {
    log_.write(1, "I2C Link: FAILURE - Null Data Buffer Pointer Argument Detected.");
    return I2C_ERR_NULL_POINTER;
  }
  if (length == 0) {
    log_.write(1, "I2C Link: FAILURE - Zero Msg Length Argument.");
    return I2C_ERR_LENGTH;
  }
  if (length > rec_.SlaveTxBufSize) {
    log_.write(1, "I2C Link: FAILURE - Msg Length Argument (%d) > SlaveTxBufSize (%d).",
               static_cast<int>(length), static_cast<int>(rec_.SlaveTxBufSize));
    return I2C_ERR_LENGTH;
  }
  if (!slaveTx_) {
    log_.write(1, "I2C Link: SYSTEM FAILURE - Null lpvSlaveTxBuf Pointer Detected.");
    return I2C_ERR_SYSTEM;
  }
  std::memcpy(slaveTx_.data(), data, length);
  slaveTxRead_ = 0;
  slaveTxRemaining_ = length;
  rec_.SlaveTxMsgReq = 0;
  if (rec_.SlaveStatus == I2C_EV_SLAVE_TX_REQUEST) {
    if (const std::uint32_t refused = sendSlaveTxBlock()) {
      return refused;
    }
  }
  log_.write(1, "I2C Link: I2CSlaveTx() Complete.");
  return I2C_OK;
}

std::uint32_t I2CLink::sendSlaveTxBlock() {
  log_.write(1, "I2C Link: I2CSlaveTxMsg().");
  if (!slaveTx_) {
    log_.write(1, "I2C Link: SYSTEM FAILURE - Null lpvSlaveTxBuf Pointer Detected.");
    return I2C_ERR_SYSTEM;
  }
  const std::size_t block = slaveTxRead_ ? std::min(slaveTxRemaining_, kBlockSize) : 0;
  CommandFrame& frame = nextFrame();
  frame.put(0x43);
  if (block > 0) {
    frame.put(slaveTx_.data() + *slaveTxRead_, block);
  }
  if (!send(frame)) {
    log_.write(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted.");
    return I2C_ERR_FRAME_TX;
  }
  if (slaveTxRead_) {
    *slaveTxRead_ += block;
    slaveTxRemaining_ -= block;
    if (slaveTxRemaining_ == 0) {
      slaveTxRead_.reset();
    }
  }
  rec_.SlaveStatus = I2C_SLAVE_IDLE;
  log_.write(1, "I2C Link: I2CSlaveTxMsg() Complete.");
  return I2C_OK;
}

void I2CLink::serveSlaveRequest() {
  const bool freshData = slaveTxRead_ && *slaveTxRead_ == 0;
  const bool more = slaveRequest_ == SlaveRequest::More;
  slaveRequest_ = SlaveRequest::None;
  if (freshData || more) {
    if (sendSlaveTxBlock() != I2C_OK) {
      rec_.MasterStatus = I2C_EV_FRAME_TX_FAILED;
      raise(I2C_EV_FRAME_TX_FAILED);
    }
    return;
  }
  log_.write(2, "I2C Link: NOTICE - Slave Tx Notification.");
  slaveTxRead_.reset();
  rec_.SlaveTxMsgReq = 1;
  rec_.SlaveStatus = I2C_EV_SLAVE_TX_REQUEST;
  raise(I2C_EV_SLAVE_TX_REQUEST);
}

std::uint32_t I2CLink::checkSlaveSettingChange() {
  if (!linkOpen_) {
    rec_.MasterStatus = I2C_MASTER_IDLE;
    log_.write(2, "I2C Link: WARNING - Link NOT Open.");
    return I2C_ERR_NOT_OPEN;
  }
  if (rec_.MasterStatus == I2C_MASTER_BUSY) {
    log_.write(2, "I2C Link: WARNING - Link Operation in Progress.");
    return I2C_ERR_BUSY;
  }
  if (slaveBusy()) {
    log_.write(2, "Data Link: WARNING - Slave Operation in Progress.");
    return I2C_ERR_BUSY;
  }
  return I2C_OK;
}

// Both settings travel as a two-byte command frame and hold the master side until the adapter
// confirms them.
std::uint32_t I2CLink::sendSlaveSetting(std::uint8_t type, std::uint8_t value) {
  CommandFrame& frame = nextFrame();
  frame.put(type);
  frame.put(value);
  if (!send(frame)) {
    log_.write(1, "I2C Link: FAILURE - Command Frame Tx Not Accepted.");
    return I2C_ERR_FRAME_TX;
  }
  rec_.MasterStatus = I2C_MASTER_BUSY;
  rec_.SlaveStatus = I2C_SLAVE_IDLE;
  return I2C_OK;
}

std::uint32_t I2CLink::changeSlaveAddress(std::uint8_t address) {
  log_.write(1, "I2C Link: I2CChangeSlaveAddress(%#X).", unsigned{address});
  if (const std::uint32_t refused = checkSlaveSettingChange()) {
    return refused;
  }
  if (address == 0 || (address & 1) != 0) {
    log_.write(1, "I2C Link: FAILURE - Invalid Host Adapter I2C Slave Address (%d).",
               static_cast<int>(address));
    rec_.MasterStatus = I2C_MASTER_IDLE;
    return I2C_ERR_ADDRESS;
  }
  if (const std::uint32_t refused = sendSlaveSetting(0x61, address)) {
    return refused;
  }
  rec_.HostSlaveAddr = address;
  log_.write(1, "I2C Link: I2CChangeSlaveAddress() Accepted.");
  return I2C_OK;
}

std::uint32_t I2CLink::changeSlaveGCEnable(std::uint8_t enable) {
  log_.write(1, "I2C Link: I2CChangeSlaveGCEnable(%s).", enable != 0 ? "ENABLE" : "DISABLE");
  if (const std::uint32_t refused = checkSlaveSettingChange()) {
    return refused;
  }
  if (const std::uint32_t refused = sendSlaveSetting(0x71, enable)) {
    return refused;
  }
  rec_.SlaveRxGCEnable = enable;
  log_.write(1, "I2C Link: I2CChangeSlaveGCEnable() Accepted.");
  return I2C_OK;
}

}  // namespace vtlink
