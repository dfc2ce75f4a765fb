// linkmate-cli: the converter configuration tool for scripts and production lines. Reads, writes,
// changes, compares and resets the configuration of one or several converters at once (one thread
// per converter), with the window's port map, profile and configuration files.
#include "profile/program_args.h"
#include "tools/cli/commands.h"
#include "tools/cli/line.h"
#include "tools/cli/options.h"
#include "tools/cli/output_pipe.h"

int main(int argc, char** argv) {
    using namespace linkmate::cli;
    ReportBrokenPipeAsError();
    // Application names and file names in any script, on Windows too.
    linkmate::ProgramArgs args(argc, argv);
    Options o;
    bool done = false;
    if (const int status = ParseCommandLine(args.argc(), args.argv(), o, done); status != 0 || done)
        return status;
    if (o.command == "ports") return Ports(o);
    if (o.command == "find") return Find(o);
    if (o.command == "btr") return Btr(o);
    if (o.command == "profile") return Profile(o);
    if (o.command == "export") return Export(o);
    if (o.command == "help") return Help(o);
    if (o.command == "stations") return Stations(o);
    if (o.command == "apply") return ApplyToLine(o);
    return RunConverterCommand(o);
}
