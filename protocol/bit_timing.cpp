#include "protocol/bit_timing.h"

#include "protocol/text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace linkmate {
namespace {

constexpr int kMaxBrp = 64;
constexpr int kMaxTseg1 = 16;
constexpr int kMaxTseg2 = 8;
constexpr int kMinQuanta = 8;
constexpr int kMaxSjw = 4;
constexpr double kMaxRateError = 0.01;
// Rates are given to the bit per second; a pair within half a bit of the wanted rate is exact.
constexpr double kExactWithinBitPerSecond = 0.5;

BitTiming Make(int brp, int sjw, int tseg1, int tseg2, bool sam) {
    BitTiming t;
    t.brp = brp;
    t.sjw = sjw;
    t.tseg1 = tseg1;
    t.tseg2 = tseg2;
    t.tripleSampling = sam;
    t.quanta = 1 + tseg1 + tseg2;
    t.bitRate = static_cast<double>(kCanClockHz) / (2.0 * brp * t.quanta);
    t.samplePoint = static_cast<double>(1 + tseg1) / t.quanta;
    t.btr0 = static_cast<uint8_t>(((sjw - 1) << 6) | (brp - 1));
    t.btr1 = static_cast<uint8_t>((sam ? 0x80 : 0) | ((tseg2 - 1) << 4) | (tseg1 - 1));
    return t;
}

}  // namespace

BitTiming DecodeBitTiming(uint8_t btr0, uint8_t btr1) {
    return Make((btr0 & 0x3F) + 1, (btr0 >> 6) + 1, (btr1 & 0x0F) + 1, ((btr1 >> 4) & 0x07) + 1,
                (btr1 & 0x80) != 0);
}

double RecommendedSamplePoint(double bitRate) {
    if (bitRate >= 1'000'000 * 0.99) return 0.75;
    if (bitRate >= 800'000 * 0.99) return 0.80;
    return 0.875;
}

std::vector<BitTiming> FindBitTimings(double bitRate, double samplePoint, bool tripleSampling,
                                      size_t limit) {
    std::vector<BitTiming> found;
    if (!(bitRate > 0)) return found;
    for (int brp = 1; brp <= kMaxBrp; ++brp) {
        for (int quanta = kMinQuanta; quanta <= 1 + kMaxTseg1 + kMaxTseg2; ++quanta) {
            const double rate = static_cast<double>(kCanClockHz) / (2.0 * brp * quanta);
            if (std::abs(rate - bitRate) / bitRate > kMaxRateError) continue;
            // The split of the quanta that comes closest to the wanted sample point.
            std::optional<BitTiming> best;
            for (int tseg2 = 1; tseg2 <= kMaxTseg2; ++tseg2) {
                const int tseg1 = quanta - 1 - tseg2;
                if (tseg1 < 1 || tseg1 > kMaxTseg1) continue;
                const BitTiming t = Make(brp, std::min(kMaxSjw, tseg2), tseg1, tseg2, tripleSampling);
                if (!best || std::abs(t.samplePoint - samplePoint) < std::abs(best->samplePoint - samplePoint)) {
                    best = t;
                }
            }
            if (best) found.push_back(*best);
        }
    }
    const auto error = [bitRate](const BitTiming& t) { return std::abs(t.bitRate - bitRate); };
    std::stable_sort(found.begin(), found.end(), [&](const BitTiming& a, const BitTiming& b) {
        const bool exactA = error(a) < kExactWithinBitPerSecond;
        const bool exactB = error(b) < kExactWithinBitPerSecond;
        if (exactA != exactB) return exactA;
        if (!exactA && error(a) != error(b)) return error(a) < error(b);
        const double spA = std::abs(a.samplePoint - samplePoint);
        const double spB = std::abs(b.samplePoint - samplePoint);
        if (std::abs(spA - spB) > 1e-9) return spA < spB;
        return a.quanta > b.quanta;
    });
    if (found.size() > limit) found.resize(limit);
    return found;
}

std::optional<double> ParseBitRate(std::string_view text) {
    std::string s(text);
    while (!s.empty() && s.back() == ' ') s.pop_back();
    double factor = 1;
    if (!s.empty() && (s.back() == 'k' || s.back() == 'K')) {
        factor = 1000;
        s.pop_back();
    } else if (!s.empty() && (s.back() == 'm' || s.back() == 'M')) {
        factor = 1'000'000;
        s.pop_back();
    }
    if (s.empty()) return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !(value > 0) || !std::isfinite(value)) return std::nullopt;
    return value * factor;
}

std::string DescribeBitTiming(const BitTiming& t) {
    char rate[32], point[32];
    std::snprintf(rate, sizeof rate, "%.3f", t.bitRate / 1000.0);
    std::snprintf(point, sizeof point, "%.1f", t.samplePoint * 100.0);
    std::string out = text::Arg(text::translate("BitTiming", "%1 kbit/s, sample point %2 %, %3 quanta, SJW %4"),
                                {rate, point, std::to_string(t.quanta), std::to_string(t.sjw)});
    if (t.tripleSampling) out += text::translate("BitTiming", ", triple sampling");
    return out;
}

}  // namespace linkmate
