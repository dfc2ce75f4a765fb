// Configurations the tests share: the two worked examples of the frame layout and an edited
// configuration that exercises dual filters with extended frames and an over-range count.
#pragma once

#include "protocol/device_config.h"

namespace linkmate::testing {

// Single filter, extended frames; encodes to
// F7 F8 01 1C 01 08 01 01 0C 00 1C 01 91 A2 B3 C0 00 00 07 FF 02 01 04 00 00 80 00 00 09 18 04
// 02 22.
inline DeviceConfig SingleExtendedExample() {
    DeviceConfig c;
    c.serial.SerialBaudrate = 9;
    c.serial.SerialParity = 1;
    c.can.CanBaudrate = 12;
    c.can.CanBTR0 = "00";
    c.can.CanBTR1 = "1C";
    c.can.CanFrameType = 1;
    c.can.CanFiterMode = 1;
    c.can.CanID = "00 00 01 23";
    c.can.CanAcptCode = "12 34 56 78";
    c.can.CanAcptMask = "00 00 00 FF";
    c.tran = {1, 1, 4, 0, 0, 2, 4};
    return c;
}

// Dual filter, standard frames; encodes to
// F7 F8 01 1C 06 08 01 00 0A 01 1C 00 8A C0 24 60 1E 1F 01 FF 01 00 02 01 01 00 FF E0 00 00 01 00
// E6.
inline DeviceConfig DualStandardExample() {
    DeviceConfig c;
    c.serial.SerialBaudrate = 4;
    c.serial.SerialParity = 0;
    c.can.CanBaudrate = 10;
    c.can.CanBTR0 = "01";
    c.can.CanBTR1 = "1C";
    c.can.CanFrameType = 0;
    c.can.CanFiterMode = 0;
    c.can.CanID = "00 00 07 FF";
    c.can.CanAcptCode1 = "01 23";
    c.can.CanAcptCode2 = "04 56";
    c.can.CanAcptMask1 = "00 0F";
    c.can.CanAcptMask2 = "00 F0";
    c.tran = {0, 0, 2, 1, 1, 0, 1};
    return c;
}

// Custom timing in lower case, extended frames, dual filter, TranSpace beyond a byte.
inline DeviceConfig DualExtendedEdited() {
    DeviceConfig c;
    c.serial.SerialBaudrate = 9;
    c.serial.SerialParity = 2;
    c.can.CanBaudrate = 0;
    c.can.CanBTR0 = "3f";
    c.can.CanBTR1 = "C0";
    c.can.CanFrameType = 1;
    c.can.CanFiterMode = 0;
    c.can.CanID = "1F FF FF FF";
    c.can.CanAcptCode1 = "12 34";
    c.can.CanAcptCode2 = "ab cd";
    c.can.CanAcptMask1 = "00 FF";
    c.can.CanAcptMask2 = "FF 00";
    c.tran = {1, 2, 300, 1, 0, 7, 4};
    return c;
}

}  // namespace linkmate::testing
