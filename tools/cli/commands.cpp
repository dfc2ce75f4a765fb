#include "tools/cli/commands.h"

#include <algorithm>
#include <cstdio>
#include <thread>

#include "profile/config_file.h"
#include "profile/profile_store.h"
#include "profile/settings_profile.h"
#include "protocol/config_lists.h"
#include "protocol/hex_fields.h"
#include "protocol/hex_text.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/converter_finder.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"
#include "serial/serial_comm.h"
#include "tools/cli/report.h"
#include "tools/cli/status.h"

namespace linkmate::cli {
namespace {

struct Assignment {
    const Setting* setting;
    std::string value;
};

// What every target works from: the file of write and diff, the settings of set (and of a
// partial file).
struct Request {
    DeviceConfig fileConfig;
    std::vector<Assignment> assignments;
};

// The settings a partial file has, as `set` would name them.
std::vector<Assignment> FileAssignments(DeviceConfig file,
                                        const std::vector<const Setting*>& present) {
    std::vector<Assignment> out;
    for (const Setting* s : present) {
        out.push_back(
            {s, s->kind == SettingKind::kHex ? *s->text(file) : std::to_string(*s->number(file))});
    }
    return out;
}

std::string DifferenceText(const std::vector<SettingDifference>& differences, const char* first,
                           const char* second) {
    std::string out;
    for (const SettingDifference& d : differences) {
        out += "\n  " + std::string(d.name) + ": " + first + " " + d.first + ", " + second + " " +
               d.second;
    }
    return out;
}

}  // namespace

std::string OtherModelHint(int32_t model, bool stationMap) {
    const size_t m = static_cast<size_t>(model);
    const std::string letter(1, static_cast<char>('A' + model));
    return "a converter answered at " + std::to_string(ConfigPortBaudTable.at(m)) + " bit/s: use " +
           (stationMap ? "model=" + letter + " in the station map or " : std::string()) +
           "--model " + letter + " (" + std::string(lists::DeviceType.at(m)) + ")";
}

void WriteAndVerify(PortIo& io, const DeviceConfig& config, Result& r) {
    r.expected = config;
    VerifiedWrite v = WriteAndVerify(io, config);
    r.traces.push_back(std::move(v.write));
    if (!v.readBack.attempts.empty()) r.traces.push_back(std::move(v.readBack));
    // Without an acknowledgement or a read-back the converter may hold the new values or the old.
    const std::string mayHaveTaken =
        "\nThe converter may have taken the new values: press Read to see what it holds.";
    const std::string removed = v.deviceRemoved ? ": " + io.RemovalText() : "";
    if (v.outcome == VerifiedWrite::Outcome::kNotAcknowledged ||
        v.outcome == VerifiedWrite::Outcome::kReadBackFailed) {
        r.status = kExitComm;
        r.message = (v.outcome == VerifiedWrite::Outcome::kNotAcknowledged
                         ? "Communication Error! (write)"
                         : "Communication Error! (reading back after the write)") +
                    removed + mayHaveTaken;
        return;
    }
    DeviceConfig back = config;
    DecodeConfigFrame(v.held, back);
    r.config = back;
    r.haveConfig = true;
    for (const FrameFieldDifference& d : v.differences)
        r.differences.push_back({d.name, d.wrote, d.holds});
    if (!r.differences.empty()) {
        r.status = kExitVerify;
        r.message = "verification failed: the converter holds other values" +
                    DifferenceText(r.differences, "you wrote", "the converter holds");
        return;
    }
    r.message = "Write Configration Successfully! (verified)";
}

namespace {

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
                const std::string typed = HexFieldText(config.can, v.field);
                out += (out.empty() ? "" : "; ") + std::string(s.name) + " \"" + typed +
                       "\" cannot be held by the converter in this frame format";
                // One run of digits ("7FF") was almost surely meant as one number, not as the
                // byte groups it reads as.
                if (const auto number = ParseHexRun(typed, s.bytes); number && *number != v.typed) {
                    const std::string groups = s.bytes == 2   ? FormatHex16(*number)
                                               : s.bytes == 4 ? FormatHex32(*number)
                                                              : FormatHex8(*number);
                    out += " (it reads as byte groups; for the number " + typed + " write " +
                           std::string(s.name) + "=\"" + groups + "\")";
                }
            }
        }
    }
    return out;
}

// set: the named settings onto what the converter holds, then what they bring with them.
void SetAndVerify(PortIo& io, DeviceConfig config, const std::vector<Assignment>& assignments,
                  Result& r) {
    bool namedRate = false, namedTiming = false;
    for (const Assignment& a : assignments) {
        SetSetting(config, *a.setting, a.value, nullptr);  // validated before any port opened
        namedRate |= a.setting->name == "CanBaudrate";
        namedTiming |= a.setting->name == "CanBTR0" || a.setting->name == "CanBTR1";
    }
    // Timing named with a preset rate is refused unless it is the preset's own (a whole file
    // written with --partial names both).
    const auto isPreset = [&config] {
        const auto& row = CanBaudPresets[static_cast<size_t>(config.can.CanBaudrate)];
        return ParseHexGroups(config.can.CanBTR0, 1) == ParseHexGroups(row.btr0, 1) &&
               ParseHexGroups(config.can.CanBTR1, 1) == ParseHexGroups(row.btr1, 1);
    };
    if (namedTiming && config.can.CanBaudrate != 0 && !isPreset()) {
        r.status = kExitUsage;
        r.message = "CanBTR0 and CanBTR1 can be set only with CanBaudrate Custom (0); it is " +
                    std::to_string(config.can.CanBaudrate);
        return;
    }
    if (namedRate) ApplyBaudPreset(config.can);
    if (const std::string why = Unsendable(config); !why.empty()) {
        r.status = kExitUsage;
        r.message = "nothing sent: " + why;
        return;
    }
    WriteAndVerify(io, config, r);
}

// The commands that start with a read of what the converter holds.
void AfterRead(const Options& o, PortIo& io, const Request& request, Result& r) {
    DeviceConfig config = r.config;
    if (o.command == "read") {
        r.message = "Read Configration Successfully!";
    } else if (o.command == "diff") {
        r.expected = request.fileConfig;
        r.differences = FrameSettingDifferences(request.fileConfig, config);
        r.status = r.differences.empty() ? kExitOk : kExitDiff;
        r.message = r.differences.empty() ? "equal to the file" : "differs from the file";
    } else if (o.command == "copy") {
        WriteAndVerify(io, config, r);
    } else if (o.command == "default") {
        config = DeviceConfig{};
        ApplyDefaults(config);
        ApplyBaudPreset(config.can);
        ApplyMaskRule(config.can);
        WriteAndVerify(io, config, r);
    } else if (o.command == "set" || o.command == "write") {  // write: --partial
        SetAndVerify(io, config, request.assignments, r);
    }
}

// What a command does over the open port.
void Converse(const Options& o, PortIo& io, const Request& request, Result& r) {
    // Neither needs what the converter holds: they still work on a converter whose values a
    // read refuses.
    if (o.command == "write" && !o.partial) {
        WriteAndVerify(io, request.fileConfig, r);
        return;
    }
    if (o.command == "default") {
        AfterRead(o, io, request, r);
        return;
    }
    if (!ReadConfig(io, r.config, &r.traces.emplace_back())) {
        r.status = kExitComm;
        r.message = r.traces.back().deviceRemoved()
                        ? "Communication Error! (read): " + io.RemovalText()
                        : "Communication Error! (read)";
        return;
    }
    r.haveConfig = true;
    AfterRead(o, io, request, r);
}

void Locate(const Target& target, Result& r) {
    if (const auto n = ParseComPortName(target.open)) {
        const ComPortInfo info = DescribeComPort(*n);
        r.device = info.devicePath;
        r.link = info.linkPath;
    } else {
        r.device = ResolvePortName(target.open);
    }
}

Result RunTarget(const Options& o, const Target& target, const Request& request) {
    Result r;
    Locate(target, r);
    CSerialComm port;
    CFileException openError;
    const bool opened = port.Open(target.open, ConfigPortBaudTable[static_cast<size_t>(o.model)], 8,
                                  LineSettings::kNoParity, LineSettings::kOneStopBit, &openError);
    if (!opened) {
        r.status = kExitUsage;
        r.message = "Invalid serial port!\n" +
                    DescribeOpenFailure(target.open, openError, OpenFailureReader::kCommandLine);
        return r;
    }
    SerialPortIo io(port);
    Converse(o, io, request, r);
    // A server's port that could not set or confirm everything says so with the outcome.
    for (const std::string& note : port.networkNotes()) r.message += "\n" + note;
    // Silence may be the other model, which talks at another bit rate.
    const bool heardNothing = std::all_of(r.traces.begin(), r.traces.end(),
                                          [](const ExchangeTrace& t) { return t.heardNothing(); });
    if (r.status == kExitComm && !r.traces.empty() && heardNothing) {
        if (const auto model = ProbeOtherModels(port, io)) {
            r.hint = OtherModelHint(*model, false);
        }
    }
    return r;
}

// The file of write and diff, the assignments of set: checked before any port is opened.
// 0 to go on, else the exit status.
int Prepare(const Options& o, Request& request) {
    if (o.command == "write" || o.command == "diff") {
        std::string error;
        std::vector<const Setting*> present;
        if (!ReadConfigFile(o.args[0], request.fileConfig, &error,
                            o.partial ? ConfigFileKeys::kPresent : ConfigFileKeys::kAll,
                            &present)) {
            std::fprintf(stderr, "linkmate-cli: %s\n", error.c_str());
            return Finish(kExitFile);
        }
        if (o.partial) {
            request.assignments = FileAssignments(request.fileConfig, present);
            return 0;  // checked as set checks, once the converter's values are in
        }
        const std::string why = o.command == "write" ? Unsendable(request.fileConfig) : "";
        if (!why.empty()) {
            std::fprintf(stderr, "linkmate-cli: %s: nothing sent: %s\n", o.args[0].c_str(),
                         why.c_str());
            return Finish(kExitFile);
        }
    }
    for (const std::string& arg : o.args) {
        if (o.command != "set") break;
        const size_t eq = arg.find('=');
        const Setting* setting = eq == std::string::npos ? nullptr : FindSetting(arg.substr(0, eq));
        if (setting == nullptr) {
            return Usage("unknown setting \"" + arg.substr(0, eq) +
                         "\"; the settings are: " + SettingNames());
        }
        DeviceConfig scratch;
        std::string error;
        if (!SetSetting(scratch, *setting, arg.substr(eq + 1), &error)) return Usage(error);
        if (setting->kind == SettingKind::kList) {
            if (const std::string why = NotKeptByConverter(*setting, *setting->number(scratch));
                !why.empty()) {
                return Usage(why);
            }
        }
        request.assignments.push_back({setting, arg.substr(eq + 1)});
    }
    return 0;
}

// -o FILE after a successful read; the exit status it adds.
int SaveFile(const Options& o, const Result& only) {
    if (o.outFile == "-") {
        std::fputs(ConfigFileText(only.config).c_str(), stdout);
        return kExitOk;
    }
    std::string error;
    if (!WriteConfigFile(o.outFile, only.config, &error)) {
        std::fprintf(stderr, "linkmate-cli: %s\n", error.c_str());
        return kExitFile;
    }
    if (!o.quiet) std::fprintf(stderr, "configuration saved to %s\n", o.outFile.c_str());
    return kExitOk;
}

// --save-profile NAME after success, as the window saves; the exit status it adds.
int SaveToProfile(const Options& o, const Result& only) {
    SetProfileRegistryKey(kProfileRegistryKey);
    SetProfileApplicationName(o.saveProfile);
    DeviceConfig config = only.config;
    config.connection.DeviceType = o.model;
    if (const auto n = ParseComPortName(o.targets.front().open))
        config.connection.ConfigPort = *n - 1;
    std::string error;
    if (!SaveProfile(config, &error)) {
        std::fprintf(stderr, "linkmate-cli: the profile \"%s\" could not be saved: %s\n",
                     o.saveProfile.c_str(), error.c_str());
        return kExitFile;
    }
    if (!o.quiet) std::fprintf(stderr, "profile saved to %s\n", ProfileFilePath().c_str());
    return kExitOk;
}

}  // namespace

int ReadFileToWrite(const std::string& path, DeviceConfig& config) {
    Options o;
    o.command = "write";
    o.args = {path};
    Request request;
    const int status = Prepare(o, request);
    config = request.fileConfig;
    return status;
}

int RunConverterCommand(const Options& o) {
    Request request;
    if (const int status = Prepare(o, request); status != 0) return status;

    std::vector<Result> results(o.targets.size());
    std::vector<std::thread> threads;
    for (size_t i = 0; i < o.targets.size(); ++i) {
        threads.emplace_back([&, i] { results[i] = RunTarget(o, o.targets[i], request); });
    }
    for (std::thread& t : threads) t.join();

    int worst = kExitOk;
    for (size_t i = 0; i < results.size(); ++i) {
        if (o.json) {
            PrintResultJson(o, o.targets[i], results[i]);
        } else {
            PrintResultText(o, o.targets[i], results[i], results.size() > 1);
        }
        worst = std::max(worst, results[i].status);
    }
    const Result& only = results.front();
    if (!o.outFile.empty() && only.status == kExitOk) worst = std::max(worst, SaveFile(o, only));
    if (!o.saveProfile.empty() && only.status == kExitOk && only.haveConfig) {
        worst = std::max(worst, SaveToProfile(o, only));
    }
    return Finish(worst);
}

}  // namespace linkmate::cli
