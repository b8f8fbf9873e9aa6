// What the data link reports: the open handshake, failures, and the adapter's frames.

#include <algorithm>
#include <cstring>

#include "vtlink/i2c_link.h"

namespace vtlink {

namespace {

// The link open frame carries these as 16 bits; a larger value is sent as the largest the
// adapter can be told rather than as its low half.
std::uint16_t wire16(std::uint32_t value) {
  return static_cast<std::uint16_t>(std::min<std::uint32_t>(value, 0xFFFF));
}

}  // namespace

bool I2CLink::sendLinkOpen() {
  const std::uint16_t timeout = wire16(rec_.BusTimeOut);
  const std::uint16_t slaveRx = wire16(rec_.SlaveRxBufSize);
  CommandFrame& frame = nextFrame();
  const std::uint8_t bytes[] = {0x01,
                                rec_.HostSlaveAddr,
                                static_cast<std::uint8_t>(timeout >> 8),
                                static_cast<std::uint8_t>(timeout),
                                rec_.MasterBitRate,
                                rec_.SlaveRxGCEnable,
                                rec_.LogFileLevel,
                                static_cast<std::uint8_t>(slaveRx >> 8),
                                static_cast<std::uint8_t>(slaveRx)};
  frame.put(bytes, sizeof bytes);
  return send(frame);
}

void I2CLink::onDataLinkEvent(std::uint32_t event) {
  switch (event) {
    case dl::kConnected:
      log_.write(1, "I2C Link: Sending I2C Link Open Frame.\n");
      if (!sendLinkOpen()) {
        log_.write(1, "I2C Link: FAILURE - Data Frame Tx Not Accepted.");
        data_.close();
        rec_.MasterStatus = I2C_EV_NOT_RESPONDING;
        const std::uint64_t session = session_;
        raise(I2C_EV_NOT_RESPONDING);
        if (session == session_) {
          releaseLink();
        }
      }
      return;
    case dl::kOpenFailed:
    case dl::kNotResponding:
    case dl::kFrameNotAcked: {
      log_.write(1, "I2C Link: FAILURE - Host Adapter Not Responding.");
      rec_.MasterStatus = I2C_EV_NOT_RESPONDING;
      const std::uint64_t session = session_;
      raise(I2C_EV_NOT_RESPONDING);
      // The application may have closed the link from its callback already.
      if (session == session_) {
        shutDown();
      }
      return;
    }
    case dl::kFrameAcked:
      return;
    case dl::kFrameReceived: {
      std::uint8_t frame[dl::kMaxPayload];
      const std::size_t length = data_.fetchFrame(sizeof frame, frame);
      if (length == 0) {
        return;
      }
      const std::uint64_t session = session_;
      handleAdapterFrame(frame, length);
      // A request that came while the master side was busy is served once that operation
      // has ended, whichever way it ended.
      if (session == session_ && slaveRequest_ != SlaveRequest::None &&
          rec_.MasterStatus != I2C_MASTER_BUSY) {
        serveSlaveRequest();
      }
      return;
    }
    default:
      log_.write(1, "I2C Link: Undefined Data Link Event Code [%#X].", event);
  }
}

void I2CLink::acknowledge() {
  data_.acknowledgeFrame();
}

void I2CLink::endMaster(std::uint32_t event) {
  rec_.MasterStatus = event;
  raise(event);
}

void I2CLink::handleAdapterFrame(const std::uint8_t* frame, std::size_t length) {
  switch (frame[0]) {
    case 0x02: {
      acknowledge();
      linkOpen_ = true;
      opening_ = false;
      const unsigned version = length >= 3 ? frame[1] * 256u + frame[2] : 0;
      rec_.FirmwareVersion = version;
      rec_.MasterStatus = I2C_EV_OPEN_COMPLETE;
      log_.write(1, "I2C Link: Vantor Firmware Ver %2d.%02.2d.", static_cast<int>(version / 100),
                 static_cast<int>(version % 100));
      log_.write(1, "I2C Link: Connection Established, Open Complete.");
      raise(I2C_EV_OPEN_COMPLETE);
      return;
    }
    case 0x13:
      onMasterTxRequest(frame, length);
      return;
    case 0x14:
      log_.write(1, "I2C Link: Master Tx Complete.");
      acknowledge();
      onMasterTxComplete(frame, length);
      return;
    case 0x22:
      onMasterRxData(frame, length);
      return;
    case 0x31:
    case 0x32:
      onSlaveRxData(frame, length);
      return;
    case 0x41:
      acknowledge();
      log_.write(2, "I2C Link: Slave Tx Start Request Received.");
      onSlaveTxRequest(SlaveRequest::Start);
      return;
    case 0x42:
      acknowledge();
      log_.write(2, "I2C Link: Slave Tx More Request Received.");
      onSlaveTxRequest(SlaveRequest::More);
      return;
    case 0x62:
      log_.write(1, "I2C Link: Slave Change Address Complete.");
      acknowledge();
      rec_.MasterStatus = I2C_MASTER_IDLE;
      rec_.SlaveStatus = I2C_EV_SLAVE_ADDRESS_CHANGED;
      raise(I2C_EV_SLAVE_ADDRESS_CHANGED);
      return;
    case 0x72:
      log_.write(1, "I2C Link: Change Slave Gen. Call Enable Complete.");
      acknowledge();
      rec_.MasterStatus = I2C_MASTER_IDLE;
      rec_.SlaveStatus = I2C_EV_SLAVE_GC_CHANGED;
      raise(I2C_EV_SLAVE_GC_CHANGED);
      return;
    case 0x81:
      log_.write(1, "I2C Link: Host Adapter Busy, Master Tx/Rx Msg Not Accepted.");
      acknowledge();
      endMaster(I2C_EV_ADAPTER_BUSY);
      return;
    case 0x82:
      log_.write(2, "I2C Link: Addressed Slave Not Aknowledging.");
      acknowledge();
      endMaster(I2C_EV_SLAVE_NACK);
      return;
    case 0x83:
      log_.write(2, "I2C Link: Bus Abritration Loss Detected.");
      acknowledge();
      endMaster(I2C_EV_ARBITRATION_LOST);
      return;
    case 0x84:
      log_.write(1, "I2C Link: Bus Error Detected.");
      acknowledge();
      endMaster(I2C_EV_BUS_ERROR);
      return;
    case 0x85:
      log_.write(2, "I2C Link: Bus Aquisition/Byte Transfer Timeout Detected.");
      acknowledge();
      endMaster(I2C_EV_BUS_TIMEOUT);
      return;
    case 0x86:
      log_.write(1, "Vantor Log: %.*s.", static_cast<int>(length - 1),
                 reinterpret_cast<const char*>(frame + 1));
      acknowledge();
      return;
    default:
      log_.write(1, "I2C Link: WARNING - Unknown Frame Type Received (%#X).", unsigned{frame[0]});
  }
}

void I2CLink::onMasterTxRequest(const std::uint8_t* frame, std::size_t length) {
  log_.write(2, "I2C Link: Master Tx Request Received.");
  rec_.MasterTxByteCount += static_cast<std::uint32_t>(txLastBlock_);
  if (txRead_ && txRemaining_ > 0) {
    acknowledge();
    if (sendMasterTxBlock(I2C_CONTINUE_ADDRESS) != I2C_OK) {
      txRead_.reset();
      endMaster(I2C_EV_FRAME_TX_FAILED);
    }
    return;
  }
  log_.write(2, "I2C Link: Master Tx Buffer Empty, Converting to Master Tx Complete.");
  acknowledge();
  onMasterTxComplete(frame, length);
}

void I2CLink::onMasterTxComplete(const std::uint8_t* frame, std::size_t length) {
  txRead_.reset();
  rec_.MasterTxByteCount += length >= 2 ? frame[1] : 0;
  endMaster(I2C_EV_MASTER_TX_COMPLETE);
}

void I2CLink::onMasterRxData(const std::uint8_t* frame, std::size_t length) {
  acknowledge();
  const std::uint8_t* data = frame + 1;
  const std::size_t count = length - 1;
  log_.write(2, "I2C Link: Master Rx Data Received.");
  log_.write(3, "I2C Link: Rx Data = \"%s\".", dataDump(data, count).c_str());
  if (!rxStarted_ || !masterRx_) {
    return;
  }
  const std::size_t stored = std::min(count, masterRx_.size() - rxFill_);
  std::memcpy(masterRx_.data() + rxFill_, data, stored);
  if (stored < count) {
    log_.write(1, "I2C Link: WARNING - Trimming Excess Master Rx Data.");
  }
  rxFill_ += stored;
  rec_.MasterRxMsgSize += static_cast<std::uint32_t>(stored);
  if (rxExpected_ == 0 && count > 0) {
    rxExpected_ = data[0] + 1u;
  }
  if (rxExpected_ != 0 && rec_.MasterRxMsgPresent == 0 && rec_.MasterRxMsgSize >= rxExpected_) {
    rec_.MasterRxMsgPresent = 1;
    endMaster(I2C_EV_MASTER_RX_COMPLETE);
  }
}

void I2CLink::onSlaveRxData(const std::uint8_t* frame, std::size_t length) {
  // Left unacknowledged, the adapter repeats the frame later: slave data waits there until
  // the application has fetched the message before it.
  if (rec_.SlaveRxMsgPresent == 1) {
    return;
  }
  acknowledge();
  const bool last = frame[0] == 0x32;
  log_.write(2, last ? "I2C Link: Slave Rx Last Received." : "I2C Link: Slave Rx Data Received.");
  log_.write(3, "I2C Link: Rx Data = \"%s\".", dataDump(frame + 1, length - 1).c_str());
  const std::uint8_t flag = length >= 2 ? frame[1] : 0;
  const std::uint8_t* data = frame + 2;
  const std::size_t count = length >= 2 ? length - 2 : 0;
  if (slaveRx_) {
    const std::size_t stored = std::min(count, slaveRx_.size() - slaveRxFill_);
    std::memcpy(slaveRx_.data() + slaveRxFill_, data, stored);
    if (stored < count) {
      log_.write(1, "I2C Link: WARNING - Trimming Excess Slave Rx Data.");
    }
    slaveRxFill_ += stored;
    rec_.SlaveRxMsgSize += static_cast<std::uint32_t>(stored);
  }
  if (last) {
    rec_.SlaveRxGCDetect = flag;
    rec_.SlaveRxMsgPresent = 1;
    rec_.SlaveStatus = I2C_EV_SLAVE_RX_COMPLETE;
    raise(I2C_EV_SLAVE_RX_COMPLETE);
  }
}

void I2CLink::onSlaveTxRequest(SlaveRequest request) {
  slaveRequest_ = request;
  if (rec_.MasterStatus == I2C_MASTER_BUSY) {
    log_.write(2, "I2C Link: WARNING - Master Operation in Progress.");
    log_.write(2, "I2C Link: NOTICE - Slave Tx Notification Deferred.");
    return;
  }
  serveSlaveRequest();
}

}  // namespace vtlink
