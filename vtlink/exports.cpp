// The exported C interface: one process-wide link behind thirteen functions.

#include "vtlink/i2c_link.h"
#include "vtlink/vtlink.h"

namespace {

// Created on first use; its destructor runs when the library is unloaded (or the process
// ends) and closes a link the application left open.
vtlink::I2CLink& theLink() {
  static vtlink::I2CLink link;
  return link;
}

}  // namespace

extern "C" {

uint32_t I2COpen(uint32_t Window, uint32_t Instance, const I2CLinkRecord* Record) {
  return theLink().open(Window, Instance, Record);
}

uint32_t I2CClose(void) {
  return theLink().close();
}

uint32_t I2CMasterTx(uint32_t Address, const void* Data, uint32_t Length, uint32_t Stop) {
  return theLink().masterTx(Address, Data, Length, Stop);
}

uint32_t I2CMasterRx(uint32_t Address, uint32_t Length, uint32_t Stop) {
  return theLink().masterRx(Address, Length, Stop);
}

uint32_t I2CMasterRxExt(uint32_t Address, uint32_t Length, uint32_t Nack, uint32_t Stop) {
  return theLink().masterRxExt(Address, Length, Nack, Stop);
}

uint32_t I2CMasterTxRx(uint32_t Address, const void* TxData, uint32_t TxLength, uint32_t RxLength,
                       uint32_t Stop) {
  return theLink().masterTxRx(Address, TxData, TxLength, RxLength, Stop);
}

uint32_t I2CSlaveTx(const void* Data, uint32_t Length) {
  return theLink().slaveTx(Data, Length);
}

uint32_t I2CGetStatus(I2CLinkRecord* Record) {
  return theLink().getStatus(Record);
}

uint32_t I2CGetMasterRxMsg(uint32_t MaxLength, void* Destination) {
  return theLink().getMasterRxMsg(MaxLength, Destination);
}

uint32_t I2CGetSlaveRxMsg(uint32_t MaxLength, void* Destination) {
  return theLink().getSlaveRxMsg(MaxLength, Destination);
}

uint32_t I2CChangeSlaveAddress(uint8_t Address) {
  return theLink().changeSlaveAddress(Address);
}

uint32_t I2CChangeSlaveGCEnable(uint8_t Enable) {
  return theLink().changeSlaveGCEnable(Enable);
}

int32_t PORTGetCommModemStatus(uint32_t* ModemStatus) {
  return theLink().modemStatus(ModemStatus);
}

}  // extern "C"
