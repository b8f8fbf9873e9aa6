// Opening and closing the link, the status record, the two fetches and event notification.

#include "vtlink/i2c_link.h"

#include <algorithm>
#include <cstring>
#include <functional>

#include "platform/vtloop.h"

namespace vtlink {

namespace {

constexpr const char* kLogTitle = "Orrin Vantor Win32 DLL Log File";
constexpr std::uint32_t kMinBufferSize = 512;

bool validWindowMessage(std::uint32_t number) {
  return number <= 1 || (number >= 1024 && number <= 65530);
}

}  // namespace

void I2CLink::CommandFrame::put(const std::uint8_t* data, std::size_t n) {
  std::memcpy(bytes.data() + size, data, n);
  size += n;
}

I2CLink::I2CLink() : log_(log()), comm_(log_), data_(log_, comm_) {
  rec_.MasterStatus = I2C_MASTER_IDLE;
  rec_.SlaveStatus = I2C_SLAVE_NEVER_OPENED;
  rec_.DllVersion = I2C_DLL_VERSION;
  rec_.ApiVersion = I2C_API_VERSION;
}

I2CLink::~I2CLink() {
  if (linkOpen_ || opening_) {
    close();
  }
}

std::uint32_t I2CLink::open(std::uint32_t window, std::uint32_t instance,
                            const I2CLinkRecord* record) {
  log_.write(1, "I2C Link: I2COpen(%u, %u, %Lp).", window, instance,
             static_cast<const void*>(record));
  if (rec_.MasterStatus == I2C_MASTER_BUSY) {
    log_.write(2, "Data Link: WARNING - Master Operation in Progress.");
    return I2C_ERR_IN_PROGRESS;
  }
  if (slaveRequest_ != SlaveRequest::None) {
    log_.write(2, "Data Link: WARNING - Slave Operation in Progress.");
    return I2C_ERR_IN_PROGRESS;
  }
  if (linkOpen_) {
    rec_.MasterStatus = I2C_MASTER_IDLE;
    log_.write(2, "I2C Link: WARNING - Link Already Open.");
    return I2C_ERR_ALREADY_OPEN;
  }
  if (record == nullptr) {
    log_.write(1, "I2C Link: WARNING - Null Pointer Argument Detected.");
    return I2C_ERR_NULL_POINTER;
  }

  std::memcpy(&rec_, record, sizeof rec_);
  rec_.MasterStatus = I2C_MASTER_BUSY;
  rec_.SlaveStatus = I2C_SLAVE_IDLE;
  rec_.MasterTxByteCount = 0;
  rec_.MasterRxMsgPresent = 0;
  rec_.MasterRxMsgSize = 0;
  rec_.SlaveTxMsgReq = 0;
  rec_.SlaveRxMsgPresent = 0;
  rec_.SlaveRxMsgSize = 0;
  rec_.SlaveRxGCDetect = 0;
  rec_.DllVersion = I2C_DLL_VERSION;
  rec_.ApiVersion = I2C_API_VERSION;
  rec_.FirmwareVersion = 0;

  const char* logName = rec_.LogFileName;
  if (logName != nullptr && logName[0] != '\0' && rec_.LogFileLevel != 0) {
    if (!log_.open(logName, rec_.LogFileLevel, static_cast<int>(rec_.LogFileSize), kLogTitle)) {
      return failOpen(I2C_ERR_LOG_FILE);
    }
    log_.write(1, "I2C Link: I2COpen(%#X, %#X, %Lp).", window, instance,
               static_cast<const void*>(record));
  }
  log_.write(1, "I2C Link: API Ver %d, DLL Ver %2d.%02.2d.", static_cast<int>(rec_.ApiVersion),
             static_cast<int>(rec_.DllVersion / 100), static_cast<int>(rec_.DllVersion % 100));

  if (rec_.ComPortNo == 0) {
    log_.write(1, "I2C Link: FAILURE - Invalid Port No. = %d.", 0);
    return failOpen(I2C_ERR_PORT_NO);
  }
  log_.write(1, "I2C Link: Using Com Port No. (%d).", static_cast<int>(rec_.ComPortNo));

  const std::uint32_t msgNo = rec_.WmMsgNo;
  if (!validWindowMessage(msgNo)) {
    log_.write(1, "I2C Link: FAILURE - Invalid Windows Msg Number (%d).", static_cast<int>(msgNo));
    return failOpen(I2C_ERR_WM_MSG_NO);
  }
  if (msgNo != 0) {
    log_.write(1, "I2C Link: Using WmMsgNo = (%d).", static_cast<int>(msgNo));
  } else if (rec_.CallBackFunc != nullptr) {
    log_.write(1, "I2C Link: Using CallBack Function.");
  } else {
    log_.write(1, "I2C Link: NOTICE - No App Msg or CallBack Specified.");
  }

  const unsigned hostAddress = rec_.HostSlaveAddr;
  if (hostAddress == 0 || (hostAddress & 1) != 0) {
    log_.write(1, "I2C Link: FAILURE - Invalid Host Adapter I2C Slave Address (%d).",
               static_cast<int>(hostAddress));
    return failOpen(I2C_ERR_ADDRESS);
  }
  log_.write(1, "I2C Link: Using HostSlaveAddr = (%#X).", hostAddress);
  log_.write(1, "I2C Link: Using BusTimeOut = (%d) Msec.", static_cast<int>(rec_.BusTimeOut));

  if (rec_.MasterBitRate != 1 && rec_.MasterBitRate != 2) {
    log_.write(1, "I2C Link: FAILURE - Invalid I2C Bit Rate (%d).",
               static_cast<int>(rec_.MasterBitRate));
    return failOpen(I2C_ERR_BIT_RATE);
  }
  log_.write(1, "I2C Link: Using I2C MasterBitRate = (%d).", static_cast<int>(rec_.MasterBitRate));

  if (const std::uint32_t refused = allocateBuffers()) {
    return failOpen(refused);
  }
  slaveTxRead_.reset();
  slaveTxRemaining_ = 0;
  slaveRequest_ = SlaveRequest::None;
  lastKind_ = MasterKind::None;
  window_ = window;
  instance_ = instance;

  if (data_.open(window, rec_.ComPortNo, "19200",
                 [this](std::uint32_t event) { onDataLinkEvent(event); }) != 0) {
    log_.write(1, "I2C Link: FAILURE - Data Link Open Not Accepted.");
    return failOpen(I2C_ERR_DATA_LINK_OPEN);
  }
  opening_ = true;
  log_.write(1, "I2C Link: I2COpen() Accepted.");
  return I2C_OK;
}

// The four buffers at their sizes (small ones raised to the defaults), with the arbitration
// retry and general-call lines between them where the log has always shown them.
std::uint32_t I2CLink::allocateBuffers() {
  if (rec_.MasterRxBufSize < kMinBufferSize) {
    log_.write(2, "I2C Link: NOTICE - Using Default MasterRxBufSize.");
    rec_.MasterRxBufSize = kMinBufferSize;
  }
  log_.write(1, "I2C Link: Using MasterRxBufSize = (%d).", static_cast<int>(rec_.MasterRxBufSize));
  if (!masterRx_.allocate(rec_.MasterRxBufSize)) {
    log_.write(1, "I2C Link: FAILURE - Unable to allocate Master Rx Buffer.");
    return I2C_ERR_ALLOCATION;
  }
  rxStarted_ = false;
  rxFill_ = 0;
  rxExpected_ = 0;

  if (rec_.MasterTxBufSize < kMinBufferSize) {
    log_.write(2, "I2C Link: NOTICE - Using Default MasterTxBufSize.");
    rec_.MasterTxBufSize = kMinBufferSize;
  }
  log_.write(1, "I2C Link: Using MasterTxBufSize = (%d).", static_cast<int>(rec_.MasterTxBufSize));
  if (!masterTx_.allocate(rec_.MasterTxBufSize)) {
    log_.write(1, "I2C Link: FAILURE - Unable to allocate Master Tx Buffer.");
    return I2C_ERR_ALLOCATION;
  }
  txRead_.reset();
  txRemaining_ = 0;
  txLastBlock_ = 0;

  log_.write(1, "I2C Link: Using MasterArbRetry = (%d).", static_cast<int>(rec_.MasterArbRetry));
  if (rec_.MasterArbRetry != 0) {
    log_.write(1, "I2C Link: NOTICE - Arbitration Retry Not Implemented.");
  }
  rec_.MasterArbRetry = 0;
  log_.write(1, "I2C Link: Using SlaveRxGCEnable = (%d).", static_cast<int>(rec_.SlaveRxGCEnable));

  if (rec_.SlaveRxBufSize == 0) {
    log_.write(2, "I2C Link: NOTICE - Using Default SlaveRxBufSize.");
    rec_.SlaveRxBufSize = 1;
  }
  log_.write(1, "I2C Link: Using SlaveRxBufSize = (%d).", static_cast<int>(rec_.SlaveRxBufSize));
  if (!slaveRx_.allocate(rec_.SlaveRxBufSize)) {
    log_.write(1, "I2C Link: FAILURE - Unable to allocate Slave Rx Buffer.");
    return I2C_ERR_ALLOCATION;
  }
  slaveRxFill_ = 0;

  if (rec_.SlaveTxBufSize < kMinBufferSize) {
    log_.write(2, "I2C Link: NOTICE - Using Default SlaveTxBufSize.");
    rec_.SlaveTxBufSize = kMinBufferSize;
  }
  log_.write(1, "I2C Link: Using SlaveTxBufSize = (%d).", static_cast<int>(rec_.SlaveTxBufSize));
  if (!slaveTx_.allocate(rec_.SlaveTxBufSize)) {
    log_.write(1, "I2C Link: FAILURE - Unable to allocate Slave Tx Buffer.");
    return I2C_ERR_ALLOCATION;
  }

  return I2C_OK;
}

std::uint32_t I2CLink::failOpen(std::uint32_t code) {
  releaseBuffers();
  log_.close();
  rec_.MasterStatus = I2C_MASTER_IDLE;
  return code;
}

std::uint32_t I2CLink::close() {
  log_.write(1, "I2C Link: I2CClose().\n");
  releaseBuffers();
  if (!linkOpen_) {
    rec_.MasterStatus = I2C_MASTER_IDLE;
    log_.write(2, "I2C Link: WARNING - Link NOT Open.");
    if (opening_) {
      // The handshake is abandoned: a late link open reply must find no data link to arrive
      // through, rather than a link without buffers.
      shutDown();
    }
    return I2C_ERR_NOT_OPEN;
  }
  CommandFrame& frame = nextFrame();
  frame.put(0x51);
  send(frame);
  data_.close();
  log_.write(1, "I2C Link: I2CClose() Successful.");
  log_.close();
  rec_.MasterStatus = I2C_MASTER_IDLE;
  slaveRequest_ = SlaveRequest::None;
  linkOpen_ = false;
  opening_ = false;
  ++session_;
  return I2C_OK;
}

void I2CLink::shutDown() {
  data_.close();
  releaseLink();
}

void I2CLink::releaseLink() {
  releaseBuffers();
  log_.close();
  slaveRequest_ = SlaveRequest::None;
  linkOpen_ = false;
  opening_ = false;
  ++session_;
}

void I2CLink::releaseBuffers() {
  masterRx_.release();
  masterTx_.release();
  slaveRx_.release();
  slaveTx_.release();
}

std::uint32_t I2CLink::getStatus(I2CLinkRecord* out) {
  log_.write(1, "I2C Link: I2CGetStatus(%Lp).", static_cast<const void*>(out));
  if (out == nullptr) {
    log_.write(1, "I2C Link: WARNING - Null Pointer Argument Detected.");
    return I2C_ERR_NULL_POINTER;
  }
  rec_.LinkStatus = linkOpen_ ? 1 : 0;
  std::memcpy(out, &rec_, sizeof rec_);
  log_.write(1, "I2C Link: I2CGetStatus() Complete.");
  return I2C_OK;
}

// What the two fetches share: the entry line, the checks in their order, the copy and the
// completion line. `taken` clears the message's own fields once it has been copied.
std::uint32_t I2CLink::fetchMessage(const char* name, const char* which, std::uint32_t maxLength,
                                    void* destination, bool present, std::uint32_t held,
                                    const std::uint8_t* source,
                                    const std::function<void()>& taken) {
  log_.write(1, "I2C Link: %s(%u, %Lp).", name, maxLength, static_cast<const void*>(destination));
  if (!linkOpen_) {
    rec_.MasterStatus = I2C_MASTER_IDLE;
    log_.write(2, "I2C Link: WARNING - Link NOT Open.");
    return 0;
  }
  std::uint32_t copied = 0;
  if (maxLength == 0) {
    log_.write(1, "I2C Link: WARNING - Zero Length Argument Detected.");
  } else if (destination == nullptr) {
    log_.write(1, "I2C Link: WARNING - Null Pointer Argument Detected.");
  } else if (!present) {
    log_.write(1, "I2C Link: WARNING - No %s Rx Message Present.", which);
  } else {
    copied = std::min(maxLength, held);
    std::memcpy(destination, source, copied);
    taken();
  }
  log_.write(1, "I2C Link: %s() Complete.", name);
  return copied;
}

std::uint32_t I2CLink::getMasterRxMsg(std::uint32_t maxLength, void* destination) {
  // Packed fields are read into values: no reference may bind to them.
  const std::uint32_t held = rec_.MasterRxMsgSize;
  return fetchMessage("I2CGetMasterRxMsg", "Master", maxLength, destination,
                      rec_.MasterRxMsgPresent != 0, held, masterRx_.data(), [this] {
                        rec_.MasterRxMsgPresent = 0;
                        rec_.MasterRxMsgSize = 0;
                        rxFill_ = 0;
                      });
}

std::uint32_t I2CLink::getSlaveRxMsg(std::uint32_t maxLength, void* destination) {
  const std::uint32_t held = rec_.SlaveRxMsgSize;
  return fetchMessage("I2CGetSlaveRxMsg", "Slave", maxLength, destination,
                      rec_.SlaveRxMsgPresent != 0, held, slaveRx_.data(), [this] {
                        rec_.SlaveRxMsgPresent = 0;
                        rec_.SlaveRxMsgSize = 0;
                        rec_.SlaveStatus = I2C_SLAVE_IDLE;
                        slaveRxFill_ = 0;
                      });
}

std::int32_t I2CLink::modemStatus(std::uint32_t* bits) {
  if (bits == nullptr) {
    return 0;
  }
  return comm_.modemStatus(bits);
}

I2CLink::CommandFrame& I2CLink::nextFrame() {
  CommandFrame& frame = frames_[inFlight_ ^ 1];
  frame.size = 0;
  return frame;
}

bool I2CLink::send(CommandFrame& frame) {
  if (data_.sendFrame(frame.size, frame.bytes.data()) != 0) {
    return false;
  }
  inFlight_ = static_cast<std::size_t>(&frame - frames_.data());
  return true;
}

void I2CLink::raise(std::uint32_t event) {
  const std::uint32_t msgNo = rec_.WmMsgNo;
  const I2CCallBack callback = rec_.CallBackFunc;
  if (msgNo != 0) {
    if (VTLoopPostMessage(window_, msgNo, event, 0) == 0) {
      log_.write(1, "I2C Link: FAILURE - PostMessage NOT Accepted.");
    }
  } else if (callback != nullptr) {
    callback(event);
  } else {
    log_.write(2, "I2C Link: NOTICE - No App Msg or CallBack Specified.");
  }
}

}  // namespace vtlink
