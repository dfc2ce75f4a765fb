#include <gtest/gtest.h>

#include <cmath>

#include "protocol/bit_timing.h"
#include "protocol/device_config.h"
#include "protocol/hex_text.h"

namespace linkmate {
namespace {

struct PresetCase {
    int index;
    double rate;
    double samplePoint;
};

TEST(BitTimingTest, EveryPresetDecodesToItsRate) {
    const PresetCase presets[] = {
        {1, 5000, 17.0 / 25},  {2, 10000, 0.875},   {3, 20000, 0.875},  {4, 40000, 17.0 / 25},
        {5, 50000, 0.875},     {6, 80000, 17.0 / 25}, {7, 100000, 0.875}, {8, 125000, 0.875},
        {9, 200000, 0.6},      {10, 250000, 0.875}, {11, 400000, 0.6},   {12, 500000, 0.875},
        {13, 16e6 / 24, 8.0 / 12}, {14, 800000, 0.8}, {15, 1000000, 0.75},
    };
    for (const PresetCase& p : presets) {
        const CanBaudPreset& preset = CanBaudPresets[static_cast<size_t>(p.index)];
        const BitTiming t = DecodeBitTiming(static_cast<uint8_t>(ParseHexGroups(preset.btr0, 1)),
                                            static_cast<uint8_t>(ParseHexGroups(preset.btr1, 1)));
        EXPECT_NEAR(t.bitRate, p.rate, 0.5) << p.index;
        EXPECT_NEAR(t.samplePoint, p.samplePoint, 1e-9) << p.index;
        // Encoding the decoded fields gives the same two bytes.
        EXPECT_EQ(t.btr0, ParseHexGroups(preset.btr0, 1)) << p.index;
        EXPECT_EQ(t.btr1, ParseHexGroups(preset.btr1, 1)) << p.index;
    }
    const BitTiming k250 = DecodeBitTiming(0x01, 0x1C);
    EXPECT_EQ(k250.brp, 2);
    EXPECT_EQ(k250.tseg1, 13);
    EXPECT_EQ(k250.tseg2, 2);
    EXPECT_EQ(k250.sjw, 1);
    EXPECT_EQ(k250.quanta, 16);
    EXPECT_FALSE(k250.tripleSampling);
    EXPECT_TRUE(DecodeBitTiming(0xBF, 0xFF).tripleSampling);
}

TEST(BitTimingTest, CalculatorFindsExactPairsWithinTheLimitsBestFirst) {
    const double wanted[] = {5000, 10000, 20000, 40000, 50000, 80000, 100000, 125000, 200000,
                             250000, 400000, 500000, 16e6 / 24, 800000, 1000000,
                             100000.0 / 3, 250000.0 / 3, 2000000.0 / 21};
    for (double rate : wanted) {
        SCOPED_TRACE(rate);
        const double sp = RecommendedSamplePoint(rate);
        const auto found = FindBitTimings(rate, sp);
        ASSERT_FALSE(found.empty());
        EXPECT_NEAR(found.front().bitRate, rate, 0.5);
        for (const BitTiming& t : found) {
            EXPECT_GE(t.brp, 1);
            EXPECT_LE(t.brp, 64);
            EXPECT_GE(t.tseg1, 1);
            EXPECT_LE(t.tseg1, 16);
            EXPECT_GE(t.tseg2, 1);
            EXPECT_LE(t.tseg2, 8);
            EXPECT_GE(t.quanta, 8);
            EXPECT_LE(t.sjw, t.tseg2);
            EXPECT_LE(t.sjw, 4);
            EXPECT_LE(std::abs(t.bitRate - rate) / rate, 0.01);
            // The bytes say what the fields say.
            const BitTiming again = DecodeBitTiming(t.btr0, t.btr1);
            EXPECT_EQ(again.brp, t.brp);
            EXPECT_EQ(again.tseg1, t.tseg1);
            EXPECT_EQ(again.tseg2, t.tseg2);
            EXPECT_EQ(again.sjw, t.sjw);
        }
        for (size_t i = 1; i < found.size(); ++i) {
            EXPECT_LE(std::abs(found[i - 1].bitRate - rate), std::abs(found[i].bitRate - rate) + 0.5);
            // No exact pair comes closer to the wanted sample point than the first.
            if (std::abs(found[i].bitRate - rate) < 0.5) {
                EXPECT_LE(std::abs(found.front().samplePoint - sp),
                          std::abs(found[i].samplePoint - sp) + 1e-9);
            }
        }
    }
    // Where the limits allow it, the first pair has the recommended sample point exactly.
    for (double rate : {10000.0, 20000.0, 50000.0, 100000.0, 125000.0, 250000.0, 500000.0,
                        800000.0, 1000000.0, 250000.0 / 3}) {
        EXPECT_NEAR(FindBitTimings(rate, RecommendedSamplePoint(rate)).front().samplePoint,
                    RecommendedSamplePoint(rate), 1e-9) << rate;
    }
    EXPECT_NEAR(FindBitTimings(500000, 0.875).front().samplePoint, 0.875, 1e-9);
    EXPECT_NEAR(FindBitTimings(1000000, 0.75).front().samplePoint, 0.75, 1e-9);
    EXPECT_TRUE(FindBitTimings(2'000'000, 0.75).empty());  // faster than the controller
    EXPECT_TRUE(FindBitTimings(-1, 0.875).empty());
    EXPECT_TRUE(FindBitTimings(1000, 0.875).empty());  // slower than the controller
    EXPECT_TRUE(FindBitTimings(10000, 0.875, true).front().tripleSampling);
}

TEST(BitTimingTest, RatesAsTheyAreWritten) {
    EXPECT_EQ(ParseBitRate("83333"), 83333.0);
    EXPECT_NEAR(*ParseBitRate("83.333k"), 83333.0, 1e-6);
    EXPECT_NEAR(*ParseBitRate("83.3K"), 83300.0, 1e-6);
    EXPECT_EQ(ParseBitRate("1M"), 1e6);
    for (const char* bad : {"", "k", "fast", "-5", "12x", "nan"}) EXPECT_FALSE(ParseBitRate(bad)) << bad;
}

}  // namespace
}  // namespace linkmate
