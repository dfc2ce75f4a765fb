// The commands that need no converter: ports, find, btr, profile, export, help.
#include <algorithm>
#include <climits>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "profile/atomic_file.h"
#include "profile/config_file.h"
#include "profile/profile_store.h"
#include "profile/reg_file.h"
#include "profile/settings_profile.h"
#include "protocol/config_lists.h"
#include "protocol/device_config.h"
#include "protocol/hex_text.h"
#include "protocol/settings_table.h"
#include "serial/com_port_names.h"
#include "serial/converter_finder.h"
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

// The CAN page's preset for this rate, if it has one: the converter's own table, kept as it is
// even where Linux would choose another pair.
std::optional<BtrPreset> PresetForRate(uint32_t rate) {
    for (size_t i = 1; i < CanBaudPresets.size(); ++i) {
        const BitTiming t =
            DecodeBitTiming(static_cast<uint8_t>(ParseHexGroups(CanBaudPresets[i].btr0, 1)),
                            static_cast<uint8_t>(ParseHexGroups(CanBaudPresets[i].btr1, 1)));
        // Within the calculator's 1 %: "666K" means the 666 K preset's 666 667 bit/s.
        if (std::abs(t.bitRate - rate) <= rate * 0.01)
            return BtrPreset{std::string(lists::CanBaudrate[i]), t};
    }
    return std::nullopt;
}

// Whether the profile of o.app holds saved settings (any of the persisted ones). Without them a
// load gives the fallbacks, which must never pass for what a window saved. 0 to go on, else the
// exit status, with the reason printed.
int RequireSavedProfile(const Options& o, const std::string& path) {
    ProfileTransaction profile(ProfileAccess::kRead);
    for (const Setting& s : ConverterSettings()) {
        if (s.kind == SettingKind::kHex && s.bytes == 2) continue;  // the halves are not persisted
        const bool there = s.kind == SettingKind::kHex
                               ? profile.ReadText(kProfileSection, s.name, "\n") != "\n"
                               : profile.ReadInt(kProfileSection, s.name, INT32_MIN) != INT32_MIN;
        if (there) return 0;
    }
    const std::string why = profile.Error().empty() ? "" : " (" + profile.Error() + ")";
    std::fprintf(
        stderr,
        "linkmate-cli: no saved settings in the profile of \"%s\", %s%s: a window would start "
        "with the defaults\n",
        o.app.c_str(), path.c_str(), why.c_str());
    return Finish(kExitFile);
}

}  // namespace

int Ports(const Options& o) {
    const std::vector<ComPortInfo> ports = DescribeComPorts();
    const Discovery found = DiscoverSerialDevices();
    if (o.json) {
        PrintPortsJson(ports, found);
    } else {
        PrintPortsText(ports, found);
    }
    return Finish(kExitOk);
}

int Find(const Options& o) {
    std::vector<int> ports;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) ports.push_back(n);
    const auto start = std::chrono::steady_clock::now();
    const std::vector<ProbeResult> results = FindConverters(ports);
    const double ms =
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    if (o.json) {
        PrintFindJson(results, ms);
    } else {
        PrintFindText(results, ms);
    }
    const bool found = std::any_of(results.begin(), results.end(),
                                   [](const ProbeResult& r) { return r.answered(); });
    return Finish(found ? kExitOk : kExitComm);
}

int Btr(const Options& o) {
    if (o.decode) return Decode(o);
    const auto rate = ParseBitRate(o.args[0]);
    if (!rate)
        return Usage("btr takes a bit rate such as 83333, 83.333k or 500K, not \"" + o.args[0] +
                     "\"");
    int samplePoint = RecommendedSamplePoint(*rate);
    if (!o.samplePoint.empty()) {
        const auto given = ParseSamplePoint(o.samplePoint);
        if (!given)
            return Usage("--sample-point takes 87.5, 87.5%, 0.875 or 875, not \"" + o.samplePoint +
                         "\"");
        if (*given < kMinSamplePointPermille || *given > kMaxSamplePointPermille) {
            char why[200];
            std::snprintf(why, sizeof why,
                          "--sample-point %s is %.1f %%: it must lie between %.0f %% and %.0f %%",
                          o.samplePoint.c_str(), *given / 10.0, kMinSamplePointPermille / 10.0,
                          kMaxSamplePointPermille / 10.0);
            return Usage(why);
        }
        samplePoint = *given;
    }
    const std::vector<BitTiming> found = FindBitTimings(*rate, samplePoint);
    const std::optional<BtrPreset> preset = PresetForRate(*rate);
    if (o.json) {
        PrintTimingsJson(found, *rate, samplePoint, preset);
    } else if (found.empty()) {
        std::fprintf(stderr, "linkmate-cli: no BTR0/BTR1 pair reaches %.3f kbit/s within 1 %%\n",
                     *rate / 1000.0);
    } else {
        PrintTimingsText(found, *rate, samplePoint, preset);
    }
    return Finish(found.empty() ? kExitNoPair : kExitOk);
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
    if (const int status = RequireSavedProfile(o, path); status != 0) return status;
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

int Export(const Options& o) {
    std::string text;
    std::string error;
    if (!o.args.empty()) {
        if (!RegFileForRegedit(o.args[0], text, &error)) {
            std::fprintf(stderr, "linkmate-cli: %s\n", error.c_str());
            return Finish(kExitFile);
        }
    } else {
        SetProfileRegistryKey(kProfileRegistryKey);
        SetProfileApplicationName(o.app);
        std::string problem;
        const std::string path = ProfileFilePath(&problem);
        if (path.empty()) {
            std::fprintf(stderr, "linkmate-cli: no profile for \"%s\": %s\n", o.app.c_str(),
                         problem.c_str());
            return Finish(kExitFile);
        }
        if (const int status = RequireSavedProfile(o, path); status != 0) return status;
        // The settings a window of that name would start with.
        DeviceConfig config;
        LoadProfile(config);
        text = RegeditEncoding(ProfileDocument(config).Serialize());
    }
    if (o.outFile.empty() || o.outFile == "-") {
        std::fwrite(text.data(), 1, text.size(), stdout);
        return Finish(kExitOk);
    }
    if (!ReplaceFileAtomically(o.outFile, text, true, &error)) {
        std::fprintf(stderr, "linkmate-cli: %s\n", error.c_str());
        return Finish(kExitFile);
    }
    if (!o.quiet) std::fprintf(stderr, "exported to %s\n", o.outFile.c_str());
    return Finish(kExitOk);
}

int Help(const Options& o) {
    std::printf("%s", o.args.empty() ? UsageText().c_str() : CommandHelpText(o.args[0]).c_str());
    return Finish(kExitOk);
}

}  // namespace linkmate::cli
