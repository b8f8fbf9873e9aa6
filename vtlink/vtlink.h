/* The bus link library for the frame-based Vantor adapters: the link record, the status,
   result and event codes, and the thirteen exported operations. Usable from C99, C++ and
   Python ctypes.

   Every operation that needs the adapter checks its arguments, queues one command frame and
   returns at once; its outcome arrives later as an event code, posted as the window message
   WmMsgNo to the vtloop.h window given to I2COpen (wparam = event, lparam = 0) or passed to
   CallBackFunc. The calling thread must run its vtloop.h message loop: the library's 50 ms
   timer ticks there. */
#ifndef VANTOR_VTLINK_H
#define VANTOR_VTLINK_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Receives every event code when WmMsgNo is 0. Runs inside the library's timer tick and may
   call any export, I2CClose included. */
typedef void (*I2CCallBack)(uint32_t EventCode);

/* Byte-packed, little-endian. Offsets 0..49 of the 32-bit layout are the open parameters, the
   rest is status. The two address fields are as wide as an address, so on x86-64 the record
   is 107 bytes and every field behind them moves by 4 or 8; field order never changes. */
typedef struct __attribute__((packed)) I2CLinkRecord {
  uint8_t ComPortNo;           /* the port opened is COMn; 0 is invalid */
  uint8_t Reserved[8];         /* copied in and out, never interpreted */
  uint32_t WmMsgNo;            /* window message for events; 0 = use CallBackFunc */
  I2CCallBack CallBackFunc;    /* or null */
  const char* LogFileName;     /* zero-terminated path of the diagnostic log, or null */
  uint8_t LogFileLevel;        /* 0 = no log, 1..4 = detail */
  uint32_t LogFileSize;        /* lines after which the log rewinds */
  uint8_t HostSlaveAddr;       /* the adapter's own slave address, bit 0 clear */
  uint32_t BusTimeOut;         /* milliseconds */
  uint8_t MasterBitRate;       /* 1 or 2 */
  uint32_t MasterRxBufSize;    /* at least 512 */
  uint32_t MasterTxBufSize;    /* at least 512 */
  uint8_t MasterArbRetry;      /* always stored as 0 */
  uint8_t SlaveRxGCEnable;     /* non-zero: accept general calls as slave */
  uint32_t SlaveRxBufSize;     /* at least 1 */
  uint32_t SlaveTxBufSize;     /* at least 512 */
  uint32_t MasterStatus;       /* I2C_MASTER_* or the last master event */
  uint32_t SlaveStatus;        /* I2C_SLAVE_* or the last slave event */
  uint32_t LinkStatus;         /* 1 while the link is open */
  uint32_t MasterTxByteCount;  /* bytes reported sent by the current or last transmit */
  uint32_t MasterRxMsgPresent; /* 1: a master receive message waits */
  uint32_t MasterRxMsgSize;
  uint8_t SlaveTxMsgReq;      /* 1: the adapter asked for slave data and none was given */
  uint32_t SlaveRxMsgPresent; /* 1: a slave receive message waits */
  uint32_t SlaveRxMsgSize;
  uint32_t SlaveRxGCDetect; /* general-call flag of the last slave message */
  uint32_t DllVersion;      /* 213 = 2.13 */
  uint32_t ApiVersion;      /* 2 */
  uint32_t FirmwareVersion; /* 200 = 2.00; 0 until the adapter reports it */
} I2CLinkRecord;

/* How many bytes the two address fields add to the 99-byte 32-bit layout. */
#define I2C_LINK_RECORD_ADDRESS_EXTRA (2 * (sizeof(void*) - 4))
/* sizeof(I2CLinkRecord): 99 on a 32-bit build, 107 on x86-64. */
#define I2C_LINK_RECORD_SIZE (99 + I2C_LINK_RECORD_ADDRESS_EXTRA)

#if defined(__cplusplus)
#define VTLINK_STATIC_ASSERT(cond, name) static_assert(cond, #name)
#elif defined(__STDC_VERSION__) && __STDC_VERSION__ >= 201112L
#define VTLINK_STATIC_ASSERT(cond, name) _Static_assert(cond, #name)
#else
#define VTLINK_STATIC_ASSERT(cond, name) typedef char vtlink_check_##name[(cond) ? 1 : -1]
#endif

#define VTLINK_OFFSET_IS(field, offset32, extra)                                    \
  VTLINK_STATIC_ASSERT(                                                             \
      offsetof(I2CLinkRecord, field) == (offset32) + (extra) * (sizeof(void*) - 4), \
      field##_offset)
VTLINK_STATIC_ASSERT(sizeof(I2CLinkRecord) == I2C_LINK_RECORD_SIZE, record_size);
VTLINK_OFFSET_IS(ComPortNo, 0, 0);
VTLINK_OFFSET_IS(Reserved, 1, 0);
VTLINK_OFFSET_IS(WmMsgNo, 9, 0);
VTLINK_OFFSET_IS(CallBackFunc, 13, 0);
VTLINK_OFFSET_IS(LogFileName, 17, 1);
VTLINK_OFFSET_IS(LogFileLevel, 21, 2);
VTLINK_OFFSET_IS(LogFileSize, 22, 2);
VTLINK_OFFSET_IS(HostSlaveAddr, 26, 2);
VTLINK_OFFSET_IS(BusTimeOut, 27, 2);
VTLINK_OFFSET_IS(MasterBitRate, 31, 2);
VTLINK_OFFSET_IS(MasterRxBufSize, 32, 2);
VTLINK_OFFSET_IS(MasterTxBufSize, 36, 2);
VTLINK_OFFSET_IS(MasterArbRetry, 40, 2);
VTLINK_OFFSET_IS(SlaveRxGCEnable, 41, 2);
VTLINK_OFFSET_IS(SlaveRxBufSize, 42, 2);
VTLINK_OFFSET_IS(SlaveTxBufSize, 46, 2);
VTLINK_OFFSET_IS(MasterStatus, 50, 2);
VTLINK_OFFSET_IS(SlaveStatus, 54, 2);
VTLINK_OFFSET_IS(LinkStatus, 58, 2);
VTLINK_OFFSET_IS(MasterTxByteCount, 62, 2);
VTLINK_OFFSET_IS(MasterRxMsgPresent, 66, 2);
VTLINK_OFFSET_IS(MasterRxMsgSize, 70, 2);
VTLINK_OFFSET_IS(SlaveTxMsgReq, 74, 2);
VTLINK_OFFSET_IS(SlaveRxMsgPresent, 75, 2);
VTLINK_OFFSET_IS(SlaveRxMsgSize, 79, 2);
VTLINK_OFFSET_IS(SlaveRxGCDetect, 83, 2);
VTLINK_OFFSET_IS(DllVersion, 87, 2);
VTLINK_OFFSET_IS(ApiVersion, 91, 2);
VTLINK_OFFSET_IS(FirmwareVersion, 95, 2);
#if UINTPTR_MAX == 0xFFFFFFFFFFFFFFFFu
VTLINK_STATIC_ASSERT(offsetof(I2CLinkRecord, MasterRxBufSize) == 40, rx_buf_size_at_40);
VTLINK_STATIC_ASSERT(offsetof(I2CLinkRecord, FirmwareVersion) == 103, firmware_at_103);
#endif
#undef VTLINK_OFFSET_IS

enum {
  I2C_DLL_VERSION = 213,
  I2C_API_VERSION = 2,
  /* As an address argument: continue the previous message. */
  I2C_CONTINUE_ADDRESS = 0xFF
};

/* MasterStatus; the master events are the same numbers. */
enum {
  I2C_MASTER_IDLE = 257,
  I2C_MASTER_BUSY = 258,
  I2C_EV_OPEN_COMPLETE = 273,
  I2C_EV_NOT_RESPONDING = 274, /* the link has been shut down */
  I2C_EV_ADAPTER_BUSY = 275,
  I2C_EV_BUS_ERROR = 276,
  I2C_EV_SLAVE_NACK = 277,
  I2C_EV_ARBITRATION_LOST = 278,
  I2C_EV_BUS_TIMEOUT = 279,
  I2C_EV_MASTER_TX_COMPLETE = 280,
  I2C_EV_MASTER_RX_COMPLETE = 281,
  I2C_EV_FRAME_TX_FAILED = 803 /* a further block or slave data could not be queued */
};

/* SlaveStatus; the slave events are the same numbers. */
enum {
  I2C_SLAVE_NEVER_OPENED = 513,
  I2C_SLAVE_IDLE = 514,
  I2C_EV_SLAVE_RX_COMPLETE = 529,
  I2C_EV_SLAVE_TX_REQUEST = 530,
  I2C_EV_SLAVE_ADDRESS_CHANGED = 531,
  I2C_EV_SLAVE_GC_CHANGED = 532
};

/* Results of the operations that return a code. */
enum {
  I2C_OK = 0,
  I2C_ERR_ALREADY_OPEN = 769,
  I2C_ERR_IN_PROGRESS = 770,
  I2C_ERR_LOG_FILE = 771,
  I2C_ERR_PORT_NO = 772,
  I2C_ERR_DATA_LINK_OPEN = 773,
  I2C_ERR_WM_MSG_NO = 774,
  I2C_ERR_ADDRESS = 775,
  I2C_ERR_BIT_RATE = 776,
  I2C_ERR_ALLOCATION = 777,
  I2C_ERR_NOT_OPEN = 801,
  I2C_ERR_BUSY = 802,
  I2C_ERR_FRAME_TX = 803,
  I2C_ERR_LENGTH = 804,
  I2C_ERR_SYSTEM = 805,
  I2C_ERR_NACK_STOP = 806,
  I2C_ERR_FIRMWARE = 807,
  I2C_ERR_NULL_POINTER = 817
};

#define VTLINK_API __attribute__((visibility("default")))

/* Addresses are 8-bit I2C addresses (bit 0 clear) in a 32-bit argument; flags are bytes in a
   32-bit argument, zero = false. */
VTLINK_API uint32_t I2COpen(uint32_t Window, uint32_t Instance, const I2CLinkRecord* Record);
VTLINK_API uint32_t I2CClose(void);
VTLINK_API uint32_t I2CMasterTx(uint32_t Address, const void* Data, uint32_t Length, uint32_t Stop);
VTLINK_API uint32_t I2CMasterRx(uint32_t Address, uint32_t Length, uint32_t Stop);
/* Length 0: the first received byte gives the number of bytes that follow it. */
VTLINK_API uint32_t I2CMasterRxExt(uint32_t Address, uint32_t Length, uint32_t Nack, uint32_t Stop);
VTLINK_API uint32_t I2CMasterTxRx(uint32_t Address, const void* TxData, uint32_t TxLength,
                                  uint32_t RxLength, uint32_t Stop);
VTLINK_API uint32_t I2CSlaveTx(const void* Data, uint32_t Length);
VTLINK_API uint32_t I2CGetStatus(I2CLinkRecord* Record);
/* These two return the number of bytes copied. */
VTLINK_API uint32_t I2CGetMasterRxMsg(uint32_t MaxLength, void* Destination);
VTLINK_API uint32_t I2CGetSlaveRxMsg(uint32_t MaxLength, void* Destination);
VTLINK_API uint32_t I2CChangeSlaveAddress(uint8_t Address);
VTLINK_API uint32_t I2CChangeSlaveGCEnable(uint8_t Enable);
/* CTS 0x10, DSR 0x20, RING 0x40, RLSD 0x80; non-zero on success, 0 with no port open. */
VTLINK_API int32_t PORTGetCommModemStatus(uint32_t* ModemStatus);

#ifdef __cplusplus
}
#endif

#endif
