// linkmate-cli: the converter configuration tool for scripts and production lines. Reads, writes,
// changes, compares and resets the configuration of one or several converters at once (one thread
// per converter), with the window's port map, profile and configuration files.
#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "profile/config_file.h"
#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "protocol/bit_timing.h"
#include "protocol/config_exchange.h"
#include "protocol/hex_text.h"
#include "protocol/config_lists.h"
#include "protocol/hex_fields.h"
#include "protocol/settings_table.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"
#include "serial/serial_comm.h"

namespace {

using namespace linkmate;

constexpr const char* kVersionText = "linkmate-cli 2.0.0.1";

constexpr const char* kUsage = R"(Usage: linkmate-cli [OPTIONS] COMMAND [ARGS]

Commands:
  read               read and print the configuration
  write FILE         write the configuration in FILE, then read it back and verify
  set KEY=VALUE...   read, change the named settings, write, verify
  default            write the factory values (those of the window's Default), verify
  diff FILE          read and compare with FILE (exit 0 when equal, 5 when different)
  copy               read, then write the same configuration back and verify
  ports              list COM1..COM8 with their devices, and the serial devices present
  btr RATE [--sample-point P]
                     list BTR0/BTR1 pairs for a CAN bit rate (83333, 83.333k, 500K, 1M) at a
                     sample point in percent (default: 87.5, 80 at 800K, 75 at 1M)
  btr --decode BTR0 BTR1
                     what two bus-timing bytes give (16 MHz controller clock)
  profile [--app NAME]
                     print the settings a window saved (application name "linkmate")

Targets (repeatable, combinable; each converter is served by its own thread):
  --port N           COMN (1..8), through the port map ~/.config/linkmate/dosdevices/comN
  --device PATH      a device path, without the port map
  --model A|B        A = Ternix-A (57600 bit/s, default), B = Ternix-B (19200 bit/s), for all
  Without a target: --port 1.

Options:
  --json             machine-readable output: one JSON object per line (per target)
  -o FILE            read: also save the configuration to FILE (one target only)
  --save-profile NAME
                     after success, save the settings to the profile of application NAME, as
                     the window does (one target only); a failed save is an error
  --app NAME         profile: the application whose profile to print
  -q, --quiet        no status lines
  -v, --verbose      print the trace of every exchange (what each attempt sent and received)
  --version          print the version
  -h, --help         show this text

Settings are named as in the profile: )";

constexpr const char* kUsageTail = R"(
(CanFilterMode is accepted for CanFiterMode). A list setting takes its index or its text as the
window shows it (CanBaudrate=250K, CanBaudrate="250 K" and CanBaudrate=10 are the same); a hex
setting takes hex byte text (CanID="00 00 07 FF"). A preset CanBaudrate brings its BTR0/BTR1;
CanBTR0/CanBTR1 may be named only with CanBaudrate Custom. Masks change only when named.

Status and error lines go to standard error, data to standard output.
Exit status: 0 success, 1 communication error, 2 usage error or port that cannot be opened,
3 verification failed, 4 file or profile error (also output that cannot be written),
5 diff found differences. With several targets, the highest status of them.
)";

constexpr int kExitOk = 0;
constexpr int kExitComm = 1;
constexpr int kExitUsage = 2;
constexpr int kExitVerify = 3;
constexpr int kExitFile = 4;
constexpr int kExitDiff = 5;

struct Target {
    std::string name;  // "COM3" or the device path
    std::string open;  // what CSerialComm opens
};

struct Options {
    std::vector<Target> targets;
    std::string samplePoint;
    bool decode = false;
    int32_t model = 0;
    bool json = false;
    bool quiet = false;
    bool verbose = false;
    std::string outFile;
    std::string saveProfile;
    std::string app = "linkmate";
    std::string command;
    std::vector<std::string> args;
};

struct Assignment {
    const Setting* setting;
    std::string value;
};

struct Result {
    int status = kExitOk;
    std::string device;
    std::string message;
    bool haveConfig = false;
    DeviceConfig config;
    std::vector<SettingDifference> differences;
    std::vector<ExchangeTrace> traces;  // every exchange, in order
};

// ---- output -------------------------------------------------------------------------------

std::string JsonString(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string JsonConfig(DeviceConfig config, bool withConnection) {
    std::string out = "{";
    bool first = true;
    const auto add = [&](std::string_view name, const std::string& body) {
        out += (first ? "" : ",") + JsonString(name) + ":" + body;
        first = false;
    };
    for (const Setting& s : ConverterSettings()) {
        if (s.kind == SettingKind::kHex) {
            add(s.name, "{\"value\":" + JsonString(*s.text(config)) + "}");
            continue;
        }
        const int32_t value = *s.number(config);
        std::string body = "{\"value\":" + std::to_string(value);
        if (s.kind == SettingKind::kList) {
            const bool inList = value >= 0 && static_cast<size_t>(value) < s.entries.size();
            body += ",\"text\":" + (inList ? JsonString(s.entries[static_cast<size_t>(value)]) : "null");
        }
        add(s.name, body + "}");
    }
    if (withConnection) {
        add("DeviceType", "{\"value\":" + std::to_string(config.connection.DeviceType) + ",\"text\":" +
                              JsonString(lists::EntryOrEmpty(lists::DeviceType, config.connection.DeviceType)) + "}");
        add("ConfigPort", "{\"value\":" + std::to_string(config.connection.ConfigPort) + ",\"text\":" +
                              JsonString(lists::EntryOrEmpty(lists::ConfigPort, config.connection.ConfigPort)) + "}");
    }
    return out + "}";
}

void PrintConfig(DeviceConfig config, bool withConnection) {
    for (const Setting& s : ConverterSettings()) {
        std::printf("%-15s %s\n", std::string(s.name).c_str(), SettingText(config, s).c_str());
    }
    if (withConnection) {
        std::printf("%-15s %d (%s)\n", "DeviceType", config.connection.DeviceType,
                    std::string(lists::EntryOrEmpty(lists::DeviceType, config.connection.DeviceType)).c_str());
        std::printf("%-15s %d (%s)\n", "ConfigPort", config.connection.ConfigPort,
                    std::string(lists::EntryOrEmpty(lists::ConfigPort, config.connection.ConfigPort)).c_str());
    }
}

// Everything printed must have reached its destination (a full disk, a closed pipe).
int Finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "linkmate-cli: cannot write the output: %s\n", std::strerror(errno));
        return std::max(status, kExitFile);
    }
    return status;
}

int Usage(const std::string& message) {
    std::fprintf(stderr, "linkmate-cli: %s\nTry 'linkmate-cli --help'.\n", message.c_str());
    return kExitUsage;
}

std::string TraceJson(const std::vector<ExchangeTrace>& traces) {
    std::string out = "[";
    bool first = true;
    for (const ExchangeTrace& trace : traces) {
        for (const TraceAttempt& a : trace.attempts) {
            out += std::string(first ? "" : ",") + "{\"exchange\":" + JsonString(trace.exchange) +
                   ",\"sent\":" + JsonString(HexBytes(a.sent)) + ",\"received\":[";
            first = false;
            for (size_t i = 0; i < a.received.size(); ++i) {
                char ms[32];
                std::snprintf(ms, sizeof ms, "%.1f", a.received[i].ms);
                out += std::string(i ? "," : "") + "{\"ms\":" + ms + ",\"bytes\":" +
                       JsonString(HexBytes(a.received[i].bytes)) + "}";
            }
            out += "],\"ended\":" + JsonString(AttemptEndText(a.end)) + "}";
        }
    }
    return out + "]";
}

// ---- one converter --------------------------------------------------------------------------

std::string DifferenceText(const std::vector<SettingDifference>& differences, const char* first,
                           const char* second) {
    std::string out;
    for (const SettingDifference& d : differences) {
        out += "\n  " + std::string(d.name) + ": " + first + " " + d.first + ", " + second + " " + d.second;
    }
    return out;
}

// Writes `config`, reads it back and compares what was sent with what came back.
void WriteAndVerify(PortIo& io, const DeviceConfig& config, Result& r) {
    if (!WriteConfig(io, config, &r.traces.emplace_back())) {
        r.status = kExitComm;
        r.message = "Communication Error! (write)";
        return;
    }
    DeviceConfig back = config;
    if (!ReadConfig(io, back, &r.traces.emplace_back())) {
        r.status = kExitComm;
        r.message = "Communication Error! (reading back after the write)";
        return;
    }
    r.config = back;
    r.haveConfig = true;
    r.differences = FrameSettingDifferences(config, back);
    if (!r.differences.empty()) {
        r.status = kExitVerify;
        r.message = "verification failed: the converter holds other values" +
                    DifferenceText(r.differences, "sent", "read back");
        return;
    }
    r.message = "Write Configration Successfully! (verified)";
}

// Why the converter would not hold `config` as it says, or empty.
std::string Unsendable(const DeviceConfig& config) {
    if (const auto field = FirstMalformedField(config.can)) {
        return "\"" + HexFieldText(config.can, *field) + "\" is not hex byte text";
    }
    std::string out;
    for (const HeldValue& v : ValuesHeldDifferently(config)) {
        for (const Setting& s : ConverterSettings()) {
            DeviceConfig copy = config;
            if (s.kind == SettingKind::kHex && s.text(copy) == &HexFieldText(copy.can, v.field)) {
                out += (out.empty() ? "" : "; ") + std::string(s.name) + " \"" + HexFieldText(config.can, v.field) +
                       "\" cannot be held by the converter in this frame format";
            }
        }
    }
    return out;
}

Result RunTarget(const Options& o, const Target& target, const DeviceConfig& fileConfig,
                 const std::vector<Assignment>& assignments) {
    Result r;
    r.device = ResolvePortName(target.open);
    CSerialComm port;
    CFileException openError;
    const bool opened =
        port.Open(target.open, ConfigPortBaudTable[static_cast<size_t>(o.model)], 8,
                  LineSettings::kNoParity, LineSettings::kOneStopBit, &openError);
    if (!opened) {
        r.status = kExitUsage;
        r.message = "Invalid serial port!\n" + DescribeOpenFailure(target.open, openError.m_lOsError);
        return r;
    }
    SerialPortIo io(port);
    if (o.command == "write") {
        WriteAndVerify(io, fileConfig, r);
        return r;
    }
    DeviceConfig config;
    if (!ReadConfig(io, config, &r.traces.emplace_back())) {
        r.status = kExitComm;
        r.message = "Communication Error! (read)";
        return r;
    }
    r.config = config;
    r.haveConfig = true;
    if (o.command == "read") {
        r.message = "Read Configration Successfully!";
    } else if (o.command == "diff") {
        r.differences = FrameSettingDifferences(fileConfig, config);
        r.status = r.differences.empty() ? kExitOk : kExitDiff;
        r.message = r.differences.empty() ? "equal to the file" : "differs from the file";
    } else if (o.command == "copy") {
        WriteAndVerify(io, config, r);
    } else if (o.command == "default") {
        ApplyDefaults(config);
        ApplyBaudPreset(config.can);
        ApplyMaskRule(config.can);
        WriteAndVerify(io, config, r);
    } else if (o.command == "set") {
        bool namedRate = false, namedTiming = false;
        for (const Assignment& a : assignments) {
            SetSetting(config, *a.setting, a.value, nullptr);  // validated before any port opened
            namedRate |= a.setting->name == "CanBaudrate";
            namedTiming |= a.setting->name == "CanBTR0" || a.setting->name == "CanBTR1";
        }
        if (namedTiming && config.can.CanBaudrate != 0) {
            r.status = kExitUsage;
            r.message = "CanBTR0 and CanBTR1 can be set only with CanBaudrate Custom (0); it is " +
                        std::to_string(config.can.CanBaudrate);
            return r;
        }
        if (namedRate) ApplyBaudPreset(config.can);
        if (const std::string why = Unsendable(config); !why.empty()) {
            r.status = kExitUsage;
            r.message = "nothing sent: " + why;
            return r;
        }
        WriteAndVerify(io, config, r);
    }
    return r;
}

// ---- commands without a converter ----------------------------------------------------------

int Ports(const Options& o) {
    std::vector<ComPortInfo> ports;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) ports.push_back(DescribeComPort(n));
    const std::vector<SerialDevice> devices = DetectSerialDevices();
    if (o.json) {
        std::string out = "{\"ports\":[";
        for (size_t i = 0; i < ports.size(); ++i) {
            const ComPortInfo& p = ports[i];
            out += std::string(i ? "," : "") + "{\"com\":" + std::to_string(p.number) +
                   ",\"device\":" + JsonString(p.devicePath) + ",\"link\":" + JsonString(p.linkPath) +
                   ",\"present\":" + (p.present ? "true" : "false") +
                   ",\"description\":" + JsonString(p.description) + "}";
        }
        out += "],\"devices\":[";
        for (size_t i = 0; i < devices.size(); ++i) {
            const SerialDevice& d = devices[i];
            out += std::string(i ? "," : "") + "{\"path\":" + JsonString(d.path) + ",\"stable\":" +
                   JsonString(d.stableName) + ",\"description\":" + JsonString(d.description) + "}";
        }
        std::printf("%s]}\n", out.c_str());
        return Finish(kExitOk);
    }
    for (const ComPortInfo& p : ports) {
        std::printf("COM%d  %-28s %s\n", p.number, p.devicePath.c_str(), p.description.c_str());
    }
    std::printf("\nSerial devices present:\n");
    for (const SerialDevice& d : devices) {
        std::printf("  %-28s %s%s%s\n", d.path.c_str(), d.description.c_str(),
                    d.stableName.empty() ? "" : "\n    ", d.stableName.c_str());
    }
    if (devices.empty()) std::printf("  (none found)\n");
    return Finish(kExitOk);
}

std::string TimingJson(const BitTiming& t, double wanted) {
    char text[400];
    std::snprintf(text, sizeof text,
                  "{\"btr0\":\"%02X\",\"btr1\":\"%02X\",\"bit_rate\":%.3f,\"error_percent\":%.4f,"
                  "\"sample_point_percent\":%.2f,\"quanta\":%d,\"brp\":%d,\"tseg1\":%d,\"tseg2\":%d,"
                  "\"sjw\":%d,\"triple_sampling\":%s}",
                  t.btr0, t.btr1, t.bitRate, wanted > 0 ? (t.bitRate - wanted) / wanted * 100 : 0.0,
                  t.samplePoint * 100, t.quanta, t.brp, t.tseg1, t.tseg2, t.sjw,
                  t.tripleSampling ? "true" : "false");
    return text;
}

int Btr(const Options& o) {
    if (o.decode) {
        uint8_t bytes[2] = {};
        for (int i = 0; i < 2; ++i) {
            if (!IsHexGroupsText(o.args[static_cast<size_t>(i)], 1)) {
                return Usage("btr --decode takes two bytes in hex, such as 01 1C");
            }
            bytes[i] = static_cast<uint8_t>(ParseHexGroups(o.args[static_cast<size_t>(i)], 1));
        }
        const BitTiming t = DecodeBitTiming(bytes[0], bytes[1]);
        if (o.json) {
            std::printf("%s\n", TimingJson(t, 0).c_str());
        } else {
            std::printf("BTR0 %02X BTR1 %02X: %s (BRP %d, TSEG1 %d, TSEG2 %d)\n", t.btr0, t.btr1,
                        DescribeBitTiming(t).c_str(), t.brp, t.tseg1, t.tseg2);
        }
        return Finish(kExitOk);
    }
    const auto rate = ParseBitRate(o.args[0]);
    if (!rate) return Usage("btr takes a bit rate such as 83333, 83.333k or 500K, not \"" + o.args[0] + "\"");
    double samplePoint = RecommendedSamplePoint(*rate);
    if (!o.samplePoint.empty()) {
        std::string text = o.samplePoint;
        if (!text.empty() && text.back() == '%') text.pop_back();
        char* end = nullptr;
        const double value = std::strtod(text.c_str(), &end);
        if (text.empty() || end != text.c_str() + text.size() || !(value > 0) || value >= 100) {
            return Usage("--sample-point takes a percentage such as 87.5");
        }
        samplePoint = value / 100.0;
    }
    const std::vector<BitTiming> found = FindBitTimings(*rate, samplePoint);
    if (o.json) {
        std::string out = "{\"bit_rate\":" + std::to_string(*rate) + ",\"sample_point_percent\":" +
                          std::to_string(samplePoint * 100) + ",\"candidates\":[";
        for (size_t i = 0; i < found.size(); ++i) out += (i ? "," : "") + TimingJson(found[i], *rate);
        std::printf("%s]}\n", out.c_str());
    } else if (found.empty()) {
        std::fprintf(stderr, "linkmate-cli: no BTR0/BTR1 pair reaches %.3f kbit/s within 1 %%\n", *rate / 1000);
    } else {
        std::printf("BTR0 BTR1  bit rate (kbit/s)  error    sample point  quanta  BRP TSEG1 TSEG2 SJW\n");
        for (const BitTiming& t : found) {
            std::printf("  %02X   %02X  %17.3f  %+6.3f%%  %10.1f %%  %6d  %3d %5d %5d %3d\n", t.btr0, t.btr1,
                        t.bitRate / 1000, (t.bitRate - *rate) / *rate * 100, t.samplePoint * 100, t.quanta,
                        t.brp, t.tseg1, t.tseg2, t.sjw);
        }
    }
    return Finish(found.empty() ? kExitUsage : kExitOk);
}

int Profile(const Options& o) {
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName(o.app);
    std::string problem;
    const std::string path = ProfileFilePath(&problem);
    if (path.empty()) {
        std::fprintf(stderr, "linkmate-cli: no profile for \"%s\": %s\n", o.app.c_str(), problem.c_str());
        return Finish(kExitFile);
    }
    DeviceConfig config;
    LoadProfile(config);
    if (o.json) {
        std::printf("{\"app\":%s,\"path\":%s,\"config\":%s}\n", JsonString(o.app).c_str(),
                    JsonString(path).c_str(), JsonConfig(config, true).c_str());
    } else {
        if (!o.quiet) std::fprintf(stderr, "profile %s\n", path.c_str());
        PrintConfig(config, true);
    }
    return Finish(kExitOk);
}

// ---- the command line -----------------------------------------------------------------------

// A whole decimal number in [low, high] and nothing else.
bool StrictNumber(const char* text, int low, int high, int& out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

// 0 to go on, else the exit status.
int Parse(int argc, char** argv, Options& o, bool& done) {
    enum { kJson = 1000, kSaveProfile, kPort, kDevice, kModel, kVersion, kApp, kSamplePoint, kDecode };
    static const option kOptions[] = {
        {"json", no_argument, nullptr, kJson},
        {"save-profile", required_argument, nullptr, kSaveProfile},
        {"port", required_argument, nullptr, kPort},
        {"device", required_argument, nullptr, kDevice},
        {"model", required_argument, nullptr, kModel},
        {"app", required_argument, nullptr, kApp},
        {"sample-point", required_argument, nullptr, kSamplePoint},
        {"decode", no_argument, nullptr, kDecode},
        {"quiet", no_argument, nullptr, 'q'},
        {"verbose", no_argument, nullptr, 'v'},
        {"version", no_argument, nullptr, kVersion},
        {"help", no_argument, nullptr, 'h'},
        {nullptr, 0, nullptr, 0},
    };
    opterr = 0;
    int c = 0;
    // Options may stand before or after the command ("read --save-profile NAME"); "--" ends them.
    while ((c = getopt_long(argc, argv, "o:qvh", kOptions, nullptr)) != -1) {
        switch (c) {
            case kJson: o.json = true; break;
            case kSaveProfile: o.saveProfile = optarg; break;
            case kApp: o.app = optarg; break;
            case kSamplePoint: o.samplePoint = optarg; break;
            case kDecode: o.decode = true; break;
            case 'o': o.outFile = optarg; break;
            case 'q': o.quiet = true; break;
            case 'v': o.verbose = true; break;
            case kPort: {
                int n = 0;
                if (!StrictNumber(optarg, 1, 8, n)) return Usage("--port takes a number 1..8, not \"" + std::string(optarg) + "\"");
                o.targets.push_back({"COM" + std::to_string(n), FormatComPortName(n)});
                break;
            }
            case kDevice:
                if (optarg[0] == '\0') return Usage("--device takes a device path");
                o.targets.push_back({optarg, optarg});
                break;
            case kModel:
                if (std::strcmp(optarg, "A") != 0 && std::strcmp(optarg, "B") != 0) {
                    return Usage("--model takes A or B, not \"" + std::string(optarg) + "\"");
                }
                o.model = optarg[0] == 'A' ? 0 : 1;
                break;
            case kVersion:
                std::printf("%s\n", kVersionText);
                done = true;
                return Finish(kExitOk);
            case 'h':
                std::printf("%s%s.%s", kUsage, SettingNames().c_str(), kUsageTail);
                done = true;
                return Finish(kExitOk);
            case ':': return Usage(std::string("option ") + argv[optind - 1] + " needs a value");
            default: {
                const std::string given = optopt != 0 ? std::string("-") + static_cast<char>(optopt) : argv[optind - 1];
                return Usage("unknown option " + given);
            }
        }
    }
    if (optind >= argc) return Usage("no command given");
    o.command = argv[optind++];
    for (; optind < argc; ++optind) o.args.push_back(argv[optind]);
    static const char* const kCommands[] = {"read", "write", "set", "default", "diff", "copy", "ports", "profile", "btr"};
    if (std::none_of(std::begin(kCommands), std::end(kCommands), [&](const char* k) { return o.command == k; })) {
        return Usage("unknown command \"" + o.command + "\"");
    }
    const bool takesFile = o.command == "write" || o.command == "diff";
    if (takesFile && o.args.size() != 1) return Usage(o.command + " takes one FILE");
    if (o.command == "set" && o.args.empty()) return Usage("set takes KEY=VALUE...");
    if (o.command == "btr") {
        if (o.decode ? o.args.size() != 2 : o.args.size() != 1) {
            return Usage("btr takes RATE, or --decode BTR0 BTR1");
        }
        return 0;
    }
    if (o.decode || !o.samplePoint.empty()) return Usage("--decode and --sample-point go with btr");
    if (!takesFile && o.command != "set" && !o.args.empty()) return Usage(o.command + " takes no arguments");
    if (!o.outFile.empty() && o.command != "read") return Usage("-o goes with read");
    if (o.targets.empty()) o.targets.push_back({"COM1", FormatComPortName(1)});
    if (o.targets.size() > 1 && (!o.outFile.empty() || !o.saveProfile.empty())) {
        return Usage("-o and --save-profile take one target");
    }
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    Options o;
    bool done = false;
    if (const int status = Parse(argc, argv, o, done); status != 0 || done) return status;
    if (o.command == "ports") return Ports(o);
    if (o.command == "btr") return Btr(o);
    if (o.command == "profile") return Profile(o);

    DeviceConfig fileConfig;
    if (o.command == "write" || o.command == "diff") {
        std::string error;
        if (!ReadConfigFile(o.args[0], fileConfig, &error)) {
            std::fprintf(stderr, "linkmate-cli: %s\n", error.c_str());
            return Finish(kExitFile);
        }
        if (o.command == "write") {
            if (const std::string why = Unsendable(fileConfig); !why.empty()) {
                std::fprintf(stderr, "linkmate-cli: %s: nothing sent: %s\n", o.args[0].c_str(), why.c_str());
                return Finish(kExitFile);
            }
        }
    }
    std::vector<Assignment> assignments;
    for (const std::string& arg : o.args) {
        if (o.command != "set") break;
        const size_t eq = arg.find('=');
        const Setting* setting = eq == std::string::npos ? nullptr : FindSetting(arg.substr(0, eq));
        if (setting == nullptr) {
            return Usage("unknown setting \"" + arg.substr(0, eq) + "\"; the settings are: " + SettingNames());
        }
        DeviceConfig scratch;
        std::string error;
        if (!SetSetting(scratch, *setting, arg.substr(eq + 1), &error)) return Usage(error);
        assignments.push_back({setting, arg.substr(eq + 1)});
    }

    std::vector<Result> results(o.targets.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < o.targets.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = RunTarget(o, o.targets[i], fileConfig, assignments); });
    }
    for (std::thread& t : threads) t.join();

    int worst = kExitOk;
    const bool several = o.targets.size() > 1;
    for (size_t i = 0; i < results.size(); ++i) {
        Result& r = results[i];
        const Target& t = o.targets[i];
        if (o.json) {
            std::string line = "{\"target\":" + JsonString(t.name) + ",\"device\":" + JsonString(r.device) +
                               ",\"command\":" + JsonString(o.command) + ",\"status\":" + std::to_string(r.status) +
                               ",\"message\":" + JsonString(r.message);
            if (r.haveConfig) line += ",\"config\":" + JsonConfig(r.config, false);
            if (r.status == kExitComm && !r.traces.empty()) {
                line += ",\"diagnosis\":" + JsonString(r.traces.back().Diagnosis()) + ",\"trace\":" +
                        TraceJson(r.traces);
            }
            if (!r.differences.empty()) {
                const bool diff = o.command == "diff";
                line += ",\"differences\":[";
                for (size_t k = 0; k < r.differences.size(); ++k) {
                    const SettingDifference& d = r.differences[k];
                    line += std::string(k ? "," : "") + "{\"setting\":" + JsonString(d.name) + "," +
                            (diff ? "\"file\":" : "\"sent\":") + JsonString(d.first) + "," +
                            (diff ? "\"converter\":" : "\"read_back\":") + JsonString(d.second) + "}";
                }
                line += "]";
            }
            std::printf("%s}\n", line.c_str());
        } else {
            if (!o.quiet || r.status != kExitOk) {
                std::fprintf(stderr, "%s: %s\n", t.name.c_str(), r.message.c_str());
                if (r.status == kExitComm && !r.traces.empty()) {
                    std::fprintf(stderr, "%s: %s\n", t.name.c_str(), r.traces.back().Diagnosis().c_str());
                }
            }
            if (o.verbose) {
                for (const ExchangeTrace& trace : r.traces) {
                    std::fprintf(stderr, "%s: %s", t.name.c_str(), trace.Format().c_str());
                }
            }
            if (o.command == "read" && r.haveConfig) {
                if (several) std::printf("[%s]\n", t.name.c_str());
                PrintConfig(r.config, false);
            }
            if (o.command == "diff") {
                for (const SettingDifference& d : r.differences) {
                    std::printf("%s%s: file %s, converter %s\n", several ? (t.name + ": ").c_str() : "",
                                std::string(d.name).c_str(), d.first.c_str(), d.second.c_str());
                }
            }
        }
        worst = std::max(worst, r.status);
    }

    const Result& only = results.front();
    if (!o.outFile.empty() && only.status == kExitOk) {
        std::string error;
        if (!WriteConfigFile(o.outFile, only.config, &error)) {
            std::fprintf(stderr, "linkmate-cli: %s\n", error.c_str());
            worst = std::max(worst, kExitFile);
        } else if (!o.quiet) {
            std::fprintf(stderr, "configuration saved to %s\n", o.outFile.c_str());
        }
    }
    if (!o.saveProfile.empty() && only.status == kExitOk && only.haveConfig) {
        SetProfileRegistryKey(kProfileRegistryKey);
        SetProfileApplicationName(o.saveProfile);
        DeviceConfig config = only.config;
        config.connection.DeviceType = o.model;
        if (const auto n = ParseComPortName(o.targets.front().open)) config.connection.ConfigPort = *n - 1;
        std::string error;
        if (!SaveProfile(config, &error)) {
            std::fprintf(stderr, "linkmate-cli: the profile \"%s\" could not be saved: %s\n",
                         o.saveProfile.c_str(), error.c_str());
            worst = std::max(worst, kExitFile);
        } else if (!o.quiet) {
            std::fprintf(stderr, "profile saved to %s\n", ProfileFilePath().c_str());
        }
    }
    return Finish(worst);
}
