#include "tools/cli/options.h"

#include <getopt.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "serial/com_port_names.h"
#include "serial/port_address.h"
#include "serial/port_map.h"
#include "tools/cli/cli_table.h"
#include "tools/cli/line_options.h"
#include "tools/cli/status.h"

namespace linkmate::cli {
namespace {

constexpr const char* kVersionText = "linkmate-cli 2.0.0.1";
// getopt's value for an option without a short form: this plus its row in the table.
constexpr int kLongOnly = 1000;

// A whole decimal number in [low, high] and nothing else.
bool StrictNumber(const char* text, int low, int high, int& out) {
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno != 0 || value < low || value > high) return false;
    out = static_cast<int>(value);
    return true;
}

struct GetoptTable {
    std::vector<option> longOptions;
    std::string shortOptions =
        ":";  // ':' first: a missing value is told apart from an unknown option
};

const GetoptTable& Getopt() {
    static const GetoptTable table = [] {
        GetoptTable t;
        const auto options = OptionTable();
        for (size_t i = 0; i < options.size(); ++i) {
            const OptionSpec& o = options[i];
            const int val = o.shortName != 0 ? o.shortName : kLongOnly + static_cast<int>(i);
            const int hasArg = o.value != nullptr ? required_argument : no_argument;
            if (o.longName != nullptr) t.longOptions.push_back({o.longName, hasArg, nullptr, val});
            if (o.shortName != 0)
                t.shortOptions += std::string(1, o.shortName) + (o.value ? ":" : "");
        }
        t.longOptions.push_back({nullptr, 0, nullptr, 0});
        return t;
    }();
    return table;
}

const OptionSpec* OptionFor(int val) {
    for (const OptionSpec& o : OptionTable()) {
        const int row = static_cast<int>(&o - OptionTable().data());
        if ((o.shortName != 0 && val == o.shortName) ||
            (o.shortName == 0 && val == kLongOnly + row))
            return &o;
    }
    return nullptr;
}

// The option as it was typed, for an error: "--port", "--help" (of "--help=foo"), "-o".
// `advanced`: getopt has moved past the argument that holds it.
std::string OptionAsTyped(char** argv, bool advanced) {
    const char* arg = advanced ? argv[optind - 1] : nullptr;
    if (arg != nullptr && std::strncmp(arg, "--", 2) == 0) {
        return std::string(arg, std::strcspn(arg, "="));
    }
    return std::string("-") + static_cast<char>(optopt);
}

int LongOptionsStartingWith(const std::string& prefix) {
    int n = 0;
    for (const OptionSpec& o : OptionTable())
        n += o.longName != nullptr && std::string_view(o.longName).starts_with(prefix);
    return n;
}

int OptionError(int c, char** argv, bool advanced) {
    const std::string typed = OptionAsTyped(argv, advanced);
    if (c == ':') return Usage("option '" + typed + "' needs a value");
    const bool tookValue = advanced && std::strchr(argv[optind - 1], '=') != nullptr &&
                           std::strncmp(argv[optind - 1], "--", 2) == 0;
    if (optopt != 0 && tookValue) return Usage("option '" + typed + "' takes no value");
    if (typed.size() > 2 && typed[1] == '-' && LongOptionsStartingWith(typed.substr(2)) > 1) {
        return Usage("option '" + typed + "' is ambiguous");
    }
    return Usage("unknown option '" + typed + "'");
}

// Every COM number Windows names ports with (\\.\COM10 and above open as COM1..COM8 do); the
// window's list keeps COM1..COM8.
constexpr int kHighestComPort = 255;

int AddPort(const char* arg, Options& o) {
    int n = 0;
    if (!StrictNumber(arg, kFirstComPort, kHighestComPort, n)) {
        return Usage("--port takes a number 1..255, not \"" + std::string(arg) + "\"");
    }
    o.targets.push_back({"COM" + std::to_string(n), FormatComPortName(n)});
    return 0;
}

// 0 to go on, else the exit status.
int Apply(const OptionSpec& spec, const char* arg, Options& o, bool& done) {
    switch (spec.id) {
        case OptionId::kPort: return AddPort(arg, o);
        case OptionId::kDevice:
            if (arg[0] == '\0') return Usage("--device takes a device path");
            if (std::string why; LooksLikePortAddress(arg) && !ParsePortAddress(arg, &why)) {
                return Usage("--device " + std::string(arg) + ": " + why);
            }
            o.targets.push_back({arg, arg});
            return 0;
        case OptionId::kModel:
            if (std::strcmp(arg, "A") != 0 && std::strcmp(arg, "B") != 0) {
                return Usage("--model takes A or B, not \"" + std::string(arg) + "\"");
            }
            o.model = arg[0] == 'A' ? 0 : 1;
            return 0;
        case OptionId::kJson: o.json = true; return 0;
        case OptionId::kOut:
            if (arg[0] == '\0') return Usage("-o takes a file name, or - for standard output");
            o.outFile = arg;
            return 0;
        case OptionId::kSaveProfile:
            if (arg[0] == '\0') return Usage("--save-profile takes an application name");
            o.saveProfile = arg;
            return 0;
        case OptionId::kApp:
            if (arg[0] == '\0') return Usage("--app takes an application name");
            o.app = arg;
            return 0;
        case OptionId::kPartial: o.partial = true; return 0;
        case OptionId::kSamplePoint: o.samplePoint = arg; return 0;
        case OptionId::kDecode: o.decode = true; return 0;
        case OptionId::kQuiet: o.quiet = true; return 0;
        case OptionId::kVerbose: o.verbose = true; return 0;
        case OptionId::kStations:
        case OptionId::kOnly:
        case OptionId::kRetries:
        case OptionId::kDryRun:
        case OptionId::kInit:
        case OptionId::kEvents:
        case OptionId::kJunit:
        case OptionId::kLogDir: return ApplyLineOption(spec.id, arg, o);
        case OptionId::kVersion: std::printf("%s\n", kVersionText); break;
        case OptionId::kHelp: std::printf("%s", UsageText().c_str()); break;
    }
    done = true;
    return Finish(kExitOk);
}

// The command's arguments and the options that go with it.
int CheckCommand(Options& o) {
    if (!IsCommand(o.command)) return Usage("unknown command \"" + o.command + "\"");
    if (const int status = CheckLineCommand(o); status != 0 || IsLineCommand(o.command))
        return status;
    const bool takesFile = o.command == "write" || o.command == "diff";
    if (takesFile && o.args.size() != 1) return Usage(o.command + " takes one FILE");
    if (o.command == "set" && o.args.empty()) return Usage("set takes KEY=VALUE...");
    if (o.command == "help") {
        if (o.args.size() > 1 || (o.args.size() == 1 && !IsCommand(o.args[0]))) {
            return Usage("help: unknown command \"" + o.args[0] + "\"");
        }
        return 0;
    }
    if (o.command == "btr") {
        const bool fits = o.decode ? o.args.size() == 2 : o.args.size() == 1;
        return fits ? 0 : Usage("btr takes RATE, or --decode BTR0 BTR1");
    }
    if (o.decode || !o.samplePoint.empty()) return Usage("--decode and --sample-point go with btr");
    if (o.partial && o.command != "write") return Usage("--partial goes with write");
    if (o.command == "export")
        return o.args.size() <= 1 ? 0 : Usage("export takes at most one FILE");
    if (!takesFile && o.command != "set" && !o.args.empty())
        return Usage(o.command + " takes no arguments");
    if (!o.outFile.empty() && o.command != "read") return Usage("-o goes with read and export");
    if (o.outFile == "-" && o.json) return Usage("-o - and --json both write to standard output");
    if (o.targets.empty()) o.targets.push_back({"COM1", FormatComPortName(1)});
    // A target named twice is served once: two threads on one port would refuse each other.
    std::vector<Target> unique;
    for (const Target& t : o.targets) {
        if (std::none_of(unique.begin(), unique.end(),
                         [&](const Target& u) { return u.open == t.open; })) {
            unique.push_back(t);
        }
    }
    o.targets = std::move(unique);
    if (o.targets.size() > 1 && (!o.outFile.empty() || !o.saveProfile.empty())) {
        return Usage("-o and --save-profile take one target");
    }
    return 0;
}

}  // namespace

std::string_view VersionText() { return kVersionText; }

int ParseCommandLine(int argc, char** argv, Options& o, bool& done) {
    const GetoptTable& table = Getopt();
    opterr = 0;
    // Options may stand before or after the command ("read --save-profile NAME"); "--" ends them.
    for (;;) {
        const int before = optind;
        const int c =
            getopt_long(argc, argv, table.shortOptions.c_str(), table.longOptions.data(), nullptr);
        if (c == -1) break;
        const OptionSpec* spec = c == ':' || c == '?' ? nullptr : OptionFor(c);
        if (spec == nullptr) return OptionError(c, argv, optind > before);
        if (const int status = Apply(*spec, optarg, o, done); status != 0 || done) return status;
    }
    if (optind >= argc) return Usage("no command given");
    o.command = argv[optind++];
    for (; optind < argc; ++optind) o.args.push_back(argv[optind]);
    return CheckCommand(o);
}

}  // namespace linkmate::cli
