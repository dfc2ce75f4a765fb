// linkmate-cli's command line: the options and the command, checked before any port is opened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace linkmate::cli {

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
    bool partial = false;  // write: only the settings the file has
    std::string outFile;   // "-": standard output
    std::string saveProfile;
    std::string app = "linkmate";
    std::string command;
    std::vector<std::string> args;
    // The production line (apply, stations).
    std::string stationsFile;
    std::vector<std::string> only;  // station names; empty: all
    int retries = 0;
    bool dryRun = false;
    bool init = false;
    std::string eventsFile;  // "-": standard output
    std::string junitFile;
    std::string logDir;
};

// "linkmate-cli 2.0.0.1".
std::string_view VersionText();

// 0 to go on, else the exit status. `done`: the command line has been answered already
// (--help, --version).
int ParseCommandLine(int argc, char** argv, Options& o, bool& done);

}  // namespace linkmate::cli
