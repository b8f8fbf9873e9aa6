/* Compiled as strict C99: the public header must serve C programs. Runs in a process of its
   own, so it sees the library's record exactly as a freshly loaded library holds it. */
#include <stdio.h>
#include <string.h>

#include "vtlink/vtlink.h"

static int failures = 0;

static void expectEqual(const char* what, unsigned long actual, unsigned long expected) {
  if (actual != expected) {
    printf("%s: %lu, expected %lu\n", what, actual, expected);
    ++failures;
  }
}

int main(void) {
  I2CLinkRecord record;
  memset(&record, 0xAB, sizeof record);
  expectEqual("record size", (unsigned long)sizeof(I2CLinkRecord),
              (unsigned long)I2C_LINK_RECORD_SIZE);
  expectEqual("I2CGetStatus", I2CGetStatus(&record), I2C_OK);
  expectEqual("MasterStatus", record.MasterStatus, I2C_MASTER_IDLE);
  expectEqual("SlaveStatus", record.SlaveStatus, I2C_SLAVE_NEVER_OPENED);
  expectEqual("DllVersion", record.DllVersion, 213);
  expectEqual("ApiVersion", record.ApiVersion, 2);
  expectEqual("LinkStatus", record.LinkStatus, 0);
  expectEqual("ComPortNo", record.ComPortNo, 0);
  expectEqual("MasterRxBufSize", record.MasterRxBufSize, 0);
  expectEqual("FirmwareVersion", record.FirmwareVersion, 0);
  expectEqual("CallBackFunc is null", record.CallBackFunc == NULL, 1);
  expectEqual("I2CGetStatus(NULL)", I2CGetStatus(NULL), I2C_ERR_NULL_POINTER);
  expectEqual("I2CClose before any open", I2CClose(), I2C_ERR_NOT_OPEN);
  if (failures == 0) {
    printf("record and status before any open as expected\n");
  }
  return failures == 0 ? 0 : 1;
}
