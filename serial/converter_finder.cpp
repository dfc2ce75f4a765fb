#include "serial/converter_finder.h"

#include <algorithm>
#include <future>
#include <memory>

#include "protocol/config_exchange.h"
#include "protocol/config_lists.h"
#include "protocol/frame_codec.h"
#include "protocol/port_io.h"
#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/open_failure.h"
#include "serial/port_address.h"
#include "serial/port_map.h"
#include "serial/serial_comm.h"

namespace linkmate {
namespace {

constexpr uint32_t kProbeWriteTimeoutMs = 100;
constexpr uint32_t kProbeReadChunk = 64;
// Room for an echo, a frame and whatever came before them.
constexpr size_t kProbeBufferSize = kReadRequestSize + kConfigFrameSize + kProbeReadChunk;

// The line time of `bytes` at `bitRate` (10 bits a byte), rounded up.
std::chrono::milliseconds LineTime(size_t bytes, uint32_t bitRate) {
    return std::chrono::milliseconds((bytes * 10 * 1000 + bitRate - 1) / bitRate);
}

enum class Heard { kNothing, kSomething, kFrame };

// A well-formed reply anywhere in `bytes`: after the adapter's echo of the request, or after bytes
// left over from an earlier ask. The reply shares only its first three bytes with the request, so
// the two cannot be mistaken for each other.
bool FindReply(const uint8_t* bytes, size_t size, DeviceConfig& config) {
    for (size_t at = 0; at + kConfigFrameSize <= size; ++at) {
        const uint8_t* f = bytes + at;
        if (f[0] != 0xF7 || f[1] != 0xF8 || f[2] != kCmdReadConfig || f[3] != kConfigDataLength)
            continue;
        ConfigFrame frame{};
        std::copy_n(f, kConfigFrameSize, frame.begin());
        if (DecodeConfigFrame(frame, config)) return true;
    }
    return false;
}

// Sends the read request once and collects until a reply is found, the buffer is full, or `wait`
// has passed since the request.
Heard Ask(PortIo& port, std::chrono::milliseconds wait, DeviceConfig& config,
          TraceAttempt* record) {
    const auto sentAt = port.Now();
    port.Write(ReadRequest.data(), kReadRequestSize, kProbeWriteTimeoutMs);
    const auto deadline = sentAt + wait;
    std::array<uint8_t, kProbeBufferSize> bytes{};
    size_t got = 0;
    while (got < bytes.size()) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - port.Now());
        if (left.count() <= 0) break;
        const uint32_t room =
            static_cast<uint32_t>(std::min<size_t>(kProbeReadChunk, bytes.size() - got));
        const uint32_t n = port.Read(bytes.data() + got, room, static_cast<uint32_t>(left.count()));
        if (n == 0) break;
        if (record != nullptr) {
            record->received.push_back(
                {{bytes.begin() + static_cast<long>(got),
                  bytes.begin() + static_cast<long>(got + n)},
                 std::chrono::duration<double, std::milli>(port.Now() - sentAt).count()});
        }
        got += n;
        if (FindReply(bytes.data(), got, config)) {
            if (record != nullptr) record->end = AttemptEnd::kOk;
            return Heard::kFrame;
        }
    }
    // A two-wire RS-485 adapter returns the request: that alone says nothing of a converter.
    const bool echoOnly =
        got <= kReadRequestSize &&
        std::equal(bytes.begin(), bytes.begin() + static_cast<long>(got), ReadRequest.begin());
    if (record != nullptr) {
        record->echoBytes = echoOnly ? got : 0;
        record->end = got == 0           ? AttemptEnd::kNoAnswer
                      : echoOnly         ? AttemptEnd::kEchoOnly
                      : bytes[0] != 0xF7 ? AttemptEnd::kWrongHeader
                                         : AttemptEnd::kShortFrame;
    }
    return echoOnly ? Heard::kNothing : Heard::kSomething;
}

// A record of an ask at `bitRate` in `trace`, timed from the trace's start; nullptr without one.
TraceAttempt* RecordAsk(ExchangeTrace* trace, PortIo& port, uint32_t bitRate) {
    if (trace == nullptr) return nullptr;
    TraceAttempt& a = trace->attempts.emplace_back();
    a.sent.assign(ReadRequest.begin(), ReadRequest.end());
    a.bitRate = bitRate;
    if (trace->start != std::chrono::steady_clock::time_point{})
        a.atMs = std::chrono::duration<double, std::milli>(port.Now() - trace->start).count();
    return &a;
}

// The list's entry in the operator's language; "?" for an index the list lacks.
template <size_t N>
std::string ListText(const std::array<std::string_view, N>& list, int32_t index) {
    if (index < 0 || static_cast<size_t>(index) >= N) return "?";
    return text::translate("lists", std::string(list[static_cast<size_t>(index)]).c_str());
}

}  // namespace

std::string ConfigSummary(const DeviceConfig& c) {
    return text::Arg(text::translate("ConverterFinder", "serial %1 bit/s %2, CAN %3 %4, %5"),
                     {ListText(lists::SerialBaudrate, c.serial.SerialBaudrate),
                      ListText(lists::SerialParity, c.serial.SerialParity),
                      ListText(lists::CanBaudrate, c.can.CanBaudrate),
                      ListText(lists::CanFrameType, c.can.CanFrameType),
                      ListText(lists::TranMode, c.tran.TranMode)});
}

std::chrono::milliseconds ProbeWait(uint32_t bitRate) {
    return LineTime(kReadRequestSize + kReadRequestSize + kConfigFrameSize, bitRate) +
           kProbeAnswerMargin;
}

bool ProbeOnce(PortIo& port, uint32_t bitRate, DeviceConfig& config, ProbeWaits waits,
               ExchangeTrace* trace) {
    const auto full = std::chrono::milliseconds(kReplyReadTimeoutMs) +
                      LineTime(kReadRequestSize + kConfigFrameSize, bitRate);
    Heard heard = Ask(port, waits == ProbeWaits::kFullTimeout ? full : ProbeWait(bitRate), config,
                      RecordAsk(trace, port, bitRate));
    if (heard == Heard::kSomething)
        heard = Ask(port, full, config, RecordAsk(trace, port, bitRate));
    return heard == Heard::kFrame;
}

ProbeResult ProbePort(int port, ProbeWaits waits) {
    ProbeResult result;
    result.port = port;
    result.device = ComPortDevicePath(port);
    // A raw TCP port runs at the server's line settings whatever rate is asked for: one ask over
    // one connection tells all there is, and not which model answered. It waits as long as the
    // slowest model's line needs.
    const auto address = ParsePortAddress(result.device);
    const bool serverLine = address && address->scheme == PortAddress::Scheme::kRawTcp;
    std::unique_ptr<CSerialComm> open;
    for (int32_t model = 0; model < static_cast<int32_t>(ConfigPortBaudTable.size()); ++model) {
        // A serial device server's port is asked at the next rate over the connection it has: the
        // server lets one client in at a time and may not have seen the last one go yet.
        const bool reused = open && open->isNetwork() &&
                            open->SetBaudRate(ConfigPortBaudTable[static_cast<size_t>(model)]);
        if (!reused) open = std::make_unique<CSerialComm>();
        CSerialComm& serial = *open;
        CFileException error;
        if (!reused && !OpenConfigPort(serial, model, port - 1, &error)) {
            result.opened = false;
            result.problem = error.what();
            result.held = error.m_cause == CFileException::sharingViolation ||
                          error.m_cause == CFileException::lockViolation;
            if (result.held) result.holder = DeviceHolder(result.device);
            result.absent = error.m_cause == CFileException::fileNotFound ||
                            error.m_lOsError == CFileException::NoDeviceError();
            result.reason = CFileException::SystemErrorText(error.m_lOsError);
            return result;
        }
        result.opened = true;
        SerialPortIo io(serial);
        DeviceConfig config;
        const uint32_t rate =
            serverLine ? *std::min_element(ConfigPortBaudTable.begin(), ConfigPortBaudTable.end())
                       : ConfigPortBaudTable[static_cast<size_t>(model)];
        if (ProbeOnce(io, rate, config, waits)) {
            if (serverLine) {
                result.serverLine = true;
            } else {
                result.model = model;
                config.connection.DeviceType = model;
            }
            config.connection.ConfigPort = port - 1;
            result.config = config;
            return result;
        }
        if (serverLine) break;
    }
    return result;
}

std::optional<int32_t> ProbeOtherModels(CSerialComm& port, PortIo& io, ExchangeTrace* trace) {
    const uint32_t rate = port.lineSettings().baudRate;
    std::optional<int32_t> answered;
    for (int32_t model = 0; model < static_cast<int32_t>(ConfigPortBaudTable.size()) && !answered;
         ++model) {
        const uint32_t other = ConfigPortBaudTable[static_cast<size_t>(model)];
        if (other == rate || !port.SetBaudRate(other)) continue;
        DeviceConfig config;
        if (ProbeOnce(io, other, config, ProbeWaits::kLineTime, trace)) answered = model;
    }
    port.SetBaudRate(rate);
    return answered;
}

std::string ModelHint(int32_t model) {
    const size_t m = static_cast<size_t>(model);
    return text::Arg(
        text::translate("ConverterFinder", "A converter answered at %1 bit/s: choose %2."),
        {std::to_string(ConfigPortBaudTable.at(m)), std::string(lists::DeviceType.at(m))});
}

namespace {

std::vector<std::future<ProbeResult>> StartProbes(const std::vector<int>& ports, ProbeWaits waits) {
    std::vector<std::future<ProbeResult>> probes;
    for (int port : ports) probes.push_back(std::async(std::launch::async, ProbePort, port, waits));
    return probes;
}

std::vector<ProbeResult> Results(std::vector<std::future<ProbeResult>>& probes) {
    std::vector<ProbeResult> results;
    for (auto& probe : probes) results.push_back(probe.get());
    return results;
}

}  // namespace

std::vector<ProbeResult> FindConverters(const std::vector<int>& ports) {
    std::vector<std::future<ProbeResult>> probes = StartProbes(ports, ProbeWaits::kLineTime);
    // The devices the numbers lead to, as the COM list names them (the port map's links
    // followed), from one discovery while the ports are asked.
    const std::vector<ComPortInfo> infos = DescribeComPorts();
    std::vector<ProbeResult> results = Results(probes);

    const auto answered = [](const ProbeResult& r) { return r.answered(); };
    if (std::none_of(results.begin(), results.end(), answered)) {
        std::vector<int> opened;
        for (const ProbeResult& r : results) {
            if (r.opened) opened.push_back(r.port);
        }
        std::vector<std::future<ProbeResult>> again = StartProbes(opened, ProbeWaits::kFullTimeout);
        for (ProbeResult& second : Results(again)) {
            *std::find_if(results.begin(), results.end(), [&](const ProbeResult& r) {
                return r.port == second.port;
            }) = std::move(second);
        }
    }
    for (ProbeResult& r : results) {
        const auto info = std::find_if(infos.begin(), infos.end(),
                                       [&r](const ComPortInfo& i) { return i.number == r.port; });
        if (info != infos.end() && !info->devicePath.empty()) r.device = info->devicePath;
    }
    return results;
}

}  // namespace linkmate
