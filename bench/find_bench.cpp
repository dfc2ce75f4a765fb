// Finding converters among COM1..COM8: a Ternix-B (19200 bit/s) on COM3 and a Ternix-A
// (57600 bit/s) on COM5, virtual converters on a private port map; the other six ports are this
// machine's /dev/ttyS*, absent or silent (how many of them opened is printed). Median and largest
// of N searches; a search that misses either converter fails. Then the Ternix-B's port alone,
// which is asked at the Ternix-A's rate first.
//   find_bench [N]   (default 5)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <vector>

#include "serial/converter_finder.h"
#include "tools/sim/virtual_converter.h"
#include "bench/bench_support.h"

namespace {

using Clock = std::chrono::steady_clock;

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    const std::string home = linkmate::bench::UsePrivateConfigHome("linkmate-find");
    if (home.empty()) return 1;

    std::vector<std::unique_ptr<linkmate::sim::VirtualConverter>> converters;
    for (auto [port, rate] : {std::pair{3, 19200u}, std::pair{5, 57600u}}) {
        linkmate::sim::Options options;
        options.comPort = port;
        options.lineBitRate = rate;
        converters.push_back(std::make_unique<linkmate::sim::VirtualConverter>(options));
        std::string error;
        if (!converters.back()->Start(&error)) {
            std::fprintf(stderr, "virtual converter: %s\n", error.c_str());
            return 1;
        }
    }
    const std::vector<int> ports{1, 2, 3, 4, 5, 6, 7, 8};
    std::vector<double> ms;
    std::vector<double> aloneMs;
    bool allFound = true;
    int silentOpened = 0;
    for (int run = 0; run < runs; ++run) {
        auto start = Clock::now();
        const std::vector<linkmate::ProbeResult> results = linkmate::FindConverters(ports);
        ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        allFound = allFound && results[2].model == 1 && results[4].model == 0;
        silentOpened = static_cast<int>(
            std::count_if(results.begin(), results.end(),
                          [](const linkmate::ProbeResult& r) { return r.opened && !r.model; }));
        start = Clock::now();
        allFound = allFound && linkmate::ProbePort(3).model == 1;
        aloneMs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    for (auto& c : converters) c->Stop();
    std::filesystem::remove_all(home);
    if (!allFound) {
        std::fprintf(stderr, "a search missed a converter\n");
        return 1;
    }
    std::printf("find_eight_ports: %.0f ms\n", linkmate::bench::Median(ms));
    std::printf("find_eight_ports_max: %.0f ms\n", *std::max_element(ms.begin(), ms.end()));
    std::printf("find_silent_ports_opened: %d count\n", silentOpened);
    std::printf("probe_ternix_b_alone: %.0f ms\n", linkmate::bench::Median(aloneMs));
    std::printf("probe_ternix_b_alone_max: %.0f ms\n",
                *std::max_element(aloneMs.begin(), aloneMs.end()));
    return 0;
}
