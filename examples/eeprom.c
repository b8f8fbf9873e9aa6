/* Writes a text into the EEPROM at 0xA0 through a Vantor adapter and reads it back.

     eeprom PORT [TEXT [LOGFILE]]

   Events arrive as window message 1024 on a vtloop.h window; the library's timer runs while
   VTLoopGetMessage waits. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "platform/vtloop.h"
#include "vtlink/vtlink.h"

enum { kEventMessage = 1024, kEeprom = 0xA0, kPage = 16 };

/* Waits for `wanted`; any other ending event, or 15 seconds of silence, is a failure. */
static int waitFor(uint32_t wanted) {
  for (int waited = 0; waited < 150; ++waited) {
    VTLoopMsg msg;
    if (VTLoopGetMessage(&msg, 100) != 1 || msg.msg != kEventMessage) {
      continue;
    }
    if (msg.wparam == wanted) {
      return 1;
    }
    if (msg.wparam != I2C_EV_SLAVE_RX_COMPLETE && msg.wparam != I2C_EV_SLAVE_TX_REQUEST) {
      fprintf(stderr, "event %u while waiting for %u\n", (unsigned)msg.wparam, wanted);
      return 0;
    }
  }
  fprintf(stderr, "no event %u\n", wanted);
  return 0;
}

static void printBytes(const char* label, const uint8_t* bytes, size_t n) {
  printf("%s", label);
  for (size_t i = 0; i < n; ++i) {
    printf(" %02X", bytes[i]);
  }
  printf("  \"%.*s\"\n", (int)n, (const char*)bytes);
}

int main(int argc, char** argv) {
  if (argc < 2) {
    fprintf(stderr, "usage: %s PORT [TEXT [LOGFILE]]\n", argv[0]);
    return 2;
  }
  const char* text = argc > 2 ? argv[2] : "Hello, bus";
  const size_t length = strlen(text);
  if (length == 0 || length > kPage) {
    fprintf(stderr, "the text must have 1 to %d characters\n", kPage);
    return 2;
  }

  I2CLinkRecord record;
  memset(&record, 0, sizeof record);
  record.ComPortNo = (uint8_t)atoi(argv[1]);
  record.WmMsgNo = kEventMessage;
  record.LogFileName = argc > 3 ? argv[3] : NULL;
  record.LogFileLevel = 2;
  record.LogFileSize = 10000;
  record.HostSlaveAddr = 0x70;
  record.BusTimeOut = 1000;
  record.MasterBitRate = 1;
  record.SlaveRxBufSize = 64;

  const uint32_t window = VTLoopCreateWindow();
  uint32_t result = I2COpen(window, 0, &record);
  if (result != I2C_OK || !waitFor(I2C_EV_OPEN_COMPLETE)) {
    fprintf(stderr, "open failed (%u)\n", result);
    return 1;
  }

  /* The first byte is the EEPROM's address pointer. */
  uint8_t message[1 + kPage];
  message[0] = 0x00;
  memcpy(message + 1, text, length);
  int ok = I2CMasterTx(kEeprom, message, (uint32_t)(1 + length), 1) == I2C_OK &&
           waitFor(I2C_EV_MASTER_TX_COMPLETE);
  if (ok) {
    printBytes("wrote:", message + 1, length);
    /* Point back at 0 without a stop, then read with a repeated start. */
    ok = I2CMasterTx(kEeprom, message, 1, 0) == I2C_OK && waitFor(I2C_EV_MASTER_TX_COMPLETE) &&
         I2CMasterRx(kEeprom, (uint32_t)length, 1) == I2C_OK && waitFor(I2C_EV_MASTER_RX_COMPLETE);
  }
  uint8_t readBack[kPage];
  if (ok) {
    const uint32_t got = I2CGetMasterRxMsg(sizeof readBack, readBack);
    printBytes("read: ", readBack, got);
    ok = got == length && memcmp(readBack, text, length) == 0;
  }
  I2CClose();
  return ok ? 0 : 1;
}
