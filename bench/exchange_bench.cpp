// Wall time of a Read (ReadConfig) and a Write (WriteAndVerify, as the window and the tool write)
// against the virtual converter on a pseudo-terminal, unpaced and paced at both models' bit
// rates; paced, each is compared with the line time of the bytes it puts on the line. Prints
// "name: value unit" lines.
//   exchange_bench [TRANSACTIONS]   (default 300 of each kind per case)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/config_exchange.h"
#include "serial/serial_comm.h"
#include "tools/sim/virtual_converter.h"

namespace {

using Clock = std::chrono::steady_clock;

double Percentile(std::vector<double> values, double p) {
    std::sort(values.begin(), values.end());
    const size_t index =
        std::min(values.size() - 1, static_cast<size_t>(p * (values.size() - 1) + 0.5));
    return values[index];
}

// The line time of `bytes` at `bitRate`, 10 bits a byte.
double LineMs(size_t bytes, uint32_t bitRate) { return bytes * 10000.0 / bitRate; }

// What a successful exchange puts on the line, both ways. A Read is two requests and two replies
// (the second confirms the first); a Write is the frame, its acknowledgement and the read-back,
// one request and its reply (a reply equal to the frame written verifies it by itself).
constexpr size_t kReadLineBytes = 2 * (linkmate::kReadRequestSize + linkmate::kConfigFrameSize);
constexpr size_t kWriteLineBytes = linkmate::kConfigFrameSize + linkmate::kConfigAckSize +
                                   linkmate::kReadRequestSize + linkmate::kConfigFrameSize;

// With `traced`, every transaction keeps its trace, as the window and the tool do.
bool Run(uint32_t paceBitRate, int transactions, bool traced) {
    using namespace linkmate;
    sim::Options options;
    options.paceBitRate = paceBitRate;
    sim::VirtualConverter converter(options);
    std::string error;
    if (!converter.Start(&error)) {
        std::fprintf(stderr, "cannot start the virtual converter: %s\n", error.c_str());
        return false;
    }
    CSerialComm port;
    if (!port.Open(converter.devicePath(), paceBitRate == 0 ? 57600 : paceBitRate, 8, 0, 0)) {
        std::fprintf(stderr, "cannot open %s\n", converter.devicePath().c_str());
        return false;
    }
    SerialPortIo io(port);
    DeviceConfig config;
    std::vector<double> reads, writes, turnarounds;
    int failures = 0;
    for (int i = 0; i < transactions; ++i) {
        ExchangeTrace readTrace;
        auto start = Clock::now();
        failures += ReadConfig(io, config, traced ? &readTrace : nullptr) ? 0 : 1;
        reads.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
        // The converter's turnaround, as a Read's trace shows it: the confirming request's reply
        // has nothing queued before it, so its first byte comes one request and one byte after
        // the request went out, plus the turnaround.
        if (paceBitRate != 0 && readTrace.attempts.size() >= 2 &&
            !readTrace.attempts[1].received.empty()) {
            turnarounds.push_back(readTrace.attempts[1].received.front().ms -
                                  LineMs(kReadRequestSize + 1, paceBitRate));
        }
        start = Clock::now();
        const VerifiedWrite write = WriteAndVerify(io, config);
        failures += write.verified() ? 0 : 1;
        writes.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    const std::string tag =
        (paceBitRate == 0 ? "unpaced" : "paced_" + std::to_string(paceBitRate)) +
        (traced ? "_traced" : "");
    std::printf("read_%s_median: %.3f ms\n", tag.c_str(), Percentile(reads, 0.5));
    std::printf("read_%s_p99: %.3f ms\n", tag.c_str(), Percentile(reads, 0.99));
    std::printf("write_%s_median: %.3f ms\n", tag.c_str(), Percentile(writes, 0.5));
    std::printf("write_%s_p99: %.3f ms\n", tag.c_str(), Percentile(writes, 0.99));
    if (paceBitRate != 0) {
        // The converter takes a request only once its last byte would have arrived, and answers
        // byte by byte on the line's clock, so both ways count.
        const double readLine = LineMs(kReadLineBytes, paceBitRate),
                     writeLine = LineMs(kWriteLineBytes, paceBitRate);
        std::printf("line_time_read_%s: %.3f ms (%zu bytes)\n", tag.c_str(), readLine,
                    kReadLineBytes);
        std::printf("line_time_write_%s: %.3f ms (%zu bytes)\n", tag.c_str(), writeLine,
                    kWriteLineBytes);
        std::printf("read_%s_to_line_time: %.3f\n", tag.c_str(), Percentile(reads, 0.5) / readLine);
        std::printf("write_%s_to_line_time: %.3f\n", tag.c_str(),
                    Percentile(writes, 0.5) / writeLine);
        if (!turnarounds.empty()) {
            std::printf("turnaround_%s_median: %.3f ms\n", tag.c_str(),
                        Percentile(turnarounds, 0.5));
            std::printf("turnaround_%s_max: %.3f ms\n", tag.c_str(), Percentile(turnarounds, 1.0));
        }
    }
    std::printf("failed_transactions_%s: %d\n", tag.c_str(), failures);
    return failures == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int transactions = argc > 1 ? std::max(1, std::atoi(argv[1])) : 300;
    std::printf("transactions: %d of each kind\n", transactions);
    const bool ok = Run(0, transactions, false) && Run(0, transactions, true) &&
                    Run(57600, transactions, false) && Run(57600, transactions, true) &&
                    Run(19200, transactions, true);
    return ok ? 0 : 1;
}
