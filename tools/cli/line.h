// A production line: one configuration applied to every station of a station map at once, with
// live progress and the records a line's systems read (JSON lines events, a JUnit report, a log
// per run).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "protocol/exchange_trace.h"
#include "tools/cli/options.h"
#include "tools/cli/station_map.h"

namespace linkmate::cli {

// What a station is doing, as the progress shows it.
enum class StationState { kWaiting, kOpening, kWriting, kVerifying, kProbing, kDone, kFailed };

// What the whole run shares.
struct LineRun {
    std::string file;         // the configuration file; empty for a dry run without one
    std::string fingerprint;  // of the frame it writes
    bool dryRun = false;
    std::string started;  // UTC, ISO 8601
};

// One station's run, as the reports record it.
struct StationRecord {
    ResolvedStation station;
    StationState state = StationState::kWaiting;
    int attempt = 0;  // 1-based; 0 before the first
    bool ok = false;
    std::string diagnosis;  // empty when it went through at once
    std::string hint;       // the model hint, when the other model answered
    std::string held;       // dry run: the fingerprint of what the converter holds
    double durationMs = 0;  // from the first attempt's start to the result
    std::vector<ExchangeTrace> failedTraces;  // of every failed attempt, in order
};

// "3f9a04c1": a short hash of the 33-byte frame `bytes`.
std::string FrameFingerprint(const uint8_t* bytes, size_t count);
// UTC now, ISO 8601 with milliseconds.
std::string UtcNow();
const char* StateName(StationState state);

// The events stream: one JSON object per line, written and flushed as each event happens.
class EventStream {
public:
    EventStream();
    ~EventStream();
    // `path`: a file (appended) or "-" for standard output. False with the reason.
    bool Open(const std::string& path, std::string* error);
    void Start(const LineRun& run, const StationRecord& s);
    void Attempt(const LineRun& run, const StationRecord& s, bool ok, double ms);
    void Result(const LineRun& run, const StationRecord& s);
    // Whether every line reached its destination.
    bool Good() const;

private:
    void Write(const std::string& line);
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

// One test case per station, the diagnosis as the failure's message. False with the reason.
bool WriteJUnitReport(const std::string& path, const LineRun& run,
                      const std::vector<StationRecord>& stations, double totalMs,
                      std::string* error);

// The run's own log file in `dir` (made when missing): what ran, every station's result and the
// traces of its failed attempts. The file's path, or empty with the reason.
std::string WriteRunLog(const std::string& dir, const LineRun& run,
                        const std::vector<StationRecord>& stations, std::string* error);

// stations: what each entry of the map resolves to now; --init: a map of the adapters present.
int Stations(const Options& o);
// apply FILE (or --dry-run): every station at once; 0 all passed, 1 some failed.
int ApplyToLine(const Options& o);

}  // namespace linkmate::cli
