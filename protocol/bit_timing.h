// CAN bit timing as the converter's controller takes it: the two bus-timing bytes of the SJA1000
// family at a 16 MHz controller clock (every preset of the CAN page is exact there, 666 K being
// 666 667 bit/s).
//   BTR0: bits 7-6 SJW-1, bits 5-0 BRP-1
//   BTR1: bit 7 SAM (triple sampling), bits 6-4 TSEG2-1, bits 3-0 TSEG1-1
//   bit rate = 16 MHz / (2 * BRP * (1 + TSEG1 + TSEG2)); sample point = (1 + TSEG1) / quanta
// SocketCAN describes the same bit in its own units: Linux runs an SJA1000 at half its crystal
// (8 MHz), so one time quantum is BRP * 125 ns, and TSEG1 is prop-seg + phase-seg1.
//
// The calculator chooses the way Linux does (can_calc_bittiming with the SJA1000's limits), so a
// Linux node and the converter agree on the bus: the sample point at or below the one asked for
// (by default CiA 301 as Linux applies it), the kernel's rounding and tie-breaks; it adds its
// own rules of at least 8 quanta per bit and at most 1 % rate error.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace linkmate {

inline constexpr uint32_t kCanClockHz = 16'000'000;
// What a sample point may be asked for, in per mille.
inline constexpr int kMinSamplePointPermille = 500;
inline constexpr int kMaxSamplePointPermille = 950;
// Far beyond any CAN controller; keeps a typed rate within 32 bits.
inline constexpr double kMaxBitRate = 1e9;

struct BitTiming {
    int brp = 1;
    int sjw = 1;
    int tseg1 = 1;
    int tseg2 = 1;
    bool tripleSampling = false;
    int quanta = 3;          // time quanta per bit: 1 + TSEG1 + TSEG2
    double bitRate = 0;      // bit/s
    double samplePoint = 0;  // 0..1
    uint8_t btr0 = 0;
    uint8_t btr1 = 0;
    // SocketCAN's terms: tq in ns, TSEG1 split into prop-seg and phase-seg1, phase-seg2 = TSEG2.
    int tqNs = 0;
    int propSeg = 0;
    int phaseSeg1 = 0;
    int phaseSeg2 = 0;
};

BitTiming DecodeBitTiming(uint8_t btr0, uint8_t btr1);

// Why no CAN controller should be given this timing (SJW longer than TSEG2, TSEG2 longer than
// TSEG1, sample point below 50 %, fewer than 8 quanta), one phrase each; empty when it is sound.
std::vector<std::string> BitTimingWarnings(const BitTiming& timing);

// CiA 301 as Linux applies it, in per mille: 875 up to 500 kbit/s, 800 up to 800 kbit/s, 750 above.
int RecommendedSamplePoint(uint32_t bitRate);

// A sample point in any of the forms people type, in per mille (rounded): "87.5" or "87.5 %"
// (percent), "0.875" (a fraction, as iproute2 takes it), "875" (per mille, as can-calc-bit-timing
// takes it). Nothing when it is not a number; the range is the caller's to check
// (kMinSamplePointPermille..kMaxSamplePointPermille): "0.25" is 250, "1500" is 1500.
std::optional<int> ParseSamplePoint(std::string_view text);

// The register pairs that reach `bitRate` (bit/s) within 1 % with a sample point at or below
// `samplePointPermille`, best first as Linux ranks them: smallest rate error, then sample point
// closest to the one asked for, then more quanta per bit, then the larger prescaler. All with
// SJW 1 first, then the same timings with larger SJW (up to 4, TSEG2 and phase-seg1) as
// alternatives. At most `limit` pairs.
std::vector<BitTiming> FindBitTimings(uint32_t bitRate, int samplePointPermille,
                                      bool tripleSampling = false, size_t limit = 20);

// "ip link set can0 type can bitrate 500000 sample-point 0.875": the line that gives an SJA1000
// on Linux exactly this timing through the kernel's own calculation, tried with the wanted rate
// and sample point (when given) and then with the timing's own; empty when no such line does.
// Both lines are empty for an SJW longer than TSEG2, which Linux refuses.
std::string SocketCanBitrateLine(const BitTiming& timing, uint32_t wantedBitRate = 0,
                                 int wantedSamplePointPermille = 0);
// "ip link set can0 type can tq 125 prop-seg 6 phase-seg1 7 phase-seg2 2 sjw 1": always exact.
std::string SocketCanTqLine(const BitTiming& timing);

// "83333", "83.333k", "83.3K", "1M": a bit rate in whole bit/s (as Linux takes it), or nothing.
std::optional<uint32_t> ParseBitRate(std::string_view text);

// "250 kbit/s, sample point 87.5 %, 16 quanta, SJW 1" (with "triple sampling" when set).
std::string DescribeBitTiming(const BitTiming& timing);
// The same, then a line for each warning: "Warning: SJW 2 is longer than TSEG2 1".
std::string DescribeBitTimingWithWarnings(const BitTiming& timing);

}  // namespace linkmate
