#include "protocol/frame_codec.h"

#include <algorithm>

#include "protocol/config_lists.h"
#include "protocol/hex_text.h"

namespace linkmate {
namespace {

struct FilterLayout {
    int shift32;
    int shift16;
    uint32_t singleMaskFill;
    uint16_t dualMaskFill;
};

constexpr FilterLayout kStandardLayout{21, 5, 0x001FFFFF, 0x001F};
constexpr FilterLayout kExtendedLayout{3, 0, 0x00000007, 0x0000};

const FilterLayout& LayoutFor(int32_t frameType) {
    return frameType != 0 ? kExtendedLayout : kStandardLayout;
}

constexpr int32_t kSerialBaudCount = static_cast<int32_t>(lists::SerialBaudrate.size());

// Counts and indexes go out as their low 8 bits; the arithmetic on them is done in unsigned types,
// where it wraps, so that no stored value can overflow a signed int.
uint8_t Low8(uint32_t value) { return static_cast<uint8_t>(value & 0xFF); }
uint8_t Low8(int32_t value) { return Low8(static_cast<uint32_t>(value)); }

void Put32(uint8_t* at, uint32_t value) {
    at[0] = static_cast<uint8_t>(value >> 24);
    at[1] = static_cast<uint8_t>(value >> 16);
    at[2] = static_cast<uint8_t>(value >> 8);
    at[3] = static_cast<uint8_t>(value);
}

void Put16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value >> 8);
    at[1] = static_cast<uint8_t>(value);
}

uint32_t Get32(const uint8_t* at) {
    return (uint32_t{at[0]} << 24) | (uint32_t{at[1]} << 16) | (uint32_t{at[2]} << 8) | at[3];
}

uint32_t Get16(const uint8_t* at) { return (uint32_t{at[0]} << 8) | at[1]; }

uint16_t Half(std::string_view text, int shift) {
    return static_cast<uint16_t>(ParseHexGroups(text, 2) << shift);
}

}  // namespace

uint8_t XorCheck(const uint8_t* bytes, size_t count) {
    uint8_t check = 0;
    for (size_t i = 0; i < count; ++i) check ^= bytes[i];
    return check;
}

ConfigFrame EncodeConfigFrame(const SerialSettings& serial, const CanSettings& can,
                              const TranSettings& tran) {
    const uint8_t btr0 = static_cast<uint8_t>(ParseHexGroups(can.CanBTR0, 1));
    const uint8_t btr1 = static_cast<uint8_t>(ParseHexGroups(can.CanBTR1, 1));
    const FilterLayout& layout = LayoutFor(can.CanFrameType);

    ConfigFrame f{};
    f[0] = kHeader0;
    f[1] = kHeader1;
    f[2] = kCmdWriteConfig;
    f[3] = kConfigDataLength;
    f[4] = Low8(static_cast<uint32_t>(kSerialBaudCount) -
                static_cast<uint32_t>(serial.SerialBaudrate));
    f[5] = 0x08;
    f[6] = 0x01;
    f[7] = Low8(serial.SerialParity);
    f[8] = Low8(can.CanBaudrate);
    f[9] = btr0;
    f[10] = btr1;
    f[11] = Low8(can.CanFiterMode);

    if (can.CanFiterMode != 0) {
        Put32(&f[12], ParseHexGroups(can.CanAcptCode, 4) << layout.shift32);
        Put32(&f[16],
              (ParseHexGroups(can.CanAcptMask, 4) << layout.shift32) | layout.singleMaskFill);
    } else {
        // The second filter's half comes first in the controller's registers.
        Put16(&f[12], Half(can.CanAcptCode2, layout.shift16));
        Put16(&f[14], Half(can.CanAcptCode1, layout.shift16));
        Put16(&f[16], Half(can.CanAcptMask2, layout.shift16) | layout.dualMaskFill);
        Put16(&f[18], Half(can.CanAcptMask1, layout.shift16) | layout.dualMaskFill);
    }

    f[20] = Low8(static_cast<uint32_t>(tran.TranMode) + 1u);
    f[21] = Low8(tran.TranDir);
    f[22] = Low8(tran.TranSpace);
    f[23] = Low8(tran.TranInfo);
    f[24] = Low8(tran.TranID);
    f[25] = can.CanFrameType != 0 ? 0x80 : 0x00;
    Put32(&f[26], ParseHexGroups(can.CanID, 4) << layout.shift32);
    f[30] = Low8(tran.TranLength);
    f[31] = Low8(tran.TranIdBase);
    f[32] = XorCheck(f.data(), kConfigFrameSize - 1);
    return f;
}

ConfigFrame EncodeConfigFrame(const DeviceConfig& config) {
    return EncodeConfigFrame(config.serial, config.can, config.tran);
}

bool DecodeConfigFrame(const ConfigFrame& f, SerialSettings& serial, CanSettings& can,
                       TranSettings& tran) {
    if (XorCheck(f.data(), kConfigFrameSize - 1) != f[32]) return false;

    serial.SerialBaudrate = kSerialBaudCount - int32_t{f[4]};
    serial.SerialParity = f[7];
    can.CanBaudrate = f[8];
    can.CanBTR0 = FormatHex8(f[9]);
    can.CanBTR1 = FormatHex8(f[10]);
    can.CanFiterMode = f[11];
    can.CanFrameType = f[25] != 0 ? 1 : 0;
    const FilterLayout& layout = LayoutFor(can.CanFrameType);

    if (f[11] != 0) {
        can.CanAcptCode = FormatHex32(Get32(&f[12]) >> layout.shift32);
        can.CanAcptMask = FormatHex32(Get32(&f[16]) >> layout.shift32);
    } else {
        can.CanAcptCode1 = FormatHex16(Get16(&f[14]) >> layout.shift16);
        can.CanAcptCode2 = FormatHex16(Get16(&f[12]) >> layout.shift16);
        can.CanAcptCode = JoinHexTexts(can.CanAcptCode1, can.CanAcptCode2);
        can.CanAcptMask1 = FormatHex16(Get16(&f[18]) >> layout.shift16);
        can.CanAcptMask2 = FormatHex16(Get16(&f[16]) >> layout.shift16);
        can.CanAcptMask = JoinHexTexts(can.CanAcptMask1, can.CanAcptMask2);
    }
    can.CanCustomMask = can.CanAcptMask == "00 00 00 00" ? 0 : 1;

    tran.TranMode = int32_t{f[20]} - 1;
    tran.TranDir = f[21];
    tran.TranSpace = f[22];
    tran.TranInfo = f[23];
    tran.TranID = f[24];
    can.CanID = FormatHex32(Get32(&f[26]) >> layout.shift32);
    tran.TranLength = f[30];
    tran.TranIdBase = f[31];
    return true;
}

bool DecodeConfigFrame(const ConfigFrame& frame, DeviceConfig& config) {
    return DecodeConfigFrame(frame, config.serial, config.can, config.tran);
}

bool IsConfigAck(const uint8_t* bytes, size_t count, uint8_t command) {
    if (count < kConfigAckSize) return false;
    const auto expected = ConfigAck(command);
    return std::equal(expected.begin(), expected.end(), bytes);
}

}  // namespace linkmate
