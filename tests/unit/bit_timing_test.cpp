#include "protocol/bit_timing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "protocol/device_config.h"
#include "protocol/hex_text.h"

namespace linkmate {
namespace {

BitTiming Preset(size_t index) {
    return DecodeBitTiming(static_cast<uint8_t>(ParseHexGroups(CanBaudPresets[index].btr0, 1)),
                           static_cast<uint8_t>(ParseHexGroups(CanBaudPresets[index].btr1, 1)));
}

int Permille(const BitTiming& t) { return static_cast<int>(t.samplePoint * 1000 + 1e-9); }

// What Linux's can_calc_bittiming answers for an SJA1000 (its bittiming_const: TSEG1 1-16, TSEG2
// 1-8, SJW up to 4, BRP 1-64) at its 8 MHz CAN clock. Computed once by a separate Python port of
// the kernel's function (unsigned arithmetic, loop order and break as in
// drivers/net/can/dev/calc_bittiming.c), not by the code under test. Sample point 0: the kernel's
// CiA default. SJW is the kernel's classic default, 1.
struct KernelAnswer {
    uint32_t rate;
    int askedPermille;
    uint8_t btr0, btr1;
    int tqNs, propSeg, phaseSeg1, phaseSeg2;
    int samplePermille;
};
// clang-format off
constexpr KernelAnswer kKernelAnswers[] = {
    {   5000,   0, 0x3F, 0x7F, 8000, 8, 8, 8, 680},
    {  10000,   0, 0x31, 0x1C, 6250, 6, 7, 2, 875},
    {  20000,   0, 0x18, 0x1C, 3125, 6, 7, 2, 875},
    {  40000,   0, 0x18, 0x05, 3125, 3, 3, 1, 875},
    {  50000,   0, 0x09, 0x1C, 1250, 6, 7, 2, 875},
    {  80000,   0, 0x04, 0x2F,  625, 8, 8, 3, 850},
    { 100000,   0, 0x04, 0x1C,  625, 6, 7, 2, 875},
    { 125000,   0, 0x03, 0x1C,  500, 6, 7, 2, 875},
    { 200000,   0, 0x04, 0x05,  625, 3, 3, 1, 875},
    { 250000,   0, 0x01, 0x1C,  250, 6, 7, 2, 875},
    { 400000,   0, 0x00, 0x2F,  125, 8, 8, 3, 850},
    { 500000,   0, 0x00, 0x1C,  125, 6, 7, 2, 875},
    { 666667,   0, 0x00, 0x27,  125, 4, 4, 3, 750},
    { 800000,   0, 0x00, 0x16,  125, 3, 4, 2, 800},
    {1000000,   0, 0x00, 0x14,  125, 2, 3, 2, 750},
    {  33333,   0, 0x0E, 0x1C, 1875, 6, 7, 2, 875},
    {  83333,   0, 0x05, 0x1C,  750, 6, 7, 2, 875},
    {  17000,   0, 0x2E, 0x16, 5875, 3, 4, 2, 800},
    {  95238,   0, 0x05, 0x1A,  750, 5, 6, 2, 857},
    { 500000, 800, 0x00, 0x3A,  125, 5, 6, 4, 750},
    { 125000, 750, 0x03, 0x3A,  500, 5, 6, 4, 750},
    { 250000, 600, 0x01, 0x67,  250, 4, 4, 7, 562},
    {1000000, 875, 0x00, 0x05,  125, 3, 3, 1, 875},
};
// clang-format on

TEST(BitTimingTest, FirstAnswerIsTheKernelsAndItsLineGivesItBack) {
    for (const KernelAnswer& k : kKernelAnswers) {
        SCOPED_TRACE(std::to_string(k.rate) + " at " + std::to_string(k.askedPermille));
        const int asked = k.askedPermille != 0 ? k.askedPermille : RecommendedSamplePoint(k.rate);
        const auto found = FindBitTimings(k.rate, asked);
        ASSERT_FALSE(found.empty());
        const BitTiming& t = found.front();
        EXPECT_EQ(t.btr0, k.btr0);
        EXPECT_EQ(t.btr1, k.btr1);
        EXPECT_EQ(t.tqNs, k.tqNs);
        EXPECT_EQ(t.propSeg, k.propSeg);
        EXPECT_EQ(t.phaseSeg1, k.phaseSeg1);
        EXPECT_EQ(t.phaseSeg2, k.phaseSeg2);
        EXPECT_EQ(Permille(t), k.samplePermille);
        // What was asked, pasted into ip link, makes the kernel arrive at the same pair.
        const std::string line = SocketCanBitrateLine(t, k.rate, asked);
        EXPECT_EQ(line.rfind("ip link set can0 type can bitrate " + std::to_string(k.rate) +
                                 " sample-point 0.",
                             0),
                  0u)
            << line;
    }
    EXPECT_EQ(SocketCanBitrateLine(FindBitTimings(500000, 875).front(), 500000, 875),
              "ip link set can0 type can bitrate 500000 sample-point 0.875");
    EXPECT_EQ(SocketCanTqLine(FindBitTimings(500000, 875).front()),
              "ip link set can0 type can tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1");
    // Since Linux 6.3 an unnamed SJW is phase-seg2 / 2, here 2: the line names it.
    EXPECT_EQ(SocketCanBitrateLine(FindBitTimings(500000, 800).front(), 500000, 800),
              "ip link set can0 type can bitrate 500000 sample-point 0.8 sjw 1");
}

// The converter's own table keeps six pairs that Linux would not choose (triple sampling, SJW 3-4,
// a sample point of 60-68 %); the others are the calculator's first answer for their rate.
TEST(BitTimingTest, PresetsAreTheFirstAnswerOrTheConvertersOwn) {
    const std::set<size_t> convertersOwn = {1, 4, 6, 9, 11, 13};
    for (size_t i = 1; i < CanBaudPresets.size(); ++i) {
        const BitTiming preset = Preset(i);
        const auto rate = static_cast<uint32_t>(std::lround(preset.bitRate));
        const BitTiming first = FindBitTimings(rate, RecommendedSamplePoint(rate)).front();
        const bool same = first.btr0 == preset.btr0 && first.btr1 == preset.btr1;
        EXPECT_EQ(same, !convertersOwn.count(i)) << "preset " << i;
        EXPECT_TRUE(BitTimingWarnings(preset).empty()) << "preset " << i;
        EXPECT_FALSE(SocketCanTqLine(preset).empty());
    }
    // Where Linux would choose the same bit, the line keeps the preset's SJW and triple sampling.
    EXPECT_EQ(SocketCanBitrateLine(Preset(4)),
              "ip link set can0 type can bitrate 40000 sample-point 0.68 sjw 3 triple-sampling on");
    EXPECT_EQ(SocketCanTqLine(Preset(4)),
              "ip link set can0 type can tq 1000 prop-seg 8 phase-seg1 8 phase-seg2 8 sjw 3 "
              "triple-sampling on");
}

TEST(BitTimingTest, CalculatorStaysWithinTheRulesSjwOneFirst) {
    for (uint32_t rate : {5000u, 10000u, 17000u, 83333u, 125000u, 500000u, 666667u, 1000000u}) {
        SCOPED_TRACE(rate);
        const int asked = RecommendedSamplePoint(rate);
        const auto found = FindBitTimings(rate, asked, false, 100);
        ASSERT_FALSE(found.empty());
        bool alternatives = false;
        for (const BitTiming& t : found) {
            EXPECT_GE(t.quanta, 8);
            EXPECT_LE(Permille(t), asked);
            EXPECT_LE(std::abs(t.bitRate - rate) / rate, 0.01);
            EXPECT_TRUE(BitTimingWarnings(t).empty());
            EXPECT_LE(t.sjw, std::min(4, t.phaseSeg1));
            alternatives |= t.sjw > 1;
            EXPECT_TRUE(t.sjw > 1 || !alternatives) << "SJW 1 after a larger SJW";
            const BitTiming again = DecodeBitTiming(t.btr0, t.btr1);
            EXPECT_EQ(again.btr0, t.btr0);
            EXPECT_EQ(again.tqNs, t.tqNs);
        }
        EXPECT_TRUE(alternatives);
    }
    const auto k500 = FindBitTimings(500000, 875);
    ASSERT_GE(k500.size(), 3u);
    EXPECT_EQ(k500[0].btr0, 0x00);  // SJW 1, as the preset and ip link have it
    EXPECT_EQ(k500[2].btr0, 0x40);  // the same bit with SJW 2 after the other bits
    EXPECT_EQ(k500[2].btr1, 0x1C);
    // 17 k: the kernel never passes the sample point asked for, even for a closer one above it.
    EXPECT_EQ(FindBitTimings(17000, 875).front().btr1, 0x16);
    EXPECT_TRUE(FindBitTimings(900000, 750).empty());  // 888.9 k is 1.2 % off: the kernel takes it
    EXPECT_TRUE(FindBitTimings(2'000'000, 750).empty());
    EXPECT_TRUE(FindBitTimings(1000, 875).empty());
    EXPECT_TRUE(FindBitTimings(0, 875).empty());
    EXPECT_TRUE(FindBitTimings(10000, 875, true).front().tripleSampling);
    EXPECT_EQ(FindBitTimings(10000, 875, false, 3).size(), 3u);
}

TEST(BitTimingTest, DecoderWarnsOfPairsNoControllerShouldGet) {
    EXPECT_TRUE(BitTimingWarnings(DecodeBitTiming(0x00, 0x1C)).empty());
    const auto sjw = BitTimingWarnings(DecodeBitTiming(0x40, 0x00));  // SJW 2, TSEG1 1, TSEG2 1
    ASSERT_EQ(sjw.size(), 2u);
    EXPECT_EQ(sjw[0], "SJW 2 is longer than TSEG2 1");
    EXPECT_EQ(sjw[1], "3 quanta per bit, fewer than 8");
    EXPECT_EQ(SocketCanTqLine(DecodeBitTiming(0x40, 0x00)), "");        // Linux refuses it
    const auto early = BitTimingWarnings(DecodeBitTiming(0x00, 0x20));  // TSEG1 1, TSEG2 3
    ASSERT_EQ(early.size(), 3u);
    EXPECT_EQ(early[0], "TSEG2 3 is longer than TSEG1 1");
    EXPECT_EQ(early[1], "sample point 40.0 % is below 50 %");
    EXPECT_TRUE(BitTimingWarnings(DecodeBitTiming(0x00, 0x77)).empty());  // TSEG2 as long as TSEG1
    // SocketCAN's terms of a decoded pair; an SJW beyond half of TSEG1 moves quanta out of
    // prop-seg, which ip link would otherwise refuse.
    const BitTiming wide = DecodeBitTiming(0xC3, 0x34);  // BRP 4, SJW 4, TSEG1 5, TSEG2 4
    EXPECT_EQ(wide.tqNs, 500);
    EXPECT_EQ(wide.phaseSeg1, 4);
    EXPECT_EQ(wide.propSeg, 1);
    EXPECT_EQ(SocketCanTqLine(wide),
              "ip link set can0 type can tq 500 prop-seg 1 phase-seg1 4 phase-seg2 4 sjw 4");
}

TEST(BitTimingTest, InputsAsPeopleTypeThem) {
    for (const char* same : {"87.5", "87.5 %", "87.5%", " 0.875", "875"})
        EXPECT_EQ(ParseSamplePoint(same), 875) << same;
    EXPECT_EQ(ParseSamplePoint("0.25"), 250);
    EXPECT_EQ(ParseSamplePoint("80"), 800);
    EXPECT_EQ(ParseSamplePoint("0.875 %"), 9);
    EXPECT_EQ(ParseSamplePoint("1500"), 1500);
    for (const char* bad : {"", "%", "x", "-5", "87,5", "nan", "inf"})
        EXPECT_FALSE(ParseSamplePoint(bad)) << bad;

    EXPECT_EQ(ParseBitRate("83333"), 83333u);
    EXPECT_EQ(ParseBitRate("83.3333k"), 83333u);
    EXPECT_EQ(ParseBitRate("666.6667K"), 666667u);
    EXPECT_EQ(ParseBitRate("1M"), 1000000u);
    for (const char* bad : {"", "k", "fast", "-5", "12x", "nan", "0.1", "5000M"})
        EXPECT_FALSE(ParseBitRate(bad)) << bad;
}

}  // namespace
}  // namespace linkmate
