#include "protocol/config_exchange.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "protocol/frame_codec.h"

namespace linkmate {
namespace {

// Reads into `buffer` until `complete` bytes are there, a read returns nothing, or the overall
// deadline has passed. Each read asks for at most `chunk` bytes and never for more than the room
// left in the buffer, and waits no longer than the time left.
// `record`, when given, gets each chunk with its time since `sentAt`.
template <size_t N>
size_t Collect(PortIo& port, std::array<uint8_t, N>& buffer, size_t complete, uint32_t chunk,
               uint32_t timeoutMs, TraceAttempt* record) {
    using namespace std::chrono;
    const auto sentAt = port.Now();
    const auto lineTime = microseconds(complete * 10 * 1'000'000 / kSlowestConfigBitRate);
    const auto deadline = sentAt + milliseconds(timeoutMs) + lineTime;
    size_t collected = 0;
    while (collected < complete) {
        const auto left = ceil<milliseconds>(deadline - port.Now()).count();
        if (left <= 0) break;
        const uint32_t wait = static_cast<uint32_t>(std::min<long long>(timeoutMs, left));
        const uint32_t room = static_cast<uint32_t>(N - collected);
        const uint32_t got = port.Read(buffer.data() + collected, std::min(chunk, room), wait);
        if (got == 0) break;
        const size_t taken = std::min<size_t>(got, room);
        if (record != nullptr) {
            record->received.push_back(
                {std::vector<uint8_t>(buffer.begin() + static_cast<long>(collected),
                                      buffer.begin() + static_cast<long>(collected + taken)),
                 duration<double, std::milli>(port.Now() - sentAt).count()});
        }
        collected += taken;
    }
    return collected;
}

// Why a read attempt's collection is not a reply (or kOk for a whole frame with its header).
AttemptEnd ReplyEnd(const std::array<uint8_t, kReplyBufferSize>& reply, size_t collected) {
    if (collected == 0) return AttemptEnd::kNoAnswer;
    if (reply[0] != kHeader0 || (collected >= 2 && reply[1] != kHeader1)) return AttemptEnd::kWrongHeader;
    if (collected < 4) return AttemptEnd::kShortFrame;
    if (reply[2] != kCmdReadConfig || reply[3] != kConfigDataLength) {
        return AttemptEnd::kWrongCommandOrLength;
    }
    return collected < kConfigFrameSize ? AttemptEnd::kShortFrame : AttemptEnd::kOk;
}

TraceAttempt* NewAttempt(ExchangeTrace* trace, const uint8_t* sent, size_t size) {
    if (trace == nullptr) return nullptr;
    trace->attempts.push_back({std::vector<uint8_t>(sent, sent + size), {}, AttemptEnd::kNoAnswer});
    return &trace->attempts.back();
}

bool IsReplyHeader(const std::array<uint8_t, kReplyBufferSize>& reply, size_t collected) {
    return collected >= 4 && reply[0] == kHeader0 && reply[1] == kHeader1 &&
           reply[2] == kCmdReadConfig && reply[3] == kConfigDataLength;
}

}  // namespace

bool ReadConfig(PortIo& port, SerialSettings& serial, CanSettings& can, TranSettings& tran,
                ExchangeTrace* trace) {
    if (trace != nullptr) trace->exchange = "read";
    std::array<uint8_t, kReplyBufferSize> reply{};
    size_t collected = 0;
    bool headerOk = false;
    TraceAttempt* record = nullptr;
    for (int attempt = 0; attempt < kExchangeAttempts && !headerOk; ++attempt) {
        port.Write(ReadRequest.data(), static_cast<uint32_t>(ReadRequest.size()),
                   kRequestWriteTimeoutMs);
        record = NewAttempt(trace, ReadRequest.data(), ReadRequest.size());
        collected = Collect(port, reply, kConfigFrameSize, kReplyReadChunk, kReplyReadTimeoutMs, record);
        headerOk = IsReplyHeader(reply, collected);
        if (record != nullptr) record->end = ReplyEnd(reply, collected);
    }
    if (!headerOk || collected < kConfigFrameSize) return false;

    ConfigFrame frame;
    std::copy_n(reply.begin(), kConfigFrameSize, frame.begin());
    const bool decoded = DecodeConfigFrame(frame, serial, can, tran);
    if (record != nullptr && !decoded) record->end = AttemptEnd::kWrongCheck;
    return decoded;
}

bool ReadConfig(PortIo& port, DeviceConfig& config, ExchangeTrace* trace) {
    return ReadConfig(port, config.serial, config.can, config.tran, trace);
}

bool WriteConfig(PortIo& port, const SerialSettings& serial, const CanSettings& can,
                 const TranSettings& tran, ExchangeTrace* trace) {
    if (trace != nullptr) trace->exchange = "write";
    const ConfigFrame frame = EncodeConfigFrame(serial, can, tran);
    for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
        port.Write(frame.data(), static_cast<uint32_t>(frame.size()), kFrameWriteTimeoutMs);
        if (WaitAck(port, kCmdWriteConfig, NewAttempt(trace, frame.data(), frame.size()))) return true;
    }
    return false;
}

bool WriteConfig(PortIo& port, const DeviceConfig& config, ExchangeTrace* trace) {
    return WriteConfig(port, config.serial, config.can, config.tran, trace);
}

bool WaitAck(PortIo& port, uint8_t expectedCommand, TraceAttempt* record) {
    std::array<uint8_t, kAckBufferSize> ack{};
    const size_t collected = Collect(port, ack, kConfigAckSize, kAckReadChunk, kAckReadTimeoutMs, record);
    const bool ok = IsConfigAck(ack.data(), collected, expectedCommand);
    if (record != nullptr) {
        record->end = ok ? AttemptEnd::kOk : collected == 0 ? AttemptEnd::kNoAnswer : AttemptEnd::kWrongAck;
    }
    return ok;
}

}  // namespace linkmate
