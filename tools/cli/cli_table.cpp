#include "tools/cli/cli_table.h"

#include <algorithm>
#include <cstring>

#include "protocol/settings_table.h"

namespace linkmate::cli {
namespace {

using C = Completion;

constexpr OptionSpec kOptions[] = {
    {OptionId::kPort, "port", 0, "N", "Targets",
     "COMN (1..255), through the port map ~/.config/linkmate/dosdevices/comN", nullptr, C::kWords,
     "1 2 3 4 5 6 7 8"},
    {OptionId::kDevice, "device", 0, "PATH", "Targets",
     "a device path, without the port map, or a serial device server's port:\n"
     "rfc2217://HOST:PORT (RFC 2217) or socket://HOST:PORT (raw TCP)",
     nullptr, C::kDevice},
    {OptionId::kModel, "model", 0, "A|B", "Targets",
     "A = Ternix-A (57600 bit/s, default), B = Ternix-B (19200 bit/s), for all", nullptr, C::kWords,
     "A B"},
    {OptionId::kJson, "json", 0, nullptr, "Options",
     "machine-readable output: one JSON object per line (per target)", nullptr},
    {OptionId::kOut, nullptr, 'o', "FILE", "Options",
     "read: also save the configuration to FILE (one target only); with -o -, print\n"
     "the file instead of the settings\n"
     "export: write to FILE instead of standard output",
     "read export", C::kFile},
    {OptionId::kSaveProfile, "save-profile", 0, "NAME", "Options",
     "after success, save the settings to the profile of application NAME, as\n"
     "the window does (one target only); a failed save is an error",
     "read write set default copy"},
    {OptionId::kApp, "app", 0, "NAME", "Options",
     "profile, export: the application whose profile to print or export", "profile export"},
    {OptionId::kSamplePoint, "sample-point", 0, "P", "Options",
     "btr: the sample point: 87.5, 87.5%, 0.875 or 875, between 50 and 95 %\n"
     "(default as Linux: 87.5 up to 500K, 80 up to 800K, 75 above)",
     "btr"},
    {OptionId::kDecode, "decode", 0, nullptr, "Options", "btr: decode two bus-timing bytes", "btr"},
    {OptionId::kPartial, "partial", 0, nullptr, "Options",
     "write: FILE may hold only some settings; read the converter first and change\n"
     "only those, checked as set checks them (without it, FILE must hold them all)",
     "write"},
    {OptionId::kQuiet, "quiet", 'q', nullptr, "Options", "no status lines", nullptr},
    {OptionId::kVerbose, "verbose", 'v', nullptr, "Options",
     "print the trace of every exchange (what each attempt sent and received)", nullptr},
    {OptionId::kStations, "stations", 0, "MAP", "Line",
     "the station map: one [NAME] section per station with usb-serial=,\n"
     "usb-path=, device= or com=, and model=A|B (or in [defaults])",
     "apply stations", C::kFile},
    {OptionId::kOnly, "only", 0, "NAME", "Line", "only this station (repeatable)",
     "apply stations"},
    {OptionId::kRetries, "retries", 0, "N", "Line",
     "try a failed station N more times (default 0); the others go on", "apply"},
    {OptionId::kDryRun, "dry-run", 0, nullptr, "Line",
     "resolve the stations and ask each converter what it holds; write nothing", "apply"},
    {OptionId::kInit, "init", 0, nullptr, "Line",
     "write a map of the adapters present to MAP (never over an existing file),\n"
     "or to standard output without --stations",
     "stations"},
    {OptionId::kEvents, "events", 0, "FILE", "Line",
     "append one JSON object per event (start, attempt, result) to FILE; - for\n"
     "standard output",
     "apply", C::kFile},
    {OptionId::kJunit, "junit", 0, "FILE", "Line",
     "write a JUnit XML report: one test case per station", "apply", C::kFile},
    {OptionId::kLogDir, "log-dir", 0, "DIR", "Line",
     "write the run's log, with the traces of failed attempts, to a new file in DIR", "apply",
     C::kFile},
    {OptionId::kVersion, "version", 0, nullptr, "Options", "print the version", nullptr},
    {OptionId::kHelp, "help", 'h', nullptr, "Options", "show this text", nullptr},
};

constexpr CommandSpec kCommands[] = {
    {"read", "", "read and print the configuration"},
    {"write", "FILE", "write the configuration in FILE, then read it back and verify", C::kFile},
    {"set", "KEY=VALUE...", "read, change the named settings, write, verify", C::kSetting},
    {"default", "", "write the factory values (those of the window's Default), verify"},
    {"diff", "FILE", "read and compare with FILE (exit 0 when equal, 5 when different)", C::kFile},
    {"copy", "", "read, then write the same configuration back and verify"},
    {"ports", "", "list COM1..COM8 with their devices, and the serial devices present"},
    {"find", "",
     "ask COM1..COM8 at once at both models' bit rates (read request only) and list\n"
     "the converters that answer (exit 0 when one did, 1 when none)"},
    {"btr", "RATE [--sample-point P]",
     "list BTR0/BTR1 pairs for a CAN bit rate (83333, 83.333k, 500K, 1M), as\n"
     "Linux chooses them, with the ip link lines that give a SocketCAN node\n"
     "the same timing"},
    {"btr", "--decode BTR0 BTR1",
     "what two bus-timing bytes give (16 MHz controller clock), in SocketCAN's\n"
     "terms too, with a warning for a timing no controller should be given"},
    {"profile", "[--app NAME]",
     "print the settings a window saved (application name \"linkmate\")"},
    {"export", "[FILE] [--app NAME] [-o FILE]",
     "FILE (a configuration or profile file), or else the profile, in the form\n"
     "Windows' registry editor writes and imports: UTF-16 with a byte-order\n"
     "mark, CR LF line ends",
     C::kFile},
    {"stations", "--stations MAP | --init",
     "list what each station of MAP resolves to now (exit 0 when all do, 1 when\n"
     "not); --init: a map of the adapters present, for you to edit",
     C::kNone},
    {"apply", "FILE --stations MAP",
     "write and verify FILE on every station at once, with live progress and\n"
     "reports (exit 0 when all passed, 1 when some failed)",
     C::kFile},
    {"help", "[COMMAND]", "show this text, or what COMMAND takes", C::kCommand},
};

constexpr const char* kSections[][2] = {
    {"Targets", "Targets (repeatable, combinable; each converter is served by its own thread):"},
    {"Options", "Options:"},
    {"Line", "Production line (apply, stations):"},
};

constexpr const char* kTargetsTail = "  Without a target: --port 1.\n";

constexpr const char* kSettingsTail = R"(
(CanFilterMode is accepted for CanFiterMode). A list setting takes its index or its text as the
window shows it (CanBaudrate=250K, CanBaudrate="250 K" and CanBaudrate=10 are the same); a hex
setting takes hex byte text (CanID="00 00 07 FF"). A preset CanBaudrate brings its BTR0/BTR1;
CanBTR0/CanBTR1 may be named only with CanBaudrate Custom. Masks change only when named.
SerialDataBit, SerialStopBit and SerialFlowCtrl are not kept by the converter (8, 1, None).
A FILE holds every setting (or, with write --partial, some); each value is checked as set
checks it. FILE must be a regular file, or - for standard input.

Status and error lines go to standard error, data to standard output.
Exit status: 0 success, 1 communication error, 2 usage error or port that cannot be opened,
3 verification failed, 4 file or profile error (also output that cannot be written, and a
profile that holds no saved settings),
5 diff found differences. With several targets, the highest status of them. btr: 1 when no
pair reaches the rate within 1 %.
)";

// Where the help of an entry starts; a longer synopsis puts it on the next line.
constexpr size_t kHelpColumn = 21;

// "  synopsis           help line 1\n                     help line 2\n".
std::string HelpEntry(const std::string& synopsis, std::string_view help) {
    std::string out = "  " + synopsis;
    if (out.size() + 2 <= kHelpColumn) {
        out.append(kHelpColumn - out.size(), ' ');
    } else {
        out += "\n" + std::string(kHelpColumn, ' ');
    }
    for (size_t start = 0; start <= help.size();) {
        const size_t end = std::min(help.find('\n', start), help.size());
        if (start != 0) out += std::string(kHelpColumn, ' ');
        out += std::string(help.substr(start, end - start)) + "\n";
        start = end + 1;
    }
    return out;
}

std::string CommandSynopsis(const CommandSpec& c) {
    return std::string(c.name) + (*c.args != '\0' ? " " : "") + c.args;
}

}  // namespace

std::span<const OptionSpec> OptionTable() { return kOptions; }
std::span<const CommandSpec> CommandTable() { return kCommands; }

bool IsCommand(std::string_view name) {
    return std::any_of(std::begin(kCommands), std::end(kCommands),
                       [&](const CommandSpec& c) { return name == c.name; });
}

std::string OptionSynopsis(const OptionSpec& o) {
    std::string out;
    if (o.shortName != 0) out = std::string("-") + o.shortName;
    if (o.longName != nullptr) out += (out.empty() ? "--" : ", --") + std::string(o.longName);
    if (o.value != nullptr) out += std::string(" ") + o.value;
    return out;
}

bool OptionGoesWith(const OptionSpec& o, std::string_view command) {
    if (o.commands == nullptr) return true;
    const std::string_view list = o.commands;
    for (size_t start = 0; start < list.size();) {
        const size_t end = std::min(list.find(' ', start), list.size());
        if (list.substr(start, end - start) == command) return true;
        start = end + 1;
    }
    return false;
}

std::string UsageText() {
    std::string out = "Usage: linkmate-cli [OPTIONS] COMMAND [ARGS]\n\nCommands:\n";
    for (const CommandSpec& c : kCommands) out += HelpEntry(CommandSynopsis(c), c.help);
    for (const auto& [section, title] : kSections) {
        out += std::string("\n") + title + "\n";
        for (const OptionSpec& o : kOptions) {
            if (std::strcmp(o.section, section) == 0) out += HelpEntry(OptionSynopsis(o), o.help);
        }
        if (std::strcmp(section, "Targets") == 0) out += kTargetsTail;
    }
    return out + "\nSettings are named as in the profile: " + SettingNames() + "." + kSettingsTail;
}

std::string CommandHelpText(std::string_view command) {
    std::string out;
    for (const CommandSpec& c : kCommands) {
        if (command != c.name) continue;
        out += "Usage: linkmate-cli [OPTIONS] " + CommandSynopsis(c) + "\n";
        const std::string_view help = c.help;
        for (size_t start = 0; start <= help.size();) {
            const size_t end = std::min(help.find('\n', start), help.size());
            out += "  " + std::string(help.substr(start, end - start)) + "\n";
            start = end + 1;
        }
    }
    std::string own;
    for (const OptionSpec& o : kOptions) {
        if (o.commands != nullptr && OptionGoesWith(o, command))
            own += HelpEntry(OptionSynopsis(o), o.help);
    }
    if (!own.empty()) out += "\nOptions:\n" + own;
    return out + "\nTargets and the options of every command: linkmate-cli --help\n";
}

}  // namespace linkmate::cli
