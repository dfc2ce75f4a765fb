#include <gtest/gtest.h>

#include <cstdint>

#include <sstream>
#include <string>

#include "protocol/frame_check.h"
#include "protocol/frame_codec.h"
#include "sample_configs.h"

namespace linkmate {
namespace {

using testing::DualStandardExample;
using testing::SingleExtendedExample;

ConfigFrame FrameFromHex(const std::string& hex) {
    ConfigFrame frame{};
    std::istringstream in(hex);
    for (auto& byte : frame) {
        unsigned value = 0;
        in >> std::hex >> value;
        byte = static_cast<uint8_t>(value);
    }
    return frame;
}

// The converter's reply to the same settings: command 03 and the check recomputed.
ConfigFrame AsReply(ConfigFrame frame) {
    frame[2] = kCmdReadConfig;
    frame[32] = XorCheck(frame.data(), 32);
    return frame;
}

const char* kSingleExtendedBytes =
    "F7 F8 01 1C 01 08 01 01 0C 00 1C 01 91 A2 B3 C0 00 00 07 FF 02 01 04 00 00 80 00 00 09 18 "
    "04 02 22";
const char* kDualStandardBytes =
    "F7 F8 01 1C 06 08 01 00 0A 01 1C 00 8A C0 24 60 1E 1F 01 FF 01 00 02 01 01 00 FF E0 00 00 "
    "01 00 E6";

TEST(WorkedExampleTest, SingleFilterExtendedFramesEncodesByteForByte) {
    EXPECT_EQ(EncodeConfigFrame(SingleExtendedExample()), FrameFromHex(kSingleExtendedBytes));
}

TEST(WorkedExampleTest, DualFilterStandardFramesEncodesByteForByte) {
    EXPECT_EQ(EncodeConfigFrame(DualStandardExample()), FrameFromHex(kDualStandardBytes));
}

TEST(WorkedExampleTest, SingleFilterReplyDecodesToTheFields) {
    DeviceConfig decoded;
    ASSERT_TRUE(DecodeConfigFrame(AsReply(FrameFromHex(kSingleExtendedBytes)), decoded));
    const DeviceConfig expected = SingleExtendedExample();
    EXPECT_EQ(decoded.serial.SerialBaudrate, 9);
    EXPECT_EQ(decoded.serial.SerialParity, 1);
    EXPECT_EQ(decoded.can.CanBaudrate, 12);
    EXPECT_EQ(decoded.can.CanBTR0, "00");
    EXPECT_EQ(decoded.can.CanBTR1, "1C");
    EXPECT_EQ(decoded.can.CanFrameType, 1);
    EXPECT_EQ(decoded.can.CanFiterMode, 1);
    EXPECT_EQ(decoded.can.CanID, expected.can.CanID);
    EXPECT_EQ(decoded.can.CanAcptCode, expected.can.CanAcptCode);
    EXPECT_EQ(decoded.can.CanAcptMask, expected.can.CanAcptMask);
    EXPECT_EQ(decoded.can.CanCustomMask, 1);
    EXPECT_EQ(decoded.tran.TranMode, 1);
    EXPECT_EQ(decoded.tran.TranDir, 1);
    EXPECT_EQ(decoded.tran.TranSpace, 4);
    EXPECT_EQ(decoded.tran.TranInfo, 0);
    EXPECT_EQ(decoded.tran.TranID, 0);
    EXPECT_EQ(decoded.tran.TranIdBase, 2);
    EXPECT_EQ(decoded.tran.TranLength, 4);
    // Single mode leaves the dual halves as they were.
    EXPECT_EQ(decoded.can.CanAcptCode1, "00 00");
    EXPECT_EQ(decoded.can.CanAcptMask1, "FF FF");
}

TEST(WorkedExampleTest, DualFilterReplyDecodesToTheFields) {
    DeviceConfig decoded;
    decoded.can.CanAcptCode = "99 99 99 99";
    ASSERT_TRUE(DecodeConfigFrame(AsReply(FrameFromHex(kDualStandardBytes)), decoded));
    EXPECT_EQ(decoded.serial.SerialBaudrate, 4);
    EXPECT_EQ(decoded.can.CanBaudrate, 10);
    EXPECT_EQ(decoded.can.CanBTR0, "01");
    EXPECT_EQ(decoded.can.CanFrameType, 0);
    EXPECT_EQ(decoded.can.CanFiterMode, 0);
    EXPECT_EQ(decoded.can.CanID, "00 00 07 FF");
    EXPECT_EQ(decoded.can.CanAcptCode1, "01 23");
    EXPECT_EQ(decoded.can.CanAcptCode2, "04 56");
    EXPECT_EQ(decoded.can.CanAcptMask1, "00 0F");
    EXPECT_EQ(decoded.can.CanAcptMask2, "00 F0");
    EXPECT_EQ(decoded.can.CanAcptCode, "01 23 04 56");
    EXPECT_EQ(decoded.can.CanAcptMask, "00 0F 00 F0");
    EXPECT_EQ(decoded.can.CanCustomMask, 1);
    EXPECT_EQ(decoded.tran.TranMode, 0);
    EXPECT_EQ(decoded.tran.TranSpace, 2);
    EXPECT_EQ(decoded.tran.TranInfo, 1);
    EXPECT_EQ(decoded.tran.TranID, 1);
    EXPECT_EQ(decoded.tran.TranLength, 1);
}

TEST(DecodeTest, WrongCheckByteChangesNothing) {
    ConfigFrame reply = AsReply(FrameFromHex(kSingleExtendedBytes));
    reply[32] ^= 0x01;
    DeviceConfig config;
    config.can.CanID = "untouched";
    config.serial.SerialBaudrate = 7;
    EXPECT_FALSE(DecodeConfigFrame(reply, config));
    EXPECT_EQ(config.can.CanID, "untouched");
    EXPECT_EQ(config.serial.SerialBaudrate, 7);
}

TEST(DecodeTest, OutOfListValuesAreStoredAsTheyCome) {
    ConfigFrame reply = AsReply(FrameFromHex(kSingleExtendedBytes));
    reply[4] = 0x00;   // bit-rate code 0 -> index 10, which the list lacks
    reply[20] = 0x00;  // mode 0 -> -1
    reply[11] = 0x02;  // any non-zero filter mode is a single filter
    reply[25] = 0x01;  // any non-zero byte 25 means extended frames
    reply[32] = XorCheck(reply.data(), 32);
    DeviceConfig config;
    ASSERT_TRUE(DecodeConfigFrame(reply, config));
    EXPECT_EQ(config.serial.SerialBaudrate, 10);
    EXPECT_EQ(config.tran.TranMode, -1);
    EXPECT_EQ(config.can.CanFiterMode, 2);
    EXPECT_EQ(config.can.CanFrameType, 1);
    EXPECT_EQ(config.can.CanAcptCode, "12 34 56 78");
}

struct ShiftCase {
    const char* name;
    int32_t frameType;
    int32_t filterMode;
    const char* code;
    const char* mask;
    std::array<uint8_t, 8> codeAndMaskBytes;  // bytes 12..19
};

void PrintTo(const ShiftCase& c, std::ostream* os) { *os << c.name; }

class FilterShiftTest : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(FilterShiftTest, PlacesCodeAndMaskInTheControllerLayout) {
    const ShiftCase& c = GetParam();
    DeviceConfig config;
    config.can.CanFrameType = c.frameType;
    config.can.CanFiterMode = c.filterMode;
    if (c.filterMode != 0) {
        config.can.CanAcptCode = c.code;
        config.can.CanAcptMask = c.mask;
    } else {
        // "code" and "mask" hold half 1 then half 2.
        const std::string code = c.code, mask = c.mask;
        config.can.CanAcptCode1 = code.substr(0, 5);
        config.can.CanAcptCode2 = code.substr(6);
        config.can.CanAcptMask1 = mask.substr(0, 5);
        config.can.CanAcptMask2 = mask.substr(6);
    }
    const ConfigFrame frame = EncodeConfigFrame(config);
    EXPECT_TRUE(std::equal(c.codeAndMaskBytes.begin(), c.codeAndMaskBytes.end(), &frame[12]))
        << c.name;

    DeviceConfig back;
    ASSERT_TRUE(DecodeConfigFrame(AsReply(frame), back));
    if (c.filterMode != 0) {
        EXPECT_EQ(back.can.CanAcptMask, c.mask) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, FilterShiftTest,
    ::testing::Values(ShiftCase{"single standard zero mask",
                                0,
                                1,
                                "00 00 00 00",
                                "00 00 00 00",
                                {0, 0, 0, 0, 0x00, 0x1F, 0xFF, 0xFF}},
                      ShiftCase{"single extended zero mask",
                                1,
                                1,
                                "00 00 00 00",
                                "00 00 00 00",
                                {0, 0, 0, 0, 0x00, 0x00, 0x00, 0x07}},
                      ShiftCase{"single standard id 7FF",
                                0,
                                1,
                                "00 00 07 FF",
                                "00 00 00 01",
                                {0xFF, 0xE0, 0x00, 0x00, 0x00, 0x3F, 0xFF, 0xFF}},
                      ShiftCase{"dual extended, halves unshifted and unfilled",
                                1,
                                0,
                                "12 34 56 78",
                                "00 FF FF 00",
                                {0x56, 0x78, 0x12, 0x34, 0xFF, 0x00, 0x00, 0xFF}},
                      ShiftCase{"dual standard, fill 001F",
                                0,
                                0,
                                "00 01 00 02",
                                "00 00 00 00",
                                {0x00, 0x40, 0x00, 0x20, 0x00, 0x1F, 0x00, 0x1F}}),
    [](const ::testing::TestParamInfo<ShiftCase>& param) {
        return "case" + std::to_string(param.index);
    });

TEST(EncodeTest, StandardIdentifierAboveElevenBitsLosesItsUpperBits) {
    DeviceConfig config;
    config.can.CanFrameType = 0;
    config.can.CanID = "00 00 08 01";
    const ConfigFrame frame = EncodeConfigFrame(config);
    EXPECT_EQ(frame[26], 0x00);
    EXPECT_EQ(frame[27], 0x20);
    EXPECT_EQ(frame[28], 0x00);
    EXPECT_EQ(frame[29], 0x00);
    DeviceConfig back;
    ASSERT_TRUE(DecodeConfigFrame(AsReply(frame), back));
    EXPECT_EQ(back.can.CanID, "00 00 00 01");
}

TEST(EncodeTest, CountsAndOddIndexesGoOutAsTheirLowByte) {
    DeviceConfig config;
    config.tran.TranSpace = 300;
    config.tran.TranIdBase = 0x1234;
    config.tran.TranLength = -1;
    config.can.CanFiterMode = -1;  // not 0: single filter, low byte in byte 11
    config.serial.SerialBaudrate = -1;
    const ConfigFrame frame = EncodeConfigFrame(config);
    EXPECT_EQ(frame[22], 0x2C);
    EXPECT_EQ(frame[31], 0x34);
    EXPECT_EQ(frame[30], 0xFF);
    EXPECT_EQ(frame[11], 0xFF);
    EXPECT_EQ(frame[19], 0xFF);  // single-filter mask "FF FF FF FF" << 21 | fill
    EXPECT_EQ(frame[16], 0xFF);
    EXPECT_EQ(frame[4], 0x0B);  // 10 - (-1)
}

TEST(EncodeTest, ExtremeStoredNumbersWrapWithoutOverflow) {
    // Run under the sanitizer build too: no signed overflow for any stored value.
    for (int32_t v : {INT32_MIN, INT32_MIN + 1, -1, INT32_MAX - 1, INT32_MAX}) {
        DeviceConfig c;
        c.serial.SerialBaudrate = v;
        c.tran.TranMode = v;
        c.tran.TranSpace = v;
        c.can.CanBaudrate = v;
        c.can.CanFiterMode = v;
        const ConfigFrame f = EncodeConfigFrame(c);
        const auto u = static_cast<uint32_t>(v);
        EXPECT_EQ(f[4], static_cast<uint8_t>(10u - u)) << v;
        EXPECT_EQ(f[20], static_cast<uint8_t>(u + 1u)) << v;
        EXPECT_EQ(f[22], static_cast<uint8_t>(u)) << v;
        EXPECT_EQ(f[8], static_cast<uint8_t>(u)) << v;
        EXPECT_EQ(f[32], XorCheck(f.data(), 32));
    }
}

TEST(EncodeTest, HexTextFormsEncodeAlike) {
    DeviceConfig plain;
    plain.can.CanFrameType = 1;
    plain.can.CanAcptCode = "12 34 56 78";
    plain.can.CanID = "0A BC DE F0";
    DeviceConfig typed = plain;
    typed.can.CanAcptCode = "12345678";
    typed.can.CanID = " 0a bcde  f0";
    EXPECT_EQ(EncodeConfigFrame(plain), EncodeConfigFrame(typed));
}

TEST(EncodeTest, ShortOrEmptyTextsEncodeMissingBytesAsZero) {
    DeviceConfig config;
    config.can.CanFrameType = 1;
    config.can.CanBTR0 = "";
    config.can.CanBTR1 = "  ";
    config.can.CanAcptCode = "12";
    config.can.CanID = "";
    const ConfigFrame frame = EncodeConfigFrame(config);
    EXPECT_EQ(frame[9], 0x00);
    EXPECT_EQ(frame[10], 0x00);
    EXPECT_EQ(frame[12], 0x90);  // 12000000 << 3
    EXPECT_EQ(frame[13], 0x00);
    EXPECT_EQ(frame[26] | frame[27] | frame[28] | frame[29], 0);
    // Encoding is a pure function: the same input gives the same bytes every time.
    EXPECT_EQ(frame, EncodeConfigFrame(config));
}

TEST(ProtocolConstantsTest, RequestAndAcknowledgement) {
    EXPECT_EQ(ReadRequest, (std::array<uint8_t, 6>{0xF7, 0xF8, 0x03, 0x01, 0xAA, 0xA7}));
    EXPECT_EQ(XorCheck(ReadRequest.data(), 5), ReadRequest[5]);
    EXPECT_EQ(ConfigAck(0x01), (std::array<uint8_t, 5>{0xF7, 0xF8, 0x01, 0x13, 0x1D}));
}

TEST(AckTest, OnlyTheExactFiveBytesForTheCommandCount) {
    const uint8_t good[] = {0xF7, 0xF8, 0x01, 0x13, 0x1D, 0x99, 0x98};
    EXPECT_TRUE(IsConfigAck(good, 5, 0x01));
    EXPECT_TRUE(IsConfigAck(good, 7, 0x01));  // trailing bytes ignored
    EXPECT_FALSE(IsConfigAck(good, 4, 0x01));
    EXPECT_FALSE(IsConfigAck(good, 5, 0x03));
    for (size_t i = 0; i < 5; ++i) {
        uint8_t bad[5];
        std::copy(good, good + 5, bad);
        bad[i] ^= 0x40;
        EXPECT_FALSE(IsConfigAck(bad, 5, 0x01)) << "byte " << i;
    }
}

TEST(FrameCheckTest, AReplyIsPlausibleOnlyWithEveryIndexInsideItsList) {
    const ConfigFrame good = AsReply(EncodeConfigFrame(testing::SingleExtendedExample()));
    EXPECT_TRUE(IsPlausibleReply(good));
    // offset, a value outside: serial bit-rate code 0 and 11, parity 4, CAN rate 16, filter mode 2,
    // TranMode 0 and 4 (index -1, 3), TranDir 3, the two flags 2.
    const std::pair<size_t, uint8_t> outside[] = {{4, 0x00}, {4, 0x0B}, {7, 4},  {8, 16}, {11, 2},
                                                  {20, 0},   {20, 4},   {21, 3}, {23, 2}, {24, 2}};
    for (const auto& [offset, value] : outside) {
        ConfigFrame bad = good;
        bad[offset] = value;
        EXPECT_FALSE(IsPlausibleReply(AsReply(bad))) << offset << " = " << int(value);
    }
    ConfigFrame wrongCheck = good;
    wrongCheck[32] ^= 1;
    EXPECT_FALSE(IsPlausibleReply(wrongCheck));
    ConfigFrame writeFrame = good;
    writeFrame[2] = kCmdWriteConfig;
    writeFrame[32] = XorCheck(writeFrame.data(), 32);
    EXPECT_FALSE(IsPlausibleReply(writeFrame));
}

TEST(FrameCheckTest, DifferencesNameTheFieldAndShowBytesTheSettingsHide) {
    DeviceConfig wrote = testing::DualStandardExample();
    const ConfigFrame written = EncodeConfigFrame(wrote);
    EXPECT_TRUE(CompareHeldFrame(written, AsReply(written)).empty());  // command and check ignored
    ConfigFrame held = AsReply(written);
    held[5] = 0x07;    // data bits: the decoder does not read them
    held[21] = 1;      // TranDir
    held[17] ^= 0x01;  // a fill bit of CanAcptMask2, below the identifier
    const auto differences = CompareHeldFrame(written, held);
    ASSERT_EQ(differences.size(), 2u);
    EXPECT_EQ(differences[0].name, "CanAcptMask2");
    EXPECT_NE(differences[0].wrote.find("["), std::string::npos);
    EXPECT_EQ(differences[1].name, "TranDir");
    EXPECT_EQ(differences[1].wrote, "0 (Dual Direction)");
    EXPECT_EQ(differences[1].holds.substr(0, 2), "1 ");
}

}  // namespace
}  // namespace linkmate
