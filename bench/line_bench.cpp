// A production line: linkmate-cli apply writing (and verifying) one configuration file to 1, 8, 16
// and 32 virtual converters paced at 57600 bit/s, each station of a station map. Prints the median
// wall time and the tool's CPU time (user + system) for each, and each time against one station
// (target: 32 stations <= 1.5 x one on a 2-core machine).
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "profile/config_file.h"
#include "tools/sim/virtual_converter.h"

namespace {

using Clock = std::chrono::steady_clock;

linkmate::bench::ProgramRun RunCli(const std::vector<std::string>& args) {
    return linkmate::bench::RunQuietly(LINKMATE_CLI_PATH, args);
}

}  // namespace

int main(int argc, char** argv) {
    using namespace linkmate;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    const std::string home = bench::UsePrivateConfigHome("line-bench");
    if (home.empty()) return 1;

    constexpr int kMost = 32;
    std::vector<std::unique_ptr<sim::VirtualConverter>> converters;
    for (int i = 0; i < kMost; ++i) {
        sim::Options options;
        options.paceBitRate = 57600;
        converters.push_back(std::make_unique<sim::VirtualConverter>(options));
        if (!converters.back()->Start()) return 1;
    }
    const std::string file = home + "/line.reg";
    DeviceConfig config;
    config.can.CanBaudrate = 12;
    config.can.CanBTR0 = "00";
    config.can.CanBTR1 = "1C";
    std::string error;
    if (!WriteConfigFile(file, config, &error)) return 1;

    std::printf("runs: %d\n", runs);
    // What else this machine is doing bounds the figures: a loaded machine stretches the
    // 32-station run, which needs the processors most.
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load_average_1min: %.2f\n", load[0]);
    double one = 0;
    for (const int n : {1, 8, 16, 32}) {
        const std::string map = home + "/line-" + std::to_string(n) + ".ini";
        std::ofstream out(map);
        for (int i = 0; i < n; ++i)
            out << "[station-" << i + 1 << "]\ndevice=" << converters[i]->devicePath() << "\n";
        out.close();
        std::vector<double> wall, cpu, simCpu;
        for (int r = 0; r < runs; ++r) {
            const bench::ProgramRun run = RunCli({"apply", file, "--stations", map, "--quiet"});
            if (run.wallMs < 0) {
                std::fprintf(stderr, "apply to %d stations failed\n", n);
                return 1;
            }
            wall.push_back(run.wallMs);
            cpu.push_back(run.cpuMs);
            simCpu.push_back(run.ownCpuMs);
        }
        const double w = bench::Median(wall), c = bench::Median(cpu);
        if (n == 1) one = w;
        std::printf("apply_%d_stations_median: %.1f ms\n", n, w);
        std::printf("apply_%d_stations_cli_cpu_median: %.1f ms\n", n, c);
        std::printf("apply_%d_stations_converters_cpu_median: %.1f ms\n", n, bench::Median(simCpu));
        std::printf("apply_%d_stations_to_one: %.2f%s\n", n, w / one,
                    n == kMost ? " (target <= 1.5)" : "");
    }
    for (auto& c : converters) c->Stop();
    std::filesystem::remove_all(home);
    return 0;
}
