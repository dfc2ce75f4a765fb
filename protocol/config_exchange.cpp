#include "protocol/config_exchange.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

#include "protocol/frame_codec.h"

namespace linkmate {
namespace {

using namespace std::chrono;

microseconds LineTime(size_t bytes) {
    return microseconds(bytes * 10 * 1'000'000 / kSlowestConfigBitRate);
}

struct Collection {
    size_t size = 0;       // bytes of the answer in the buffer (an echo not counted)
    bool echo = false;     // the whole of what was sent came back first, and was skipped
    bool removed = false;  // the device went away during the collection
};

// Reads into `buffer` until `complete` bytes are there, a read returns nothing, or the overall
// deadline has passed. Each read asks for at most `chunk` bytes and never for more than the room
// left in the buffer, and waits no longer than the time left.
// Two-wire RS-485 adapters return every byte the PC sends before the converter's answer: when
// what comes back starts with exactly the `sentSize` bytes of `sent`, they are skipped. Bytes that
// match only a part of them are kept aside until they either complete the echo or turn out to be
// the start of an answer (a reply and an acknowledgement share their first three bytes with the
// request and the write frame).
// `record`, when given, gets each chunk with its time since `sentAt`.
template <size_t N>
Collection Collect(PortIo& port, std::array<uint8_t, N>& buffer, size_t complete, uint32_t chunk,
                   uint32_t timeoutMs, const uint8_t* sent, size_t sentSize, TraceAttempt* record) {
    const auto sentAt = port.Now();
    auto deadline = sentAt + milliseconds(timeoutMs) + LineTime(complete);
    Collection c;
    bool echoPossible = sentSize != 0;
    size_t echoed = 0;  // bytes set aside that match the start of `sent`
    // Not an echo after all: the bytes set aside belong in front of the answer.
    const auto putBack = [&] {
        const size_t kept = std::min(c.size, N - std::min(echoed, N));
        std::memmove(buffer.data() + std::min(echoed, N), buffer.data(), kept);
        std::copy_n(sent, std::min(echoed, N), buffer.begin());
        c.size = std::min(N, echoed + kept);
        echoPossible = false;
        echoed = 0;
    };
    while (c.size < complete || (echoPossible && echoed != 0)) {
        const auto left = ceil<milliseconds>(deadline - port.Now()).count();
        if (left <= 0) break;
        const uint32_t wait = static_cast<uint32_t>(std::min<long long>(timeoutMs, left));
        const uint32_t room = static_cast<uint32_t>(N - c.size);
        const uint32_t got = port.Read(buffer.data() + c.size, std::min(chunk, room), wait);
        if (got == 0) {
            c.removed = port.DeviceRemoved();
            break;
        }
        const size_t taken = std::min<size_t>(got, room);
        if (record != nullptr) {
            record->received.push_back(
                {std::vector<uint8_t>(buffer.begin() + static_cast<long>(c.size),
                                      buffer.begin() + static_cast<long>(c.size + taken)),
                 duration<double, std::milli>(port.Now() - sentAt).count()});
        }
        c.size += taken;
        if (!echoPossible) continue;
        size_t match = 0;
        while (match < c.size && echoed + match < sentSize && buffer[match] == sent[echoed + match]) {
            ++match;
        }
        if (echoed + match == sentSize) {
            c.size -= match;
            std::memmove(buffer.data(), buffer.data() + match, c.size);
            c.echo = true;
            echoPossible = false;
            echoed = 0;
            deadline += LineTime(sentSize);
            if (record != nullptr) record->echoBytes = sentSize;
        } else if (match == c.size) {
            echoed += match;
            c.size = 0;
        } else {
            putBack();
        }
    }
    if (echoPossible && echoed != 0) putBack();
    return c;
}

// Why a read attempt's collection is not a reply (or kOk for a plausible frame).
AttemptEnd ReplyEnd(const std::array<uint8_t, kReplyBufferSize>& reply, const Collection& c) {
    if (c.removed) return AttemptEnd::kDeviceRemoved;
    const size_t collected = c.size;
    if (collected == 0) return c.echo ? AttemptEnd::kEchoOnly : AttemptEnd::kNoAnswer;
    if (reply[0] != kHeader0 || (collected >= 2 && reply[1] != kHeader1)) return AttemptEnd::kWrongHeader;
    if (collected < 4) return AttemptEnd::kShortFrame;
    if (reply[2] != kCmdReadConfig || reply[3] != kConfigDataLength) {
        return AttemptEnd::kWrongCommandOrLength;
    }
    if (collected < kConfigFrameSize) return AttemptEnd::kShortFrame;
    if (XorCheck(reply.data(), kConfigFrameSize - 1) != reply[kConfigFrameSize - 1]) {
        return AttemptEnd::kWrongCheck;
    }
    ConfigFrame frame;
    std::copy_n(reply.begin(), kConfigFrameSize, frame.begin());
    return IsPlausibleReply(frame) ? AttemptEnd::kOk : AttemptEnd::kImplausible;
}

TraceAttempt* NewAttempt(const PortIo& port, ExchangeTrace* trace, const uint8_t* sent, size_t size) {
    if (trace == nullptr) return nullptr;
    const auto now = port.Now();
    if (trace->attempts.empty()) trace->start = now;
    const double atMs = std::chrono::duration<double, std::milli>(now - trace->start).count();
    trace->attempts.push_back({std::vector<uint8_t>(sent, sent + size), {}, AttemptEnd::kNoAnswer, 0, atMs});
    return &trace->attempts.back();
}

AttemptEnd AwaitAck(PortIo& port, uint8_t expectedCommand, const uint8_t* sent, size_t sentSize,
                    TraceAttempt* record) {
    std::array<uint8_t, kAckBufferSize> ack{};
    const Collection c =
        Collect(port, ack, kConfigAckSize, kAckReadChunk, kAckReadTimeoutMs, sent, sentSize, record);
    const AttemptEnd end = c.removed                                       ? AttemptEnd::kDeviceRemoved
                           : IsConfigAck(ack.data(), c.size, expectedCommand) ? AttemptEnd::kOk
                           : c.size != 0                                   ? AttemptEnd::kWrongAck
                           : c.echo                                        ? AttemptEnd::kEchoOnly
                                                                           : AttemptEnd::kNoAnswer;
    if (record != nullptr) record->end = end;
    return end;
}

}  // namespace

bool ReadConfigFrame(PortIo& port, ConfigFrame& frame, ExchangeTrace* trace) {
    if (trace != nullptr) trace->exchange = "read";
    // Replies that passed every check but have not been confirmed by an equal one. A duplicated
    // or flipped byte can leave a frame whose 8-bit check still holds; two equal replies cannot
    // come from independent faults.
    std::vector<ConfigFrame> replies;
    int failures = 0;
    while (failures < kExchangeAttempts) {
        port.Write(ReadRequest.data(), static_cast<uint32_t>(ReadRequest.size()),
                   kRequestWriteTimeoutMs);
        TraceAttempt* record = NewAttempt(port, trace, ReadRequest.data(), ReadRequest.size());
        std::array<uint8_t, kReplyBufferSize> reply{};
        const Collection c = Collect(port, reply, kConfigFrameSize, kReplyReadChunk, kReplyReadTimeoutMs,
                                     ReadRequest.data(), ReadRequest.size(), record);
        AttemptEnd end = ReplyEnd(reply, c);
        if (end == AttemptEnd::kOk) {
            ConfigFrame candidate;
            std::copy_n(reply.begin(), kConfigFrameSize, candidate.begin());
            if (std::find(replies.begin(), replies.end(), candidate) != replies.end()) {
                if (record != nullptr) record->end = AttemptEnd::kOk;
                frame = candidate;
                return true;
            }
            replies.push_back(candidate);
            if (replies.size() > 1) end = AttemptEnd::kDiffers;
        }
        if (record != nullptr) record->end = end;
        if (end == AttemptEnd::kDeviceRemoved) return false;
        if (end == AttemptEnd::kDiffers && replies.size() == kReadRepliesCompared) return false;
        if (end != AttemptEnd::kOk && end != AttemptEnd::kDiffers) ++failures;
    }
    return false;
}

bool ReadConfig(PortIo& port, SerialSettings& serial, CanSettings& can, TranSettings& tran,
                ExchangeTrace* trace) {
    ConfigFrame frame;
    return ReadConfigFrame(port, frame, trace) && DecodeConfigFrame(frame, serial, can, tran);
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
        const AttemptEnd end = AwaitAck(port, kCmdWriteConfig, frame.data(), frame.size(),
                                        NewAttempt(port, trace, frame.data(), frame.size()));
        if (end == AttemptEnd::kOk) return true;
        if (end == AttemptEnd::kDeviceRemoved) return false;
    }
    return false;
}

bool WriteConfig(PortIo& port, const DeviceConfig& config, ExchangeTrace* trace) {
    return WriteConfig(port, config.serial, config.can, config.tran, trace);
}

bool WaitAck(PortIo& port, uint8_t expectedCommand, TraceAttempt* record) {
    return AwaitAck(port, expectedCommand, nullptr, 0, record) == AttemptEnd::kOk;
}

VerifiedWrite WriteAndVerify(PortIo& port, const SerialSettings& serial, const CanSettings& can,
                             const TranSettings& tran) {
    VerifiedWrite v;
    if (!WriteConfig(port, serial, can, tran, &v.write)) {
        v.outcome = VerifiedWrite::Outcome::kNotAcknowledged;
        v.deviceRemoved = v.write.deviceRemoved();
        return v;
    }
    if (!ReadConfigFrame(port, v.held, &v.readBack)) {
        v.outcome = VerifiedWrite::Outcome::kReadBackFailed;
        v.deviceRemoved = v.readBack.deviceRemoved();
        return v;
    }
    v.differences = CompareHeldFrame(EncodeConfigFrame(serial, can, tran), v.held);
    v.outcome = v.differences.empty() ? VerifiedWrite::Outcome::kVerified : VerifiedWrite::Outcome::kDiffers;
    return v;
}

VerifiedWrite WriteAndVerify(PortIo& port, const DeviceConfig& config) {
    return WriteAndVerify(port, config.serial, config.can, config.tran);
}

}  // namespace linkmate
