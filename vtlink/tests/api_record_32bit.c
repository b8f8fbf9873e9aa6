/* Compiled for a 32-bit target only: the header's own checks then hold the record to the
   99-byte layout, and this one says so outright. */
#include "vtlink/vtlink.h"

typedef char record_is_99_bytes[sizeof(I2CLinkRecord) == 99 ? 1 : -1];
typedef char firmware_at_95[offsetof(I2CLinkRecord, FirmwareVersion) == 95 ? 1 : -1];
