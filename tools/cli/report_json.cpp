// One JSON object per line. Settings keep their types: a number is a number, hex text a string, a
// list entry {"index": 10, "text": "250 K"}; text that is not UTF-8 comes out with U+FFFD in its
// place, so every line parses.
#include <cmath>
#include <cstdio>
#include <ctime>
#include <nlohmann/json.hpp>

#include "protocol/config_lists.h"
#include "protocol/hex_text.h"
#include "protocol/system_name.h"
#include "serial/config_port.h"
#include "tools/cli/report.h"
#include "tools/cli/status.h"

namespace linkmate::cli {
namespace {

using Json = nlohmann::ordered_json;

void PrintLine(const Json& j) {
    std::printf("%s\n", j.dump(-1, ' ', false, Json::error_handler_t::replace).c_str());
}

// `value` to `decimals` places, so that figures print as they were measured, not as binary noise.
double Rounded(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return std::round(value * scale) / scale;
}

template <size_t N>
Json ListEntry(const std::array<std::string_view, N>& list, int32_t index) {
    const std::string_view text = lists::EntryOrEmpty(list, index);
    return {{"index", index}, {"text", text.empty() ? Json(nullptr) : Json(std::string(text))}};
}

Json SettingJson(const DeviceConfig& config, const Setting& s) {
    DeviceConfig copy = config;
    if (s.kind == SettingKind::kHex) return *s.text(copy);
    const int32_t value = *s.number(copy);
    if (s.kind == SettingKind::kNumber) return value;
    const bool inList = value >= 0 && static_cast<size_t>(value) < s.entries.size();
    return {{"index", value},
            {"text",
             inList ? Json(std::string(s.entries[static_cast<size_t>(value)])) : Json(nullptr)}};
}

Json ConfigJson(const DeviceConfig& config, bool withConnection) {
    Json out = Json::object();
    for (const Setting& s : ConverterSettings()) out[std::string(s.name)] = SettingJson(config, s);
    if (withConnection) {
        out["DeviceType"] = ListEntry(lists::DeviceType, config.connection.DeviceType);
        out["ConfigPort"] = ListEntry(lists::ConfigPort, config.connection.ConfigPort);
    }
    return out;
}

Json TraceJson(const std::vector<ExchangeTrace>& traces) {
    Json out = Json::array();
    for (const ExchangeTrace& trace : traces) {
        for (const TraceAttempt& a : trace.attempts) {
            Json received = Json::array();
            for (const TraceChunk& chunk : a.received) {
                received.push_back(
                    {{"ms", Rounded(chunk.ms, 1)}, {"bytes", HexBytes(chunk.bytes)}});
            }
            out.push_back({{"exchange", trace.exchange},
                           {"atMs", Rounded(a.atMs, 1)},
                           {"sent", HexBytes(a.sent)},
                           {"received", received},
                           {"ended", AttemptEndText(a.end)}});
        }
    }
    return out;
}

// diff: the file against the converter; a failed verification: what was sent against what came
// back.
Json DifferencesJson(const std::string& command, const Result& r) {
    const bool diff = command == "diff";
    Json out = Json::array();
    for (const SettingDifference& d : r.differences) {
        const Setting* s = FindSetting(d.name);
        out.push_back({{"setting", std::string(d.name)},
                       {diff ? "file" : "sent", SettingJson(r.expected, *s)},
                       {diff ? "converter" : "read_back", SettingJson(r.config, *s)}});
    }
    return out;
}

Json OrNull(const std::string& text) { return text.empty() ? Json(nullptr) : Json(text); }

Json TimingJson(const BitTiming& t, uint32_t wanted, int wantedSamplePoint) {
    char bytes[2][3];
    std::snprintf(bytes[0], sizeof bytes[0], "%02X", t.btr0);
    std::snprintf(bytes[1], sizeof bytes[1], "%02X", t.btr1);
    return {{"btr0", bytes[0]},
            {"btr1", bytes[1]},
            {"bit_rate", Rounded(t.bitRate, 3)},
            {"error_percent", wanted > 0 ? Rounded((t.bitRate - wanted) / wanted * 100.0, 4) : 0.0},
            {"sample_point_percent", Rounded(t.samplePoint * 100, 2)},
            {"quanta", t.quanta},
            {"brp", t.brp},
            {"tseg1", t.tseg1},
            {"tseg2", t.tseg2},
            {"sjw", t.sjw},
            {"triple_sampling", t.tripleSampling},
            {"tq_ns", t.tqNs},
            {"prop_seg", t.propSeg},
            {"phase_seg1", t.phaseSeg1},
            {"phase_seg2", t.phaseSeg2},
            {"ip_link_bitrate", OrNull(SocketCanBitrateLine(t, wanted, wantedSamplePoint))},
            {"ip_link_tq", OrNull(SocketCanTqLine(t))},
            {"warnings", BitTimingWarnings(t)}};
}

}  // namespace

void PrintResultJson(const Options& o, const Target& t, const Result& r) {
    Json line = {{"target", t.name},     {"device", r.device}, {"link", OrNull(r.link)},
                 {"command", o.command}, {"status", r.status}, {"message", r.message}};
    if (r.haveConfig) line["config"] = ConfigJson(r.config, false);
    if (r.status == kExitComm && !r.traces.empty()) {
        line["diagnosis"] = r.traces.back().Diagnosis();
        line["hint"] = OrNull(r.hint);
        line["trace"] = TraceJson(r.traces);
        // What a support ticket needs beside the trace, as the window's failure report has it.
        const std::time_t now = std::time(nullptr);
        char time[48];
        std::strftime(time, sizeof time, "%Y-%m-%d %H:%M:%S %z", std::localtime(&now));
        const size_t m = static_cast<size_t>(o.model);
        line["context"] = {{"program", "linkmate-cli 2.0.0.1"},
                           {"system", SystemName()},
                           {"time", time},
                           {"model", std::string(lists::DeviceType.at(m))},
                           {"bitRate", ConfigPortBaudTable.at(m)}};
    }
    if (!r.differences.empty()) line["differences"] = DifferencesJson(o.command, r);
    PrintLine(line);
}

void PrintProfileJson(const std::string& app, const std::string& path, const DeviceConfig& config) {
    PrintLine({{"app", app}, {"path", path}, {"config", ConfigJson(config, true)}});
}

void PrintFindJson(const std::vector<ProbeResult>& results, double ms) {
    Json ports = Json::array();
    for (const ProbeResult& r : results) {
        // The system's reason alone: the port's Windows name is no use on Linux, and "com" says it.
        Json port = {
            {"com", r.port},      {"device", r.device},          {"state", FindState(r)},
            {"opened", r.opened}, {"problem", OrNull(r.reason)}, {"holder", OrNull(r.holder)}};
        if (r.model) {
            const size_t m = static_cast<size_t>(*r.model);
            port["model"] = std::string(lists::DeviceType[m]);
            port["bitRate"] = ConfigPortBaudTable[m];
            port["summary"] = ConfigSummary(r.config);
            port["config"] = ConfigJson(r.config, false);
        } else {
            port["model"] = nullptr;
        }
        if (r.serverLine) {
            port["serverLine"] = true;
            port["summary"] = ConfigSummary(r.config);
            port["config"] = ConfigJson(r.config, false);
        }
        ports.push_back(port);
    }
    PrintLine({{"ports", ports}, {"ms", ms}});
}

void PrintPortsJson(const std::vector<ComPortInfo>& ports, const Discovery& found) {
    Json portList = Json::array(), deviceList = Json::array();
    for (const ComPortInfo& p : ports) {
        portList.push_back({{"com", p.number},
                            {"device", p.devicePath},
                            {"link", OrNull(p.linkPath)},
                            {"present", p.present},
                            {"description", p.description}});
    }
    for (const SerialDevice& d : found.devices) {
        deviceList.push_back({{"path", d.path},
                              {"stable", d.stableName},
                              {"description", d.description},
                              {"vendor", OrNull(d.vendor)},
                              {"model", OrNull(d.model)},
                              {"vendor_id", OrNull(d.vendorId)},
                              {"product_id", OrNull(d.productId)},
                              {"serial", OrNull(d.serialNumber)},
                              {"driver", OrNull(d.driver)},
                              {"by_id", OrNull(d.byId)},
                              {"by_path", OrNull(d.byPath)}});
    }
    const char* source = found.source == DiscoverySource::Udev    ? "udev"
                         : found.source == DiscoverySource::Sysfs ? "sysfs"
                                                                  : "windows";
    PrintLine({{"ports", portList},
               {"devices", deviceList},
               {"discovery", source},
               {"udev_fallback", found.source == DiscoverySource::Sysfs}});
}

void PrintTimingsJson(const std::vector<BitTiming>& found, uint32_t wanted, int samplePointPermille,
                      const std::optional<BtrPreset>& preset) {
    Json candidates = Json::array();
    for (const BitTiming& t : found)
        candidates.push_back(TimingJson(t, wanted, samplePointPermille));
    Json line = {{"bit_rate", wanted},
                 {"sample_point_percent", samplePointPermille / 10.0},
                 {"candidates", candidates}};
    if (preset) {
        line["preset"] = TimingJson(preset->timing, wanted, 0);
        line["preset"]["list_entry"] = preset->name;
    }
    PrintLine(line);
}

void PrintDecodedJson(const BitTiming& t) { PrintLine(TimingJson(t, 0, 0)); }

}  // namespace linkmate::cli
