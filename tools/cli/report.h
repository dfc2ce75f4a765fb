// What linkmate-cli prints: data to standard output, status lines to standard error; as text for
// people or as one JSON object per line for programs (report_text.cpp, report_json.cpp).
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "protocol/bit_timing.h"
#include "serial/converter_finder.h"
#include "serial/port_map.h"
#include "tools/cli/commands.h"
#include "tools/cli/options.h"

namespace linkmate::cli {

// One converter's outcome; `several`: more than one target ran.
void PrintResultText(const Options& o, const Target& t, const Result& r, bool several);
void PrintResultJson(const Options& o, const Target& t, const Result& r);

// The settings (with the model and port: `withConnection`).
void PrintConfigText(const DeviceConfig& config, bool withConnection);
void PrintProfileJson(const std::string& app, const std::string& path, const DeviceConfig& config);

// find: every port's outcome and the time the search took. A port's state is "answered",
// "no answer", "absent" (no device behind it), "held" (another program has it open) or
// "not opened" (any other reason, which `ProbeResult::reason` gives).
std::string FindState(const ProbeResult& r);
void PrintFindText(const std::vector<ProbeResult>& results, double ms);
void PrintFindJson(const std::vector<ProbeResult>& results, double ms);

// ports: COM1..COM8, then the devices found and how they were found.
void PrintPortsText(const std::vector<ComPortInfo>& ports, const Discovery& found);
void PrintPortsJson(const std::vector<ComPortInfo>& ports, const Discovery& found);

// btr: the pairs found for `wanted` bit/s at `samplePointPermille`, with the CAN page's preset
// for that rate (`presetName` empty when there is none); or one decoded pair, with its warnings.
struct BtrPreset {
    std::string name;
    BitTiming timing;
};
void PrintTimingsText(const std::vector<BitTiming>& found, uint32_t wanted, int samplePointPermille,
                      const std::optional<BtrPreset>& preset);
void PrintTimingsJson(const std::vector<BitTiming>& found, uint32_t wanted, int samplePointPermille,
                      const std::optional<BtrPreset>& preset);
void PrintDecodedText(const BitTiming& t);
void PrintDecodedJson(const BitTiming& t);

}  // namespace linkmate::cli
