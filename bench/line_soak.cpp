// line_soak: read and write+verify cycles through the virtual converter on a noisy line (bytes
// flipped, dropped, duplicated and inserted both ways). Every cycle ends in one of three ways:
// ok (the values are what the converter holds), a clean failure (the tool says it failed), or
// undetected (the tool says it succeeded with values the converter does not hold: must be 0).
// A failed write whose values the converter holds all the same is also a false failure: the
// operator is told to try again what already took.
//   line_soak [CYCLES] [RATE[:echo]...]   default: 100 cycles each way at 1e-3, 1e-2 and 1e-2:echo
// ":echo" puts a two-wire RS-485 adapter on the line: every byte sent comes back, noise and all.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/config_exchange.h"
#include "protocol/frame_codec.h"
#include "serial/serial_comm.h"
#include "tools/sim/virtual_converter.h"

namespace {

using namespace linkmate;
using Clock = std::chrono::steady_clock;

// The bytes a converter holds and a reply or a write carries alike.
bool SameSettings(const ConfigFrame& a, const ConfigFrame& b) {
    for (size_t i = 3; i < kConfigFrameSize - 1; ++i) {
        if (i != 5 && i != 6 && a[i] != b[i]) return false;
    }
    return true;
}

struct Tally {
    int ok = 0;
    int failed = 0;
    int falseFailures = 0;  // failed, yet the converter holds what was meant
    int undetected = 0;
    double totalMs = 0;
    double maxFailureMs = 0;

    void Add(bool success, bool correct, double ms) {
        totalMs += ms;
        if (!success) {
            ++failed;
            if (correct) ++falseFailures;
            maxFailureMs = std::max(maxFailureMs, ms);
        } else if (correct) {
            ++ok;
        } else {
            ++undetected;
        }
    }
    void Print(const std::string& tag, int cycles) const {
        std::printf("%s_cycles: %d count\n", tag.c_str(), cycles);
        std::printf("%s_ok: %d count\n", tag.c_str(), ok);
        std::printf("%s_clean_failures: %d count\n", tag.c_str(), failed);
        std::printf("%s_false_failures: %d count\n", tag.c_str(), falseFailures);
        std::printf("%s_false_failure_share: %.1f %%\n", tag.c_str(),
                    cycles ? 100.0 * falseFailures / cycles : 0.0);
        std::printf("%s_undetected: %d count\n", tag.c_str(), undetected);
        std::printf("%s_mean: %.1f ms\n", tag.c_str(), cycles ? totalMs / cycles : 0.0);
        std::printf("%s_longest_failure: %.1f ms\n", tag.c_str(), maxFailureMs);
    }
};

// A configuration that differs from cycle to cycle, so that a write that did not arrive shows.
DeviceConfig CycleConfig(int cycle) {
    DeviceConfig config = sim::FactoryConfig();
    config.serial.SerialBaudrate = cycle % 10;
    config.serial.SerialParity = cycle % 4;
    config.tran.TranSpace = cycle % 256;
    config.tran.TranDir = cycle % 3;
    config.tran.TranMode = cycle % 3;
    config.tran.TranIdBase = (cycle / 3) % 8;
    return config;
}

int Soak(double rate, bool echo, int cycles, uint64_t seed) {
    sim::Options options;
    options.noiseRate = rate;
    options.echo = echo;
    options.noiseSeed = seed;
    sim::VirtualConverter converter(options);
    std::string error;
    if (!converter.Start(&error)) {
        std::fprintf(stderr, "cannot start the virtual converter: %s\n", error.c_str());
        return 1;
    }
    CSerialComm port;
    if (!port.Open(converter.devicePath(), 57600, 8, 0, 0)) {
        std::fprintf(stderr, "cannot open %s\n", converter.devicePath().c_str());
        return 1;
    }
    SerialPortIo io(port);
    char tag[64];
    Tally reads, writes;
    for (int i = 0; i < cycles; ++i) {
        ConfigFrame frame;
        const auto start = Clock::now();
        const bool ok = ReadConfigFrame(io, frame);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        reads.Add(ok, ok && SameSettings(frame, converter.storedFrame()), ms);
    }
    for (int i = 0; i < cycles; ++i) {
        const DeviceConfig config = CycleConfig(i);
        const auto start = Clock::now();
        const VerifiedWrite v = WriteAndVerify(io, config);
        const double ms = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        writes.Add(v.verified(), SameSettings(EncodeConfigFrame(config), converter.storedFrame()),
                   ms);
    }
    const char* suffix = echo ? "_echo" : "";
    std::snprintf(tag, sizeof tag, "line_soak_%g%s_read", rate, suffix);
    reads.Print(tag, cycles);
    std::snprintf(tag, sizeof tag, "line_soak_%g%s_write", rate, suffix);
    writes.Print(tag, cycles);
    std::snprintf(tag, sizeof tag, "line_soak_%g%s", rate, suffix);
    std::printf("%s_bytes_damaged: %d count\n", tag, converter.stats().bytesDamaged);
    std::fflush(stdout);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int cycles = argc > 1 ? std::atoi(argv[1]) : 100;
    std::vector<std::pair<double, bool>> runs;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool echo = arg.ends_with(":echo");
        runs.emplace_back(std::atof(arg.c_str()), echo);
    }
    if (runs.empty()) runs = {{1e-3, false}, {1e-2, false}, {1e-2, true}};
    int status = 0;
    for (size_t i = 0; i < runs.size(); ++i) {
        status |= Soak(runs[i].first, runs[i].second, cycles, 1000 + i);
    }
    return status;
}
