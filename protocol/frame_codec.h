// Byte layouts of the converter's configuration protocol and the conversions between the
// configuration frame and the settings. Pure code: bytes in, settings out, no I/O.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "protocol/device_config.h"

namespace linkmate {

inline constexpr uint8_t kHeader0 = 0xF7;
inline constexpr uint8_t kHeader1 = 0xF8;
inline constexpr uint8_t kCmdWriteConfig = 0x01;
inline constexpr uint8_t kCmdReadConfig = 0x03;
inline constexpr uint8_t kConfigDataLength = 0x1C;
inline constexpr uint8_t kAckCode = 0x13;

inline constexpr size_t kConfigFrameSize = 33;
inline constexpr size_t kReadRequestSize = 6;
inline constexpr size_t kConfigAckSize = 5;

// Configuration frame (multi-byte numbers big-endian; check = XOR of bytes 0..31):
//
//  off  width  content
//    0    1    F7
//    1    1    F8
//    2    1    command: 01 write, 03 reply to a read request
//    3    1    length 1C
//    4    1    serial bit-rate code = 10 - SerialBaudrate (mod 256)
//    5    1    data bits, always 08
//    6    1    stop bits, always 01
//    7    1    SerialParity
//    8    1    CanBaudrate
//    9    1    BTR0
//   10    1    BTR1
//   11    1    CanFiterMode (00 dual, else single)
//   12    4    acceptance code  single: code << s32   dual: half 2, half 1 (each << s16)
//   16    4    acceptance mask  single: mask << s32 | fill   dual: half 2, half 1 (<< s16 | fill)
//   20    1    TranMode + 1
//   21    1    TranDir
//   22    1    TranSpace
//   23    1    TranInfo
//   24    1    TranID
//   25    1    80 extended frames, 00 standard
//   26    4    CanID << s32
//   30    1    TranLength
//   31    1    TranIdBase
//   32    1    check
//
// Standard frames: s32 = 21, s16 = 5, single fill 001FFFFF, dual fill 001F.
// Extended frames: s32 = 3, s16 = 0, single fill 00000007, no dual fill.
// This is the SJA1000 acceptance-filter layout: identifiers sit at the top of the register and
// mask bits below the identifier are set so that they take no part in the comparison.
using ConfigFrame = std::array<uint8_t, kConfigFrameSize>;

// The read request never changes.
inline constexpr std::array<uint8_t, kReadRequestSize> ReadRequest = {0xF7, 0xF8, 0x03,
                                                                      0x01, 0xAA, 0xA7};

// The acknowledgement of `command`: F7 F8 command 13 (command ^ 1C).
constexpr std::array<uint8_t, kConfigAckSize> ConfigAck(uint8_t command) {
    return {kHeader0, kHeader1, command, kAckCode, static_cast<uint8_t>(command ^ 0x1C)};
}

uint8_t XorCheck(const uint8_t* bytes, size_t count);

// Builds the write frame (command 01) from the serial, CAN and conversion groups. Never fails.
ConfigFrame EncodeConfigFrame(const SerialSettings& serial, const CanSettings& can,
                              const TranSettings& tran);
ConfigFrame EncodeConfigFrame(const DeviceConfig& config);

// Decodes the first 33 bytes of a reply. When the check byte does not match, returns false and
// changes nothing. The header is not examined here: the exchange has checked it already.
bool DecodeConfigFrame(const ConfigFrame& frame, SerialSettings& serial, CanSettings& can,
                       TranSettings& tran);
bool DecodeConfigFrame(const ConfigFrame& frame, DeviceConfig& config);

// True when the first five of `count` received bytes are the acknowledgement of `command`,
// compared byte by byte in order. Fewer than five bytes are never an acknowledgement.
bool IsConfigAck(const uint8_t* bytes, size_t count, uint8_t command);

}  // namespace linkmate
