// The one list of linkmate-cli's commands and options. The parser, --help, `help COMMAND`, the
// manual page and the shell completion are all made from it, so they cannot disagree.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace linkmate::cli {

enum class OptionId {
    kPort,
    kDevice,
    kModel,
    kJson,
    kOut,
    kSaveProfile,
    kApp,
    kSamplePoint,
    kDecode,
    kQuiet,
    kVerbose,
    kStations,
    kOnly,
    kRetries,
    kDryRun,
    kInit,
    kEvents,
    kJunit,
    kLogDir,
    kPartial,
    kVersion,
    kHelp,
};

// What a shell offers after an option or as a command's argument.
enum class Completion { kNone, kWords, kFile, kDevice, kSetting, kCommand };

struct OptionSpec {
    OptionId id;
    const char* longName;  // without "--"; nullptr when there is only the short form
    char shortName;        // 0 when there is only the long form
    const char* value;     // the value's name in the help ("N", "FILE"); nullptr for a switch
    const char* section;   // "Targets", "Options" or "Line"
    const char* help;      // lines separated by '\n'
    const char* commands;  // the commands it goes with, blank-separated; nullptr for all
    Completion completion = Completion::kNone;
    const char* words = nullptr;  // kWords: the values, blank-separated
};

struct CommandSpec {
    const char* name;
    const char* args;                           // as the help shows them after the name
    const char* help;                           // lines separated by '\n'
    Completion completion = Completion::kNone;  // of its arguments
};

std::span<const OptionSpec> OptionTable();
// Several rows may share a name (the two forms of btr).
std::span<const CommandSpec> CommandTable();
bool IsCommand(std::string_view name);

// "--port N", "-o FILE", "-q, --quiet".
std::string OptionSynopsis(const OptionSpec& o);
// Whether `o` goes with `command`.
bool OptionGoesWith(const OptionSpec& o, std::string_view command);

// The --help text.
std::string UsageText();
// `help COMMAND`: its forms and the options that go with it only.
std::string CommandHelpText(std::string_view command);

}  // namespace linkmate::cli
