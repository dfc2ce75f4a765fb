// apply and stations: the production line's commands.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>

#include "protocol/frame_codec.h"
#include "serial/config_port.h"
#include "serial/converter_finder.h"
#include "serial/open_failure.h"
#include "serial/serial_comm.h"
#include "serial/serial_discovery.h"
#include "tools/cli/commands.h"
#include "tools/cli/line.h"
#include "tools/cli/line_progress.h"
#include "tools/cli/status.h"

namespace linkmate::cli {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Tells the progress what the exchange is doing by what it sends: the write frame, or the read
// request of the read-back (or of a dry run's probe).
class ObservedIo final : public PortIo {
public:
    ObservedIo(PortIo& inner, LineBoard& board, size_t station, int attempt, bool dryRun)
        : m_inner(inner),
          m_board(board),
          m_station(station),
          m_attempt(attempt),
          m_dryRun(dryRun) {}
    uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs) override {
        return m_inner.Read(buffer, count, timeoutMs);
    }
    void Write(const void* buffer, uint32_t count, uint32_t timeoutMs) override {
        if (count == sizeof(ConfigFrame)) {
            m_board.SetState(m_station, StationState::kWriting, m_attempt);
        } else if (count == sizeof(ReadRequest)) {
            m_board.SetState(
                m_station, m_dryRun ? StationState::kProbing : StationState::kVerifying, m_attempt);
        }
        m_inner.Write(buffer, count, timeoutMs);
    }
    bool DeviceRemoved() const override { return m_inner.DeviceRemoved(); }

private:
    PortIo& m_inner;
    LineBoard& m_board;
    size_t m_station;
    int m_attempt;
    bool m_dryRun;
};

// The result's text on one line: what failed, and why.
std::string DiagnosisOf(const Result& r) {
    std::string first = r.message.substr(0, r.message.find('\n'));
    if (r.status == kExitVerify) {
        std::string out = "verification failed:";
        for (const SettingDifference& d : r.differences) {
            out += " " + std::string(d.name) + " wrote " + d.first + ", holds " + d.second + ";";
        }
        out.pop_back();
        return out;
    }
    if (r.status == kExitComm && !r.traces.empty()) {
        const std::string why = r.traces.back().Diagnosis();
        if (!why.empty()) first += ": " + why;
    }
    if (r.status == kExitUsage) {
        // "Invalid serial port!" and, on the next line, why it could not be opened.
        const size_t nl = r.message.find('\n');
        if (nl != std::string::npos) first += " " + r.message.substr(nl + 1);
    }
    return first;
}

// One attempt on one station: opens its port at its model's rate, writes and verifies (or, dry,
// reads), and asks the other model's rate when nothing at all came back.
Result Attempt(StationRecord& s, size_t i, const DeviceConfig& config, const LineRun& run,
               LineBoard& board) {
    Result r;
    r.device = s.station.device;
    board.SetState(i, StationState::kOpening, s.attempt);
    CSerialComm port;
    CFileException openError;
    const int32_t model = s.station.station.model;
    if (!port.Open(s.station.device, ConfigPortBaudTable[static_cast<size_t>(model)], 8,
                   LineSettings::kNoParity, LineSettings::kOneStopBit, &openError)) {
        r.status = kExitUsage;
        r.message =
            "Invalid serial port!\n" + DescribeOpenFailure(s.station.device, openError.m_lOsError);
        return r;
    }
    SerialPortIo serialIo(port);
    ObservedIo io(serialIo, board, i, s.attempt, run.dryRun);
    if (run.dryRun) {
        ConfigFrame held{};
        if (ReadConfigFrame(io, held, &r.traces.emplace_back())) {
            // The fingerprint of the write frame that would give what it holds, so that it
            // compares with the file's.
            DeviceConfig holds = config;
            DecodeConfigFrame(held, holds);
            const ConfigFrame frame = EncodeConfigFrame(holds);
            s.held = FrameFingerprint(frame.data(), frame.size());
            r.message = s.held == run.fingerprint || run.file.empty()
                            ? std::string()
                            : "holds another configuration (" + s.held + ")";
        } else {
            r.status = kExitComm;
            r.message = "Communication Error! (read)";
        }
    } else {
        WriteAndVerify(io, config, r);
    }
    const bool heardNothing = std::all_of(r.traces.begin(), r.traces.end(),
                                          [](const ExchangeTrace& t) { return t.heardNothing(); });
    if (r.status == kExitComm && !r.traces.empty() && heardNothing) {
        board.SetState(i, StationState::kProbing, s.attempt);
        if (const auto other = ProbeOtherModels(port, serialIo))
            r.hint = OtherModelHint(*other, true);
    }
    return r;
}

void RunStation(size_t i, const DeviceConfig& config, const LineRun& run, int retries,
                LineBoard& board, EventStream& events) {
    StationRecord s = board.Get(i);
    events.Start(run, s);
    const auto start = Clock::now();
    for (s.attempt = 1; s.attempt <= 1 + retries; ++s.attempt) {
        const auto attemptStart = Clock::now();
        Result r = Attempt(s, i, config, run, board);
        s.ok = r.status == kExitOk;
        s.diagnosis = !s.ok                            ? DiagnosisOf(r)
                      : run.dryRun || r.traces.empty() ? r.message
                                                       : r.traces.back().Diagnosis();
        s.hint = r.hint;
        events.Attempt(run, s, s.ok, MsSince(attemptStart));
        if (!s.ok) {
            for (ExchangeTrace& t : r.traces) s.failedTraces.push_back(std::move(t));
        }
        // The other model answered: another try at this model's rate would fail the same way.
        if (s.ok || !s.hint.empty()) break;
    }
    s.attempt = std::min(s.attempt, 1 + retries);
    s.durationMs = MsSince(start);
    s.state = s.ok ? StationState::kDone : StationState::kFailed;
    events.Result(run, s);
    board.Finish(i, std::move(s));
}

// The map, cut down to --only. 0, else the exit status (the reason printed).
int LoadMap(const Options& o, StationMap& map) {
    std::string error;
    if (!ReadStationMap(o.stationsFile, map, &error)) {
        std::fprintf(stderr, "linkmate-cli: %s\n", error.c_str());
        return kExitUsage;
    }
    if (o.only.empty()) return 0;
    for (const std::string& name : o.only) {
        const bool known = std::any_of(map.stations.begin(), map.stations.end(),
                                       [&](const Station& s) { return s.name == name; });
        if (!known) return Usage("--only: the map has no station \"" + name + "\"");
    }
    std::erase_if(map.stations, [&](const Station& s) {
        return std::find(o.only.begin(), o.only.end(), s.name) == o.only.end();
    });
    return 0;
}

void PrintWarnings(const Options& o, const LineResolution& line) {
    if (o.quiet) return;
    for (const std::string& w : line.warnings) std::fprintf(stderr, "warning: %s\n", w.c_str());
}

int InitMap(const Options& o) {
    const std::vector<SerialDevice> present = DiscoverTtyDevices().devices;
    if (present.empty())
        std::fprintf(stderr, "warning: no serial devices found: add the stations by hand\n");
    const std::string text = InitialStationMap(present);
    if (o.stationsFile.empty()) {
        std::fputs(text.c_str(), stdout);
        return Finish(kExitOk);
    }
    // An edited map is worth more than a fresh one: never written over.
    std::error_code ec;
    if (std::filesystem::exists(o.stationsFile, ec) || ec) {
        std::fprintf(stderr, "linkmate-cli: %s: %s\n", o.stationsFile.c_str(),
                     ec ? ec.message().c_str() : "already exists: not written over");
        return kExitFile;
    }
    std::FILE* f = std::fopen(o.stationsFile.c_str(), "w");
    const bool written = f != nullptr && std::fputs(text.c_str(), f) >= 0;
    if (f == nullptr || std::fclose(f) != 0 || !written) {
        std::fprintf(stderr, "linkmate-cli: %s: %s\n", o.stationsFile.c_str(),
                     std::strerror(errno));
        return kExitFile;
    }
    if (!o.quiet) std::fprintf(stderr, "station map written to %s\n", o.stationsFile.c_str());
    return kExitOk;
}

}  // namespace

int Stations(const Options& o) {
    if (o.init) return InitMap(o);
    StationMap map;
    if (const int status = LoadMap(o, map); status != 0) return status;
    const LineResolution line =
        ResolveStations(map, DiscoverTtyDevices().devices, SystemResolveEnv());
    PrintWarnings(o, line);
    std::printf("%-14s %-5s %-32s %-22s %-12s %s\n", "STATION", "MODEL", "PIN", "DEVICE",
                "USB-SERIAL", "STATUS");
    bool all = true;
    for (const ResolvedStation& r : line.stations) {
        all &= r.problem.empty();
        const std::string pin = std::string(PinKeyName(r.station.kind)) + "=" + r.station.pin;
        std::printf("%-14s %-5s %-32s %-22s %-12s %s\n", r.station.name.c_str(),
                    r.station.model == 1 ? "B" : "A", pin.c_str(),
                    r.device.empty() ? "-" : r.device.c_str(),
                    r.serialNumber.empty() ? "-" : r.serialNumber.c_str(),
                    r.problem.empty() ? "ok" : r.problem.c_str());
    }
    return Finish(all ? kExitOk : kExitComm);
}

int ApplyToLine(const Options& o) {
    StationMap map;
    if (const int status = LoadMap(o, map); status != 0) return status;
    LineRun run;
    run.dryRun = o.dryRun;
    DeviceConfig config;
    if (!o.args.empty()) {
        run.file = o.args[0];
        if (const int status = ReadFileToWrite(run.file, config); status != 0) return status;
        const ConfigFrame frame = EncodeConfigFrame(config);
        run.fingerprint = FrameFingerprint(frame.data(), frame.size());
    }
    EventStream events;
    std::string error;
    if (!o.eventsFile.empty() && !events.Open(o.eventsFile, &error)) {
        std::fprintf(stderr, "linkmate-cli: --events: %s\n", error.c_str());
        return kExitFile;
    }

    // A report that cannot be written is known before anything is written.
    if (!o.junitFile.empty()) {
        const std::filesystem::path folder = std::filesystem::absolute(o.junitFile).parent_path();
        std::error_code ec;
        if (!std::filesystem::is_directory(folder, ec)) {
            std::fprintf(stderr, "linkmate-cli: --junit: %s: no such folder\n",
                         folder.string().c_str());
            return kExitFile;
        }
    }

    // Who is who, before anything is written.
    const LineResolution line =
        ResolveStations(map, DiscoverTtyDevices().devices, SystemResolveEnv());
    PrintWarnings(o, line);
    std::vector<StationRecord> records;
    for (const ResolvedStation& r : line.stations) records.emplace_back().station = r;
    LineBoard board(records, LineBoard::StyleFor(stderr, o.quiet, records.size()), stderr);

    run.started = UtcNow();
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (size_t i = 0; i < records.size(); ++i) {
        if (!records[i].station.problem.empty()) {
            StationRecord s = records[i];
            s.state = StationState::kFailed;
            s.diagnosis = s.station.problem;
            events.Start(run, s);
            events.Result(run, s);
            board.Finish(i, std::move(s));
            continue;
        }
        threads.emplace_back([&, i] { RunStation(i, config, run, o.retries, board, events); });
    }
    for (std::thread& t : threads) t.join();
    const double totalMs = MsSince(start);
    records = board.Close(totalMs);

    int status =
        std::all_of(records.begin(), records.end(), [](const StationRecord& s) { return s.ok; })
            ? kExitOk
            : kExitComm;
    if (!events.Good()) {
        std::fprintf(stderr, "linkmate-cli: --events: %s: not every event could be written\n",
                     o.eventsFile.c_str());
        status = std::max(status, kExitFile);
    }
    if (!o.junitFile.empty() && !WriteJUnitReport(o.junitFile, run, records, totalMs, &error)) {
        std::fprintf(stderr, "linkmate-cli: --junit: %s\n", error.c_str());
        status = std::max(status, kExitFile);
    }
    if (!o.logDir.empty()) {
        const std::string log = WriteRunLog(o.logDir, run, records, &error);
        if (log.empty()) {
            std::fprintf(stderr, "linkmate-cli: --log-dir: %s\n", error.c_str());
            status = std::max(status, kExitFile);
        } else if (!o.quiet) {
            std::fprintf(stderr, "log written to %s\n", log.c_str());
        }
    }
    return Finish(status);
}

}  // namespace linkmate::cli
