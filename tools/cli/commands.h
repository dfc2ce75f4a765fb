// What linkmate-cli does: the commands that talk to converters (each converter in a thread of its
// own) and those that need none.
#pragma once

#include <string>
#include <vector>

#include "protocol/config_exchange.h"
#include "protocol/device_config.h"
#include "protocol/settings_table.h"
#include "tools/cli/options.h"

namespace linkmate::cli {

// What one converter answered.
struct Result {
    int status = 0;
    std::string device;  // the device opened
    std::string link;    // the port map's entry that led to it, when there is one
    std::string message;
    bool haveConfig = false;
    DeviceConfig config;                         // what the converter holds
    DeviceConfig expected;                       // what was sent, or what the file holds (diff)
    std::vector<SettingDifference> differences;  // between `expected` and `config`
    std::vector<ExchangeTrace> traces;           // every exchange, in order
    std::string hint;  // when nothing came back: the model that answered at its own bit rate
};

// What to do when the other model answered at its own bit rate, in this tool's words: the option
// ("use --model B (Ternix-B)"), and for a line run the station map's key as well.
std::string OtherModelHint(int32_t model, bool stationMap);

// Writes `config`, reads it back and compares every byte the converter returns with what was sent.
void WriteAndVerify(PortIo& io, const DeviceConfig& config, Result& r);
// The configuration file of write, read and checked as write checks it: 0, else the exit status
// (the reason printed).
int ReadFileToWrite(const std::string& path, DeviceConfig& config);

// read, write, set, default, diff, copy on every target; the exit status.
int RunConverterCommand(const Options& o);

int Ports(const Options& o);
int Find(const Options& o);
int Btr(const Options& o);
int Profile(const Options& o);
// A file, or the profile, as Windows' registry editor writes it, for a double-click to import.
int Export(const Options& o);
int Help(const Options& o);

}  // namespace linkmate::cli
