// Opening the converter's configuration port: the model decides the bit rate, the line is always
// 8 data bits, no parity, one stop bit.
#pragma once

#include <array>
#include <cstdint>

#include "serial/serial_comm.h"

namespace linkmate {

// Bit rate of the configuration link in bit/s, indexed by DeviceType (Ternix-A, Ternix-B).
inline constexpr std::array<uint32_t, 2> ConfigPortBaudTable = {57600, 19200};

// Opens COM<portIndex + 1> for the model `deviceType`. A model the table lacks fails like an
// absent port and opens nothing. On failure `errorReport`, when given, holds the reason.
bool OpenConfigPort(CSerialComm& port, int32_t deviceType, int32_t portIndex,
                    CFileException* errorReport = nullptr);

}  // namespace linkmate
