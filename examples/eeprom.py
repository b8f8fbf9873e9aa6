#!/usr/bin/env python3
"""Writes a text into the EEPROM at 0xA0 through a Vantor adapter and reads it back.

    eeprom.py PORT [TEXT [LOGFILE]]

libvtlink.so is taken from $VTLINK_LIBRARY, else from the build folder beside this script
(build/lib). Events arrive as window message 1024 on a vtloop.h window.
"""
import ctypes
import os
import sys
from pathlib import Path

EVENT_MESSAGE = 1024
EEPROM = 0xA0
OPEN_COMPLETE, MASTER_TX_COMPLETE, MASTER_RX_COMPLETE = 273, 280, 281
SLAVE_EVENTS = (529, 530)


class I2CLinkRecord(ctypes.Structure):
    _pack_ = 1
    _fields_ = [
        ("ComPortNo", ctypes.c_uint8), ("Reserved", ctypes.c_uint8 * 8),
        ("WmMsgNo", ctypes.c_uint32), ("CallBackFunc", ctypes.c_void_p),
        ("LogFileName", ctypes.c_char_p), ("LogFileLevel", ctypes.c_uint8),
        ("LogFileSize", ctypes.c_uint32), ("HostSlaveAddr", ctypes.c_uint8),
        ("BusTimeOut", ctypes.c_uint32), ("MasterBitRate", ctypes.c_uint8),
        ("MasterRxBufSize", ctypes.c_uint32), ("MasterTxBufSize", ctypes.c_uint32),
        ("MasterArbRetry", ctypes.c_uint8), ("SlaveRxGCEnable", ctypes.c_uint8),
        ("SlaveRxBufSize", ctypes.c_uint32), ("SlaveTxBufSize", ctypes.c_uint32),
        ("MasterStatus", ctypes.c_uint32), ("SlaveStatus", ctypes.c_uint32),
        ("LinkStatus", ctypes.c_uint32), ("MasterTxByteCount", ctypes.c_uint32),
        ("MasterRxMsgPresent", ctypes.c_uint32), ("MasterRxMsgSize", ctypes.c_uint32),
        ("SlaveTxMsgReq", ctypes.c_uint8), ("SlaveRxMsgPresent", ctypes.c_uint32),
        ("SlaveRxMsgSize", ctypes.c_uint32), ("SlaveRxGCDetect", ctypes.c_uint32),
        ("DllVersion", ctypes.c_uint32), ("ApiVersion", ctypes.c_uint32),
        ("FirmwareVersion", ctypes.c_uint32),
    ]


class VTLoopMsg(ctypes.Structure):
    _fields_ = [("hwnd", ctypes.c_uint32), ("msg", ctypes.c_uint32),
                ("wparam", ctypes.c_uint64), ("lparam", ctypes.c_int64)]


def load_libraries():
    path = os.environ.get("VTLINK_LIBRARY")
    if not path:
        path = Path(__file__).resolve().parent.parent / "build" / "lib" / "libvtlink.so"
    path = Path(path)
    # libvtlink.so needs libvtplatform.so, which lives beside it and also has the loop.
    loop = ctypes.CDLL(str(path.with_name("libvtplatform.so")))
    link = ctypes.CDLL(str(path))
    loop.VTLoopCreateWindow.restype = ctypes.c_uint32
    loop.VTLoopGetMessage.argtypes = [ctypes.POINTER(VTLoopMsg), ctypes.c_int]
    link.I2COpen.argtypes = [ctypes.c_uint32, ctypes.c_uint32, ctypes.POINTER(I2CLinkRecord)]
    link.I2CMasterTx.argtypes = [ctypes.c_uint32, ctypes.c_char_p, ctypes.c_uint32,
                                 ctypes.c_uint32]
    link.I2CGetMasterRxMsg.argtypes = [ctypes.c_uint32, ctypes.c_char_p]
    for name in ("I2COpen", "I2CClose", "I2CMasterTx", "I2CMasterRx", "I2CGetMasterRxMsg"):
        getattr(link, name).restype = ctypes.c_uint32
    assert ctypes.sizeof(I2CLinkRecord) == 99 + 2 * (ctypes.sizeof(ctypes.c_void_p) - 4)
    return loop, link


def wait_for(loop, wanted):
    msg = VTLoopMsg()
    for _ in range(150):
        if loop.VTLoopGetMessage(ctypes.byref(msg), 100) != 1 or msg.msg != EVENT_MESSAGE:
            continue
        if msg.wparam == wanted:
            return True
        if msg.wparam not in SLAVE_EVENTS:
            print(f"event {msg.wparam} while waiting for {wanted}", file=sys.stderr)
            return False
    print(f"no event {wanted}", file=sys.stderr)
    return False


def show(label, data):
    print(label, " ".join(f"{b:02X}" for b in data), f' "{data.decode("latin-1")}"')


def main():
    if len(sys.argv) < 2:
        print("usage: eeprom.py PORT [TEXT [LOGFILE]]", file=sys.stderr)
        return 2
    text = (sys.argv[2] if len(sys.argv) > 2 else "Hello, bus").encode("latin-1")
    if not 1 <= len(text) <= 16:
        print("the text must have 1 to 16 characters", file=sys.stderr)
        return 2
    loop, link = load_libraries()

    log_name = sys.argv[3].encode() if len(sys.argv) > 3 else None
    record = I2CLinkRecord(ComPortNo=int(sys.argv[1]), WmMsgNo=EVENT_MESSAGE,
                           LogFileName=log_name, LogFileLevel=2, LogFileSize=10000,
                           HostSlaveAddr=0x70, BusTimeOut=1000, MasterBitRate=1,
                           SlaveRxBufSize=64)
    window = loop.VTLoopCreateWindow()
    result = link.I2COpen(window, 0, ctypes.byref(record))
    if result != 0 or not wait_for(loop, OPEN_COMPLETE):
        print(f"open failed ({result})", file=sys.stderr)
        return 1
    try:
        # The first byte is the EEPROM's address pointer.
        if link.I2CMasterTx(EEPROM, b"\x00" + text, 1 + len(text), 1) != 0 or \
                not wait_for(loop, MASTER_TX_COMPLETE):
            return 1
        show("wrote:", text)
        # Point back at 0 without a stop, then read with a repeated start.
        if link.I2CMasterTx(EEPROM, b"\x00", 1, 0) != 0 or \
                not wait_for(loop, MASTER_TX_COMPLETE) or \
                link.I2CMasterRx(EEPROM, len(text), 1) != 0 or \
                not wait_for(loop, MASTER_RX_COMPLETE):
            return 1
        buffer = ctypes.create_string_buffer(16)
        got = link.I2CGetMasterRxMsg(16, buffer)
        read_back = buffer.raw[:got]
        show("read: ", read_back)
        return 0 if read_back == text else 1
    finally:
        link.I2CClose()


if __name__ == "__main__":
    sys.exit(main())
