#include "tools/cli/line_options.h"

#include <cerrno>
#include <cstdlib>

#include "tools/cli/status.h"

namespace linkmate::cli {
namespace {

constexpr int kMostRetries = 100;

bool AnyLineOption(const Options& o) {
    return !o.stationsFile.empty() || !o.only.empty() || o.retries != 0 || o.dryRun || o.init ||
           !o.eventsFile.empty() || !o.junitFile.empty() || !o.logDir.empty();
}

}  // namespace

bool IsLineCommand(std::string_view command) { return command == "apply" || command == "stations"; }

int ApplyLineOption(OptionId id, const char* arg, Options& o) {
    switch (id) {
        case OptionId::kStations:
            if (arg[0] == '\0') return Usage("--stations takes a file");
            o.stationsFile = arg;
            return 0;
        case OptionId::kOnly:
            if (arg[0] == '\0') return Usage("--only takes a station's name");
            o.only.push_back(arg);
            return 0;
        case OptionId::kRetries: {
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(arg, &end, 10);
            if (end == arg || *end != '\0' || errno != 0 || n < 0 || n > kMostRetries) {
                return Usage("--retries takes a number 0..100, not \"" + std::string(arg) + "\"");
            }
            o.retries = static_cast<int>(n);
            return 0;
        }
        case OptionId::kDryRun: o.dryRun = true; return 0;
        case OptionId::kInit: o.init = true; return 0;
        case OptionId::kEvents:
            if (arg[0] == '\0') return Usage("--events takes a file, or - for standard output");
            o.eventsFile = arg;
            return 0;
        case OptionId::kJunit:
            if (arg[0] == '\0') return Usage("--junit takes a file");
            o.junitFile = arg;
            return 0;
        case OptionId::kLogDir:
            if (arg[0] == '\0') return Usage("--log-dir takes a folder");
            o.logDir = arg;
            return 0;
        default: return 0;
    }
}

int CheckLineCommand(const Options& o) {
    if (!IsLineCommand(o.command)) {
        return AnyLineOption(o) ? Usage(
                                      "--stations, --only, --retries, --dry-run, --init, --events, "
                                      "--junit and --log-dir go with apply and stations")
                                : 0;
    }
    if (!o.targets.empty())
        return Usage(o.command + " takes its devices from the station map, not --port or --device");
    if (!o.outFile.empty() || !o.saveProfile.empty() || o.json)
        return Usage("-o, --save-profile and --json do not go with " + o.command);
    if (o.command == "stations") {
        if (!o.args.empty()) return Usage("stations takes no arguments");
        if (o.retries != 0 || o.dryRun || !o.eventsFile.empty() || !o.junitFile.empty() ||
            !o.logDir.empty())
            return Usage("--retries, --dry-run, --events, --junit and --log-dir go with apply");
        if (o.init && !o.only.empty()) return Usage("--init and --only do not go together");
        if (!o.init && o.stationsFile.empty())
            return Usage("stations needs --stations MAP, or --init");
        return 0;
    }
    if (o.init) return Usage("--init goes with stations");
    if (o.stationsFile.empty()) return Usage("apply needs --stations MAP");
    if (o.args.size() > 1 || (o.args.empty() && !o.dryRun))
        return Usage(o.dryRun ? "apply --dry-run takes at most one FILE" : "apply takes one FILE");
    if (o.junitFile == "-") return Usage("--junit takes a file, not -");
    return 0;
}

}  // namespace linkmate::cli
