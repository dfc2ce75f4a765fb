// The converter behind a serial device server (Debian's ser2net on 127.0.0.1, RFC 2217) against
// the same converter on a pseudo-terminal, both answering at the pace of a 57600 bit/s line; and
// 32 converters behind one ser2net read at once against one alone, beside the same 32 on their
// pseudo-terminals without a server. Prints "name: value unit".
#include <sys/resource.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "bench_support.h"
#include "protocol/config_exchange.h"
#include "serial/open_failure.h"
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

double CpuMs(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return bench::Ms(usage.ru_utime) + bench::Ms(usage.ru_stime);
}

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

struct FleetFigures {
    double alone = 0, together = 0;
    double cpuPerRound = 0;  // this process's (the converters and the readers), per round at once
    double readerCpu = 0;    // the tool's own, per read at once (median of the reader threads)
    int failures = 0;
};

// Every port opened first, then reads on the first alone, then one read on each at once, round
// after round.
FleetFigures Fleet(const std::vector<std::string>& names, int transactions) {
    FleetFigures f;
    std::vector<std::unique_ptr<CSerialComm>> ports;
    for (const std::string& name : names) {
        ports.push_back(std::make_unique<CSerialComm>());
        CFileException error;
        if (!ports.back()->Open(name, kRate, 8, 0, 0, &error)) {
            std::fprintf(stderr, "cannot open %s:\n%s\n", name.c_str(),
                         DescribeOpenFailure(name, error, OpenFailureReader::kCommandLine).c_str());
            f.failures = 1;
            return f;
        }
    }
    std::vector<double> alone;
    for (int i = 0; i < transactions; ++i) {
        SerialPortIo io(*ports[0]);
        DeviceConfig config;
        const auto start = Clock::now();
        f.failures += ReadConfig(io, config) ? 0 : 1;
        alone.push_back(MsSince(start));
    }
    std::vector<double> together, readerCpu;
    const int rounds = std::max(1, transactions / 5);
    const double cpuBefore = CpuMs(RUSAGE_SELF);
    for (int round = 0; round < rounds; ++round) {
        std::vector<std::thread> threads;
        std::vector<int> ok(ports.size(), 0);
        std::vector<double> cpu(ports.size(), 0);
        const auto start = Clock::now();
        for (size_t i = 0; i < ports.size(); ++i) {
            threads.emplace_back([&, i] {
                SerialPortIo io(*ports[i]);
                DeviceConfig config;
                const double before = ThreadCpuMs();
                ok[i] = ReadConfig(io, config) ? 1 : 0;
                cpu[i] = ThreadCpuMs() - before;
            });
        }
        for (std::thread& t : threads) t.join();
        together.push_back(MsSince(start));
        readerCpu.insert(readerCpu.end(), cpu.begin(), cpu.end());
        for (int v : ok) f.failures += 1 - v;
    }
    f.cpuPerRound = (CpuMs(RUSAGE_SELF) - cpuBefore) / rounds;
    f.alone = bench::Median(alone);
    f.together = bench::Median(together);
    f.readerCpu = bench::Median(readerCpu);
    return f;
}

void PrintFleet(const FleetFigures& f, size_t size, const std::string& tag, const char* target) {
    std::printf("fleet_one_read_median%s: %.3f ms\n", tag.c_str(), f.alone);
    std::printf("fleet_%zu_reads_at_once_median%s: %.3f ms\n", size, tag.c_str(), f.together);
    std::printf("fleet_ratio%s: %.3f x one alone%s\n", tag.c_str(), f.together / f.alone, target);
    std::printf("fleet_cpu_per_round%s: %.3f ms (this process: converters and readers)\n",
                tag.c_str(), f.cpuPerRound);
    std::printf("fleet_reader_cpu_per_read%s: %.3f ms (the tool's own, median)\n", tag.c_str(),
                f.readerCpu);
}

// 32 converters behind one ser2net, with ser2net's CPU time for the whole run.
int Ser2netFleet(const std::vector<linkmate::testing::Ser2net::Connection>& connections,
                 int transactions) {
    const double childrenBefore = CpuMs(RUSAGE_CHILDREN);
    std::vector<std::string> addresses;
    FleetFigures f;
    {
        linkmate::testing::Ser2net server(connections);
        if (!server.Start()) {
            std::fprintf(stderr, "cannot start %s\n", linkmate::testing::kSer2netPath);
            return 1;
        }
        for (size_t i = 0; i < connections.size(); ++i) addresses.push_back(server[i].Address());
        f = Fleet(addresses, transactions);
    }
    const std::string tag = connections.front().chardelay ? "_chardelay" : "";
    PrintFleet(f, connections.size(), tag, " (target <= 1.5)");
    std::printf("fleet_ser2net_cpu%s: %.3f ms (the whole run: %d reads alone, %d rounds)\n",
                tag.c_str(), CpuMs(RUSAGE_CHILDREN) - childrenBefore, transactions,
                std::max(1, transactions / 5));
    return f.failures;
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

    // The fleet, with each of ser2net's two ways of handing bytes on; then the same converters on
    // their pseudo-terminals, without ser2net: what 32 paced converters and their readers cost
    // this machine by themselves.
    int failures = 0;
    for (const bool chardelay : {false, true}) {
        std::vector<Ser2net::Connection> fleet;
        for (int i = 0; i < kFleet; ++i)
            fleet.push_back({true, converters[3 + i]->devicePath(), "9600n81", chardelay});
        failures += Ser2netFleet(fleet, transactions);
    }
    std::vector<std::string> ptys;
    for (int i = 0; i < kFleet; ++i) ptys.push_back(converters[3 + i]->devicePath());
    const FleetFigures local = Fleet(ptys, transactions);
    PrintFleet(local, ptys.size(), "_pty", " (no server: the machine's own share)");
    failures += local.failures;
    failures += pty.failures + fast.failures + delayed.failures;
    std::printf("failed_transactions: %d\n", failures);
    return failures == 0 ? 0 : 1;
}
