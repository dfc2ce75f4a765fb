// The commands that need no converter: ports, btr, profile, help.
#include <cstdio>
#include <cstdlib>

#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "protocol/hex_text.h"
#include "serial/com_port_names.h"
#include "tools/cli/cli_table.h"
#include "tools/cli/commands.h"
#include "tools/cli/report.h"
#include "tools/cli/status.h"

namespace linkmate::cli {
namespace {

int Decode(const Options& o) {
    uint8_t bytes[2] = {};
    for (size_t i = 0; i < 2; ++i) {
        if (!IsHexGroupsText(o.args[i], 1))
            return Usage("btr --decode takes two bytes in hex, such as 01 1C");
        bytes[i] = static_cast<uint8_t>(ParseHexGroups(o.args[i], 1));
    }
    const BitTiming t = DecodeBitTiming(bytes[0], bytes[1]);
    if (o.json) {
        PrintDecodedJson(t);
    } else {
        PrintDecodedText(t);
    }
    return Finish(kExitOk);
}

// "87.5" or "87.5%" as a fraction, or nothing.
std::optional<double> SamplePoint(std::string text) {
    if (!text.empty() && text.back() == '%') text.pop_back();
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size() || !(value > 0) || value >= 100)
        return std::nullopt;
    return value / 100.0;
}

}  // namespace

int Ports(const Options& o) {
    std::vector<ComPortInfo> ports;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) ports.push_back(DescribeComPort(n));
    const std::vector<SerialDevice> devices = DetectSerialDevices();
    if (o.json) {
        PrintPortsJson(ports, devices);
    } else {
        PrintPortsText(ports, devices);
    }
    return Finish(kExitOk);
}

int Btr(const Options& o) {
    if (o.decode) return Decode(o);
    const auto rate = ParseBitRate(o.args[0]);
    if (!rate)
        return Usage("btr takes a bit rate such as 83333, 83.333k or 500K, not \"" + o.args[0] +
                     "\"");
    double samplePoint = RecommendedSamplePoint(*rate);
    if (!o.samplePoint.empty()) {
        const auto given = SamplePoint(o.samplePoint);
        if (!given) return Usage("--sample-point takes a percentage such as 87.5");
        samplePoint = *given;
    }
    const std::vector<BitTiming> found = FindBitTimings(*rate, samplePoint);
    if (o.json) {
        PrintTimingsJson(found, *rate, samplePoint);
    } else if (found.empty()) {
        std::fprintf(stderr, "linkmate-cli: no BTR0/BTR1 pair reaches %.3f kbit/s within 1 %%\n",
                     *rate / 1000);
    } else {
        PrintTimingsText(found, *rate);
    }
    return Finish(found.empty() ? kExitUsage : kExitOk);
}

int Profile(const Options& o) {
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName(o.app);
    std::string problem;
    const std::string path = ProfileFilePath(&problem);
    if (path.empty()) {
        std::fprintf(stderr, "linkmate-cli: no profile for \"%s\": %s\n", o.app.c_str(),
                     problem.c_str());
        return Finish(kExitFile);
    }
    DeviceConfig config;
    LoadProfile(config);
    if (o.json) {
        PrintProfileJson(o.app, path, config);
    } else {
        if (!o.quiet) std::fprintf(stderr, "profile %s\n", path.c_str());
        PrintConfigText(config, true);
    }
    return Finish(kExitOk);
}

int Help(const Options& o) {
    std::printf("%s", o.args.empty() ? UsageText().c_str() : CommandHelpText(o.args[0]).c_str());
    return Finish(kExitOk);
}

}  // namespace linkmate::cli
