#include <cstdio>

#include "protocol/config_lists.h"
#include "serial/config_port.h"
#include "tools/cli/report.h"
#include "tools/cli/status.h"

namespace linkmate::cli {
namespace {

void PrintConnection(const char* name, int32_t value, std::string_view text) {
    std::printf("%-15s %d (%s)\n", name, value, std::string(text).c_str());
}

// The lines a SocketCAN user pastes for one timing (none where Linux would refuse it).
void PrintSocketCanLines(const BitTiming& t, uint32_t wanted, int wantedSamplePointPermille) {
    for (const std::string& line :
         {SocketCanBitrateLine(t, wanted, wantedSamplePointPermille), SocketCanTqLine(t)}) {
        if (!line.empty()) std::printf("  %s\n", line.c_str());
    }
}

}  // namespace

void PrintConfigText(const DeviceConfig& config, bool withConnection) {
    DeviceConfig copy = config;
    for (const Setting& s : ConverterSettings()) {
        std::printf("%-15s %s\n", std::string(s.name).c_str(), SettingText(copy, s).c_str());
    }
    if (withConnection) {
        const ConnectionSettings& c = config.connection;
        PrintConnection("DeviceType", c.DeviceType,
                        lists::EntryOrEmpty(lists::DeviceType, c.DeviceType));
        PrintConnection("ConfigPort", c.ConfigPort,
                        lists::EntryOrEmpty(lists::ConfigPort, c.ConfigPort));
    }
}

void PrintResultText(const Options& o, const Target& t, const Result& r, bool several) {
    const char* name = t.name.c_str();
    if (!o.quiet || r.status != kExitOk) {
        std::fprintf(stderr, "%s: %s\n", name, r.message.c_str());
        if (r.status == kExitComm && !r.traces.empty()) {
            std::fprintf(stderr, "%s: %s\n", name, r.traces.back().Diagnosis().c_str());
            if (!r.hint.empty()) std::fprintf(stderr, "%s: %s\n", name, r.hint.c_str());
        }
    }
    if (o.verbose) {
        for (const ExchangeTrace& trace : r.traces)
            std::fprintf(stderr, "%s: %s", name, trace.Format().c_str());
    }
    if (o.command == "read" && r.haveConfig && o.outFile != "-") {
        if (several) std::printf("[%s]\n", name);
        PrintConfigText(r.config, false);
    }
    if (o.command == "diff") {
        const std::string prefix = several ? t.name + ": " : "";
        for (const SettingDifference& d : r.differences) {
            std::printf("%s%s: file %s, converter %s\n", prefix.c_str(),
                        std::string(d.name).c_str(), d.first.c_str(), d.second.c_str());
        }
    }
}

std::string FindState(const ProbeResult& r) {
    if (r.answered()) return "answered";
    if (r.opened) return "no answer";
    if (r.held) return "held";
    return r.absent ? "absent" : "not opened";
}

void PrintFindText(const std::vector<ProbeResult>& results, double ms) {
    int found = 0;
    for (const ProbeResult& r : results) {
        std::string what;
        if (r.model) {
            ++found;
            const size_t m = static_cast<size_t>(*r.model);
            what = std::string(lists::DeviceType[m]) + " (" +
                   std::to_string(ConfigPortBaudTable[m]) + " bit/s): " + ConfigSummary(r.config);
        } else if (r.serverLine) {
            ++found;
            what =
                "a converter at the server's line settings (raw TCP: the model cannot be "
                "told): " +
                ConfigSummary(r.config);
        } else {
            const std::string state = FindState(r);
            what = state == "no answer" ? "no answer at 57600 or 19200 bit/s"
                   : state == "held"
                       ? "held by " + (r.holder.empty() ? std::string("another program") : r.holder)
                   : state == "absent" ? "absent (" + r.reason + ")"
                                       : "not opened: " + r.reason;
        }
        std::printf("COM%d  %-28s %s\n", r.port, r.device.c_str(), what.c_str());
    }
    std::fprintf(stderr, "%d converter%s found in %.0f ms\n", found, found == 1 ? "" : "s", ms);
}

void PrintPortsText(const std::vector<ComPortInfo>& ports, const Discovery& found) {
    for (const ComPortInfo& p : ports) {
        std::printf("COM%d  %-28s %s\n", p.number, p.devicePath.c_str(), p.description.c_str());
    }
    switch (found.source) {
        case DiscoverySource::Udev:
            std::printf("\nSerial devices present (found through udev):\n");
            break;
        case DiscoverySource::Sysfs:
            std::printf(
                "\nSerial devices present (udev does not run here; fell back to walking /sys, "
                "so names and descriptions may be incomplete):\n");
            break;
        case DiscoverySource::DosDevices: std::printf("\nSerial devices present:\n"); break;
    }
    for (const SerialDevice& d : found.devices) {
        std::printf("  %-28s %s", d.path.c_str(), d.description.c_str());
        if (!d.driver.empty()) std::printf(", driver %s", d.driver.c_str());
        std::printf("\n");
        for (const std::string& name : {d.byId, d.byPath}) {
            if (!name.empty()) std::printf("    %s\n", name.c_str());
        }
    }
    if (found.devices.empty()) std::printf("  (none found)\n");
}

void PrintTimingsText(const std::vector<BitTiming>& found, uint32_t wanted, int samplePointPermille,
                      const std::optional<BtrPreset>& preset) {
    std::printf(
        "BTR0 BTR1  bit rate (kbit/s)  error    sample point  quanta  BRP TSEG1 TSEG2 SJW"
        "  tq (ns)  prop-seg phase-seg1 phase-seg2\n");
    for (const BitTiming& t : found) {
        std::printf(
            "  %02X   %02X  %17.3f  %+6.3f%%  %10.1f %%  %6d  %3d %5d %5d %3d  %7d  %8d %10d "
            "%10d\n",
            t.btr0, t.btr1, t.bitRate / 1000, (t.bitRate - wanted) / wanted * 100,
            t.samplePoint * 100, t.quanta, t.brp, t.tseg1, t.tseg2, t.sjw, t.tqNs, t.propSeg,
            t.phaseSeg1, t.phaseSeg2);
    }
    const BitTiming& first = found.front();
    std::printf("SocketCAN, %02X %02X:\n", first.btr0, first.btr1);
    PrintSocketCanLines(first, wanted, samplePointPermille);
    if (preset && (preset->timing.btr0 != first.btr0 || preset->timing.btr1 != first.btr1)) {
        std::printf("The CAN page's preset %s is %02X %02X (%s), the converter's own table.\n",
                    preset->name.c_str(), preset->timing.btr0, preset->timing.btr1,
                    DescribeBitTiming(preset->timing).c_str());
    }
}

void PrintDecodedText(const BitTiming& t) {
    std::printf("BTR0 %02X BTR1 %02X: %s (BRP %d, TSEG1 %d, TSEG2 %d)\n", t.btr0, t.btr1,
                DescribeBitTiming(t).c_str(), t.brp, t.tseg1, t.tseg2);
    std::printf("SocketCAN: tq %d ns, prop-seg %d, phase-seg1 %d, phase-seg2 %d, sjw %d\n", t.tqNs,
                t.propSeg, t.phaseSeg1, t.phaseSeg2, t.sjw);
    PrintSocketCanLines(t, 0, 0);
    for (const std::string& w : BitTimingWarnings(t)) std::printf("warning: %s\n", w.c_str());
}

}  // namespace linkmate::cli
