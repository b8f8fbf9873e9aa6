#pragma once
// The engine behind the exported interface: checks each request, turns it into one command
// frame for the adapter, cuts long transmissions into the 16-byte blocks the adapter asks for,
// collects the adapter's data frames into the four buffers, keeps the link record and raises
// the events. One instance serves the whole process.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

#include "vtlink/comm_link.h"
#include "vtlink/data_link.h"
#include "vtlink/link_buffer.h"
#include "vtlink/log_recorder.h"
#include "vtlink/vtlink.h"

namespace vtlink {

class I2CLink {
 public:
  I2CLink();
  ~I2CLink();  // closes a link that is still open or opening
  I2CLink(const I2CLink&) = delete;
  I2CLink& operator=(const I2CLink&) = delete;

  std::uint32_t open(std::uint32_t window, std::uint32_t instance, const I2CLinkRecord* record);
  std::uint32_t close();
  std::uint32_t masterTx(std::uint32_t address, const void* data, std::uint32_t length,
                         std::uint32_t stop);
  std::uint32_t masterRx(std::uint32_t address, std::uint32_t length, std::uint32_t stop);
  std::uint32_t masterRxExt(std::uint32_t address, std::uint32_t length, std::uint32_t nack,
                            std::uint32_t stop);
  std::uint32_t masterTxRx(std::uint32_t address, const void* txData, std::uint32_t txLength,
                           std::uint32_t rxLength, std::uint32_t stop);
  std::uint32_t slaveTx(const void* data, std::uint32_t length);
  std::uint32_t getStatus(I2CLinkRecord* out);
  std::uint32_t getMasterRxMsg(std::uint32_t maxLength, void* destination);
  std::uint32_t getSlaveRxMsg(std::uint32_t maxLength, void* destination);
  std::uint32_t changeSlaveAddress(std::uint8_t address);
  std::uint32_t changeSlaveGCEnable(std::uint8_t enable);
  std::int32_t modemStatus(std::uint32_t* bits);

 private:
  enum class MasterKind { None, TxStop, TxNoStop, RxStop, RxNoStop };
  enum class SlaveRequest { None, Start, More };

  struct CommandFrame {
    std::array<std::uint8_t, dl::kMaxPayload> bytes{};
    std::size_t size = 0;
    void put(std::uint8_t byte) { bytes[size++] = byte; }
    void put(const std::uint8_t* data, std::size_t n);
  };

  // Steps shared by the three master receive requests, up to the kind of the request;
  // 0 lets the request go on.
  std::uint32_t checkMasterReceiveReady();
  std::uint32_t sendSlaveSetting(std::uint8_t type, std::uint8_t value);
  std::uint32_t fetchMessage(const char* name, const char* which, std::uint32_t maxLength,
                             void* destination, bool present, std::uint32_t held,
                             const std::uint8_t* source, const std::function<void()>& taken);
  std::uint32_t checkMasterRxStart(std::uint8_t address, std::uint8_t stop);
  std::uint32_t checkRxLength(std::uint32_t length, const char* tooLongFormat);
  void beginMasterRx(std::uint32_t expected);
  std::uint32_t sendMasterTxBlock(std::uint8_t address);
  std::uint32_t sendSlaveTxBlock();
  void serveSlaveRequest();
  std::uint32_t checkSlaveSettingChange();
  bool slaveBusy() const;
  bool firmwareAtLeast200() const { return rec_.FirmwareVersion >= 200; }

  // The command frame goes into the buffer that is not waiting for its acknowledgement, so a
  // refused request never disturbs the frame the data link may still have to resend.
  CommandFrame& nextFrame();
  bool send(CommandFrame& frame);
  bool sendLinkOpen();

  void onDataLinkEvent(std::uint32_t event);
  void handleAdapterFrame(const std::uint8_t* frame, std::size_t length);
  void onMasterTxRequest(const std::uint8_t* frame, std::size_t length);
  void onMasterTxComplete(const std::uint8_t* frame, std::size_t length);
  void onMasterRxData(const std::uint8_t* frame, std::size_t length);
  void onSlaveRxData(const std::uint8_t* frame, std::size_t length);
  void onSlaveTxRequest(SlaveRequest request);
  void endMaster(std::uint32_t event);
  void acknowledge();

  void raise(std::uint32_t event);
  std::uint32_t allocateBuffers();
  std::uint32_t failOpen(std::uint32_t code);
  void shutDown();     // closes the data link, then releaseLink()
  void releaseLink();  // buffers, log, pending request, open flags
  void releaseBuffers();

  LogRecorder& log_;
  CommLink comm_;
  DataLink data_;
  I2CLinkRecord rec_{};

  bool linkOpen_ = false;
  // The data link runs but the adapter has not yet answered the link open frame.
  bool opening_ = false;
  // Changes whenever a link is shut down, so the handling of a frame whose event let the
  // application close (or reopen) the link stops there.
  std::uint64_t session_ = 0;
  std::uint32_t window_ = 0;
  std::uint32_t instance_ = 0;

  LinkBuffer masterRx_, masterTx_, slaveRx_, slaveTx_;
  MasterKind lastKind_ = MasterKind::None;

  std::optional<std::size_t> txRead_;
  std::size_t txRemaining_ = 0;
  std::size_t txLastBlock_ = 0;
  bool txStop_ = false;

  bool rxStarted_ = false;
  std::size_t rxFill_ = 0;
  std::size_t rxExpected_ = 0;

  std::size_t slaveRxFill_ = 0;
  std::optional<std::size_t> slaveTxRead_;
  std::size_t slaveTxRemaining_ = 0;
  SlaveRequest slaveRequest_ = SlaveRequest::None;

  std::array<CommandFrame, 2> frames_{};
  std::size_t inFlight_ = 0;
};

}  // namespace vtlink
