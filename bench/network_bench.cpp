// The converter behind a serial device server (Debian's ser2net on 127.0.0.1, RFC 2217) against
// the same converter on a pseudo-terminal, both answering at the pace of a 57600 bit/s line; and
// 32 converters behind one ser2net read at once against one alone. Prints "name: value unit".
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "protocol/config_exchange.h"
#include "serial/serial_comm.h"
#include "ser2net_harness.h"
#include "tools/sim/virtual_converter.h"

namespace {

using namespace linkmate;
using Clock = std::chrono::steady_clock;
constexpr uint32_t kRate = 57600;  // a Ternix-A

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::unique_ptr<sim::VirtualConverter> PacedConverter() {
    sim::Options options;
    options.paceBitRate = kRate;
    options.lineBitRate = kRate;
    auto converter = std::make_unique<sim::VirtualConverter>(options);
    return converter->Start() ? std::move(converter) : nullptr;
}

struct Medians {
    double read = 0, write = 0;
    int failures = 0;
};

Medians Exchanges(const std::string& port, int transactions) {
    Medians m;
    CSerialComm serial;
    if (!serial.Open(port, kRate, 8, 0, 0)) {
        m.failures = transactions * 2;
        return m;
    }
    SerialPortIo io(serial);
    DeviceConfig config;
    std::vector<double> reads, writes;
    for (int i = 0; i < transactions; ++i) {
        auto start = Clock::now();
        m.failures += ReadConfig(io, config) ? 0 : 1;
        reads.push_back(MsSince(start));
        start = Clock::now();
        m.failures += WriteConfig(io, config) ? 0 : 1;
        writes.push_back(MsSince(start));
    }
    m.read = bench::Median(reads);
    m.write = bench::Median(writes);
    return m;
}

// 32 converters behind one ser2net: every port connected first, then one read on each at once,
// against one read alone. The failed transactions.
int Fleet(const std::vector<linkmate::testing::Ser2net::Connection>& connections,
          int transactions) {
    linkmate::testing::Ser2net server(connections);
    if (!server.Start()) {
        std::fprintf(stderr, "cannot start %s\n", linkmate::testing::kSer2netPath);
        return 1;
    }
    const int kFleet = static_cast<int>(connections.size());
    const std::string tag = connections.front().chardelay ? "_chardelay" : "";
    std::vector<std::unique_ptr<CSerialComm>> ports;
    for (int i = 0; i < kFleet; ++i) {
        ports.push_back(std::make_unique<CSerialComm>());
        if (!ports.back()->Open(server[static_cast<size_t>(i)].Address(), kRate, 8, 0, 0)) {
            std::fprintf(stderr, "cannot open %s\n",
                         server[static_cast<size_t>(i)].Address().c_str());
            return 1;
        }
    }
    std::vector<double> alone;
    int failures = 0;
    for (int i = 0; i < transactions; ++i) {
        SerialPortIo io(*ports[0]);
        DeviceConfig config;
        const auto start = Clock::now();
        failures += ReadConfig(io, config) ? 0 : 1;
        alone.push_back(MsSince(start));
    }
    std::vector<double> together;
    for (int round = 0; round < std::max(1, transactions / 5); ++round) {
        std::vector<std::thread> threads;
        std::vector<int> ok(static_cast<size_t>(kFleet), 0);
        const auto start = Clock::now();
        for (int i = 0; i < kFleet; ++i) {
            threads.emplace_back([&, i] {
                SerialPortIo io(*ports[static_cast<size_t>(i)]);
                DeviceConfig config;
                ok[static_cast<size_t>(i)] = ReadConfig(io, config) ? 1 : 0;
            });
        }
        for (std::thread& t : threads) t.join();
        together.push_back(MsSince(start));
        for (int v : ok) failures += 1 - v;
    }
    std::printf("fleet_one_read_median%s: %.3f ms\n", tag.c_str(), bench::Median(alone));
    std::printf("fleet_%d_reads_at_once_median%s: %.3f ms\n", kFleet, tag.c_str(),
                bench::Median(together));
    std::printf("fleet_ratio%s: %.3f x one alone (target <= 1.5)\n", tag.c_str(),
                bench::Median(together) / bench::Median(alone));
    return failures;
}

}  // namespace

int main(int argc, char** argv) {
    using testing::Ser2net;
    const int transactions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;
    constexpr int kFleet = 32;
    std::printf("transactions: %d of each kind, converters paced at %u bit/s\n", transactions,
                kRate);

    std::vector<std::unique_ptr<sim::VirtualConverter>> converters;
    for (int i = 0; i < 3 + kFleet; ++i) {
        converters.push_back(PacedConverter());
        if (!converters.back()) {
            std::fprintf(stderr, "cannot start the virtual converters\n");
            return 1;
        }
    }
    std::vector<Ser2net::Connection> connections = {
        {true, converters[1]->devicePath(), "9600n81", false},
        {true, converters[2]->devicePath(), "9600n81", true},
    };
    Ser2net server(connections);
    if (!server.Start()) {
        std::fprintf(stderr, "cannot start %s\n", testing::kSer2netPath);
        return 1;
    }

    const Medians pty = Exchanges(converters[0]->devicePath(), transactions);
    const Medians fast = Exchanges(server[0].Address(), transactions);
    const Medians delayed = Exchanges(server[1].Address(), transactions);
    std::printf("pty_read_median: %.3f ms\npty_write_median: %.3f ms\n", pty.read, pty.write);
    std::printf("rfc2217_read_median: %.3f ms (chardelay: false)\n", fast.read);
    std::printf("rfc2217_write_median: %.3f ms (chardelay: false)\n", fast.write);
    std::printf("rfc2217_read_median_chardelay: %.3f ms (ser2net's default)\n", delayed.read);
    std::printf("rfc2217_write_median_chardelay: %.3f ms (ser2net's default)\n", delayed.write);
    std::printf("rfc2217_read_ratio: %.3f x the pty (target <= 1.10, chardelay: false)\n",
                fast.read / pty.read);
    std::printf("rfc2217_write_ratio: %.3f x the pty (target <= 1.10, chardelay: false)\n",
                fast.write / pty.write);
    std::printf("rfc2217_read_ratio_chardelay: %.3f x the pty (ser2net's default)\n",
                delayed.read / pty.read);

    // The fleet, with each of ser2net's two ways of handing bytes on.
    int failures = 0;
    for (const bool chardelay : {false, true}) {
        std::vector<Ser2net::Connection> fleet;
        for (int i = 0; i < kFleet; ++i)
            fleet.push_back({true, converters[3 + i]->devicePath(), "9600n81", chardelay});
        failures += Fleet(fleet, transactions);
    }
    failures += pty.failures + fast.failures + delayed.failures;
    std::printf("failed_transactions: %d\n", failures);
    return failures == 0 ? 0 : 1;
}
