// Eight converters at once: eight virtual converters paced at 57600 bit/s, and linkmate-cli
// writing (and verifying) one configuration file to all eight in one process, against the same
// write to one converter and against eight runs one after the other. Prints the medians and the
// ratios (targets: eight at once <= 1.3 x one; >= 6 x the rate of eight sequential runs).
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "profile/config_file.h"
#include "tools/sim/virtual_converter.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

double RunCliMs(const std::vector<std::string>& args) {
    return linkmate::bench::RunQuietly(LINKMATE_CLI_PATH, args).wallMs;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace linkmate;
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string home = linkmate::bench::UsePrivateConfigHome("fleet-bench");
    if (home.empty()) return 1;

    std::vector<std::unique_ptr<sim::VirtualConverter>> converters;
    std::vector<std::string> devices;
    for (int i = 0; i < 8; ++i) {
        sim::Options options;
        options.paceBitRate = 57600;
        converters.push_back(std::make_unique<sim::VirtualConverter>(options));
        if (!converters.back()->Start()) return 1;
        devices.push_back(converters.back()->devicePath());
    }
    const std::string file = home + "/fleet.reg";
    DeviceConfig config;
    config.can.CanBaudrate = 12;
    config.can.CanBTR0 = "00";
    config.can.CanBTR1 = "1C";
    std::string error;
    if (!WriteConfigFile(file, config, &error)) return 1;

    std::vector<double> one, eight, sequential;
    for (int r = 0; r < runs; ++r) {
        one.push_back(RunCliMs({"--device", devices[0], "write", file}));
        std::vector<std::string> all;
        for (const std::string& d : devices) all.insert(all.end(), {"--device", d});
        all.insert(all.end(), {"write", file});
        eight.push_back(RunCliMs(all));
        double total = 0;
        for (const std::string& d : devices) total += RunCliMs({"--device", d, "write", file});
        sequential.push_back(total);
        if (one.back() < 0 || eight.back() < 0 || total < 0) {
            std::fprintf(stderr, "a write failed\n");
            return 1;
        }
    }
    for (auto& c : converters) c->Stop();
    std::filesystem::remove_all(home);
    const double m1 = linkmate::bench::Median(one), m8 = linkmate::bench::Median(eight),
                 mseq = linkmate::bench::Median(sequential);
    std::printf("runs: %d\n", runs);
    std::printf("cli_write_verify_one_converter_median: %.1f ms\n", m1);
    std::printf("cli_write_verify_eight_at_once_median: %.1f ms\n", m8);
    std::printf("cli_write_verify_eight_sequential_median: %.1f ms\n", mseq);
    std::printf("eight_at_once_to_one: %.2f (target <= 1.3)\n", m8 / m1);
    std::printf("eight_at_once_speedup_over_sequential: %.2f (target >= 6)\n", mseq / m8);
    return 0;
}
