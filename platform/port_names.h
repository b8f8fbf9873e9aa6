#pragma once
// How a port number (1..99) names a device. Users, scripts and the simulator rely on this rule:
//  - with VANTOR_PORT_DIR set, port n is the entry "COMn" in that folder and nothing else exists;
//  - otherwise COM1..32 are /dev/ttyS0..31, COM33..64 /dev/ttyUSB0..31, COM65..96
//    /dev/ttyACM0..31, and COM97..99 do not exist.

#include <string>

namespace platform {

inline constexpr int kFirstPort = 1;
inline constexpr int kLastPort = 99;

// The device path of port n, or "" when the rule gives it none.
std::string portDevicePath(int portNumber);

// "COM" followed by the number, as users see it.
std::string portName(int portNumber);

}  // namespace platform
