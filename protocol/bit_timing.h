// CAN bit timing as the converter's controller takes it: the two bus-timing bytes of the SJA1000
// family at a 16 MHz controller clock (every preset of the CAN page is exact there, 666 K being
// 666 667 bit/s).
//   BTR0: bits 7-6 SJW-1, bits 5-0 BRP-1
//   BTR1: bit 7 SAM (triple sampling), bits 6-4 TSEG2-1, bits 3-0 TSEG1-1
//   bit rate = 16 MHz / (2 * BRP * (1 + TSEG1 + TSEG2)); sample point = (1 + TSEG1) / quanta
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkmate {

inline constexpr uint32_t kCanClockHz = 16'000'000;

struct BitTiming {
    int brp = 1;
    int sjw = 1;
    int tseg1 = 1;
    int tseg2 = 1;
    bool tripleSampling = false;
    int quanta = 3;           // time quanta per bit: 1 + TSEG1 + TSEG2
    double bitRate = 0;       // bit/s
    double samplePoint = 0;   // 0..1
    uint8_t btr0 = 0;
    uint8_t btr1 = 0;
};

BitTiming DecodeBitTiming(uint8_t btr0, uint8_t btr1);

// The CAN in Automation recommendation: 87.5 % below 800 kbit/s, 80 % at 800 K, 75 % at 1 M.
double RecommendedSamplePoint(double bitRate);

// The register pairs that reach `bitRate` (within 1 %) at about `samplePoint`, best first: exact
// rate, then smallest rate error, then closest sample point, then more quanta per bit. Within
// the controller's limits (BRP 1-64, TSEG1 1-16, TSEG2 1-8, at least 8 quanta per bit, TSEG2 >=
// SJW), SJW as large as TSEG2 allows up to 4. At most `limit` pairs.
std::vector<BitTiming> FindBitTimings(double bitRate, double samplePoint,
                                      bool tripleSampling = false, size_t limit = 20);

// "83333", "83.333k", "83.3K", "1M": a bit rate in bit/s, or nothing.
std::optional<double> ParseBitRate(std::string_view text);

// "250 kbit/s, sample point 87.5 %, 16 quanta, SJW 1" (with "triple sampling" when set).
std::string DescribeBitTiming(const BitTiming& timing);

}  // namespace linkmate
