#include "protocol/bit_timing.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "protocol/text.h"

namespace linkmate {
namespace {

// Linux runs the SJA1000 at half its crystal; the prescaler counts periods of that clock.
constexpr uint32_t kControllerClockHz = kCanClockHz / 2;
constexpr int64_t kNsPerSecond = 1'000'000'000;
constexpr int kMaxBrp = 64;
constexpr int kMaxTseg1 = 16;
constexpr int kMaxTseg2 = 8;
constexpr int kMaxSjw = 4;
constexpr int kMaxQuanta = 1 + kMaxTseg1 + kMaxTseg2;
// Ours: fewer quanta leave too little room to resynchronise. The kernel goes down to 3.
constexpr int kMinQuanta = 8;
constexpr int kKernelMinQuanta = 3;
// Ours: 1 %. The kernel accepts up to 5.0 % (its error truncated to tenths of a percent).
constexpr uint32_t kMaxRateErrorPercent = 1;
constexpr uint32_t kKernelMaxRateErrorPermille = 50;
constexpr int kPermille = 1000;

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
    t.tqNs = static_cast<int>(brp * kNsPerSecond / kControllerClockHz);
    // Linux halves TSEG1 (prop-seg the smaller half), and refuses an SJW longer than phase-seg1;
    // the register holds only the sum, so a longer SJW takes its quanta from prop-seg.
    t.phaseSeg1 = std::min(tseg1, std::max(tseg1 - tseg1 / 2, sjw));
    t.propSeg = tseg1 - t.phaseSeg1;
    t.phaseSeg2 = tseg2;
    return t;
}

// Truncated to whole bit/s and per mille, as Linux computes and compares them.
uint32_t KernelRate(int brp, int quanta) {
    return kControllerClockHz / static_cast<uint32_t>(brp * quanta);
}
int KernelSamplePoint(int quanta, int tseg2) { return kPermille * (quanta - tseg2) / quanta; }

struct Split {
    int tseg1;
    int tseg2;
    int error;  // per mille below the wanted sample point
};

// How Linux splits a bit of `quanta`: the sample point rounded down to a whole quantum, or one
// quantum later where its truncated per mille still does not pass the wanted one; both pulled
// into the controller's limits. Nothing when neither lies at or below the wanted sample point.
// For 3 quanta at a low sample point this leaves TSEG1 empty; the kernel takes that too, and such a
// choice then matches no pair of ours (which have at least 8 quanta).
std::optional<Split> SplitQuanta(int quanta, int wanted) {
    std::optional<Split> best;
    for (int later = 0; later <= 1; ++later) {
        int tseg2 = std::clamp(quanta - wanted * quanta / kPermille - later, 1, kMaxTseg2);
        int tseg1 = quanta - 1 - tseg2;
        if (tseg1 > kMaxTseg1) {
            tseg1 = kMaxTseg1;
            tseg2 = quanta - 1 - tseg1;
        }
        const int point = KernelSamplePoint(quanta, tseg2);
        if (point <= wanted && (!best || wanted - point < best->error))
            best = Split{tseg1, tseg2, wanted - point};
    }
    return best;
}

struct Ranked {
    BitTiming timing;
    uint32_t rateError;    // bit/s
    int samplePointError;  // per mille
};

// Every timing Linux weighs for `bitRate`, in its order of preference. For each bit length it
// tries the two prescalers around the exact one (any other is further off). The kernel scans
// instead of sorting; after a closer rate whose bit cannot be split at or below the wanted
// sample point, its scan forgets the best sample point so far. With at least 8 quanta and a
// sample point of 50 % or more that never changes its answer, and the ip link lines (which
// reach down to 3 quanta) were checked against the kernel's scan over a sweep of rates and
// sample points.
std::vector<Ranked> Rank(uint32_t bitRate, int wanted, int minQuanta) {
    std::vector<Ranked> ranked;
    if (bitRate == 0) return ranked;
    for (int quanta = kMaxQuanta; quanta >= minQuanta; --quanta) {
        const auto split = SplitQuanta(quanta, wanted);
        if (!split) continue;
        const uint64_t below =
            kControllerClockHz / (uint64_t{static_cast<uint32_t>(quanta)} * bitRate);
        for (const uint64_t brp : {below + 1, below}) {
            if (brp < 1 || brp > kMaxBrp) continue;
            const uint32_t rate = KernelRate(static_cast<int>(brp), quanta);
            const uint32_t error = rate > bitRate ? rate - bitRate : bitRate - rate;
            ranked.push_back({Make(static_cast<int>(brp), 1, split->tseg1, split->tseg2, false),
                              error, split->error});
        }
    }
    std::stable_sort(ranked.begin(), ranked.end(), [](const Ranked& a, const Ranked& b) {
        if (a.rateError != b.rateError) return a.rateError < b.rateError;
        if (a.samplePointError != b.samplePointError)
            return a.samplePointError < b.samplePointError;
        if (a.timing.quanta != b.timing.quanta) return a.timing.quanta > b.timing.quanta;
        return a.timing.brp > b.timing.brp;
    });
    return ranked;
}

// What the kernel makes of `bitrate R sample-point S`, when it accepts them.
std::optional<BitTiming> KernelChoice(uint32_t bitRate, int wanted) {
    const std::vector<Ranked> ranked = Rank(bitRate, wanted, kKernelMinQuanta);
    if (ranked.empty()) return std::nullopt;
    const Ranked& best = ranked.front();
    if (uint64_t{best.rateError} * kPermille / bitRate > kKernelMaxRateErrorPermille)
        return std::nullopt;
    return best.timing;
}

// The per mille iproute2 makes of a typed sample point: it reads a float and truncates
// sample-point * 1000 in float arithmetic, so "0.502" becomes 501.
int IprouteSamplePoint(const std::string& typed) {
    volatile float value = std::strtof(typed.c_str(), nullptr);
    volatile float permille = value * static_cast<float>(kPermille);
    return static_cast<int>(permille);
}

std::string SamplePointText(int permille) {
    char text[16];
    std::snprintf(text, sizeof text, "%d.%03d", permille / kPermille, permille % kPermille);
    std::string out = text;
    while (out.back() == '0') out.pop_back();
    if (out.back() == '.') out.pop_back();
    // A tenth of a per mille more survives iproute2's truncation without changing the value.
    if (IprouteSamplePoint(out) != permille) out = std::string(text) + "1";
    return out;
}

bool SameTiming(const BitTiming& a, const BitTiming& b) {
    return a.brp == b.brp && a.tseg1 == b.tseg1 && a.tseg2 == b.tseg2;
}

std::string Trailer(const BitTiming& t, bool sjwImplied) {
    std::string out;
    if (!sjwImplied) out += " sjw " + std::to_string(t.sjw);
    if (t.tripleSampling) out += " triple-sampling on";
    return out;
}

}  // namespace

BitTiming DecodeBitTiming(uint8_t btr0, uint8_t btr1) {
    return Make((btr0 & 0x3F) + 1, (btr0 >> 6) + 1, (btr1 & 0x0F) + 1, ((btr1 >> 4) & 0x07) + 1,
                (btr1 & 0x80) != 0);
}

std::vector<std::string> BitTimingWarnings(const BitTiming& t) {
    std::vector<std::string> out;
    if (t.sjw > t.tseg2) {
        out.push_back(text::Arg(text::translate("BitTiming", "SJW %1 is longer than TSEG2 %2"),
                                {std::to_string(t.sjw), std::to_string(t.tseg2)}));
    }
    if (t.tseg2 > t.tseg1) {
        out.push_back(text::Arg(text::translate("BitTiming", "TSEG2 %1 is longer than TSEG1 %2"),
                                {std::to_string(t.tseg2), std::to_string(t.tseg1)}));
    }
    if (2 * (1 + t.tseg1) < t.quanta) {
        char point[32];
        std::snprintf(point, sizeof point, "%.1f", t.samplePoint * 100.0);
        out.push_back(
            text::Arg(text::translate("BitTiming", "sample point %1 % is below 50 %"), {point}));
    }
    if (t.quanta < kMinQuanta) {
        out.push_back(text::Arg(text::translate("BitTiming", "%1 quanta per bit, fewer than 8"),
                                {std::to_string(t.quanta)}));
    }
    return out;
}

int RecommendedSamplePoint(uint32_t bitRate) {
    if (bitRate > 800'000) return 750;
    if (bitRate > 500'000) return 800;
    return 875;
}

std::optional<int> ParseSamplePoint(std::string_view text) {
    std::string s(text);
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!s.empty() && blank(s.back())) s.pop_back();
    bool percent = false;
    if (!s.empty() && s.back() == '%') {
        percent = true;
        s.pop_back();
        while (!s.empty() && blank(s.back())) s.pop_back();
    }
    size_t first = 0;
    while (first < s.size() && blank(s[first])) ++first;
    s.erase(0, first);
    if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s[0])) || s[0] == '.'))
        return std::nullopt;
    char* end = nullptr;
    const double value = std::strtod(s.c_str(), &end);
    if (end != s.c_str() + s.size() || !std::isfinite(value)) return std::nullopt;
    double permille = 0;
    if (percent || (value >= 1 && value <= 100)) {
        permille = value * 10;
    } else if (value < 1) {
        permille = value * kPermille;
    } else {
        permille = value;
    }
    // Far out of range stays out of range without overflowing.
    return static_cast<int>(std::lround(std::min(permille, 1e6)));
}

std::vector<BitTiming> FindBitTimings(uint32_t bitRate, int samplePointPermille,
                                      bool tripleSampling, size_t limit) {
    std::vector<BitTiming> found;
    for (const Ranked& r : Rank(bitRate, samplePointPermille, kMinQuanta)) {
        if (uint64_t{r.rateError} * 100 > uint64_t{bitRate} * kMaxRateErrorPercent) break;
        found.push_back(r.timing);
    }
    // Larger SJW after every SJW 1, timing by timing in the same order.
    const size_t plain = found.size();
    for (size_t i = 0; i < plain; ++i) {
        const BitTiming t = found[i];
        for (int sjw = 2; sjw <= std::min({kMaxSjw, t.tseg2, t.tseg1 - t.tseg1 / 2}); ++sjw) {
            found.push_back(Make(t.brp, sjw, t.tseg1, t.tseg2, false));
        }
    }
    if (found.size() > limit) found.resize(limit);
    if (tripleSampling) {
        for (BitTiming& t : found) t = Make(t.brp, t.sjw, t.tseg1, t.tseg2, true);
    }
    return found;
}

std::string SocketCanBitrateLine(const BitTiming& t, uint32_t wantedBitRate,
                                 int wantedSamplePointPermille) {
    if (t.sjw > t.phaseSeg2) return {};
    struct Try {
        uint32_t rate;
        int samplePoint;
    };
    std::vector<Try> tries;
    if (wantedBitRate > 0 && wantedSamplePointPermille > 0)
        tries.push_back({wantedBitRate, wantedSamplePointPermille});
    tries.push_back({KernelRate(t.brp, t.quanta), KernelSamplePoint(t.quanta, t.tseg2)});
    for (const Try& attempt : tries) {
        const std::string point = SamplePointText(attempt.samplePoint);
        const auto chosen = KernelChoice(attempt.rate, IprouteSamplePoint(point));
        if (!chosen || !SameTiming(*chosen, t)) continue;
        // Linux used to default SJW to 1; since 6.3 to phase-seg2 / 2. Say it unless both agree.
        const bool sjwImplied = t.sjw == 1 && t.phaseSeg2 / 2 <= 1;
        return "ip link set can0 type can bitrate " + std::to_string(attempt.rate) +
               " sample-point " + point + Trailer(t, sjwImplied);
    }
    return {};
}

std::string SocketCanTqLine(const BitTiming& t) {
    if (t.sjw > t.phaseSeg2) return {};
    return "ip link set can0 type can tq " + std::to_string(t.tqNs) + " prop-seg " +
           std::to_string(t.propSeg) + " phase-seg1 " + std::to_string(t.phaseSeg1) +
           " phase-seg2 " + std::to_string(t.phaseSeg2) + Trailer(t, false);
}

std::optional<uint32_t> ParseBitRate(std::string_view text) {
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
    const double value = std::strtod(s.c_str(), &end) * factor;
    if (end != s.c_str() + s.size() || !(value >= 0.5) || !(value < kMaxBitRate))
        return std::nullopt;
    return static_cast<uint32_t>(std::lround(value));
}

std::string DescribeBitTiming(const BitTiming& t) {
    char rate[32], point[32];
    std::snprintf(rate, sizeof rate, "%.3f", t.bitRate / 1000.0);
    std::snprintf(point, sizeof point, "%.1f", t.samplePoint * 100.0);
    std::string out =
        text::Arg(text::translate("BitTiming", "%1 kbit/s, sample point %2 %, %3 quanta, SJW %4"),
                  {rate, point, std::to_string(t.quanta), std::to_string(t.sjw)});
    if (t.tripleSampling) out += text::translate("BitTiming", ", triple sampling");
    return out;
}

std::string DescribeBitTimingWithWarnings(const BitTiming& t) {
    std::string out = DescribeBitTiming(t);
    for (const std::string& warning : BitTimingWarnings(t)) {
        out += "\n" + text::Arg(text::translate("BitTiming", "Warning: %1"), {warning});
    }
    return out;
}

}  // namespace linkmate
