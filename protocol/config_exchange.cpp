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
    size_t size = 0;        // bytes of the answer in the buffer (an echo not counted)
    bool echo = false;      // the whole of what was sent came back first, and was skipped
    bool removed = false;   // the device went away during the collection
    bool cutShort = false;  // bytes were still arriving when the overall deadline ended it
    steady_clock::time_point sentAt;
};

void RecordChunk(TraceAttempt* record, const uint8_t* bytes, size_t count,
                 steady_clock::time_point sentAt, steady_clock::time_point now) {
    if (record == nullptr) return;
    record->received.push_back({std::vector<uint8_t>(bytes, bytes + count),
                                duration<double, std::milli>(now - sentAt).count()});
}

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
    c.sentAt = sentAt;
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
        if (left <= 0) {
            c.cutShort = c.size != 0 || echoed != 0;
            break;
        }
        const uint32_t wait = static_cast<uint32_t>(std::min<long long>(timeoutMs, left));
        const uint32_t room = static_cast<uint32_t>(N - c.size);
        const uint32_t got = port.Read(buffer.data() + c.size, std::min(chunk, room), wait);
        if (got == 0) {
            c.removed = port.DeviceRemoved();
            // A wait cut down to the deadline ended it, not the converter's silence (the line
            // time allowed for is the slack a paced reply may use up).
            c.cutShort = milliseconds(wait) + LineTime(complete) < milliseconds(timeoutMs) &&
                         (c.size != 0 || echoed != 0);
            break;
        }
        const size_t taken = std::min<size_t>(got, room);
        RecordChunk(record, buffer.data() + c.size, taken, sentAt, port.Now());
        c.size += taken;
        if (!echoPossible) continue;
        size_t match = 0;
        while (match < c.size && echoed + match < sentSize &&
               buffer[match] == sent[echoed + match]) {
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
    if (reply[0] != kHeader0 || (collected >= 2 && reply[1] != kHeader1))
        return AttemptEnd::kWrongHeader;
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

TraceAttempt* NewAttempt(const PortIo& port, ExchangeTrace* trace, const uint8_t* sent,
                         size_t size) {
    if (trace == nullptr) return nullptr;
    const auto now = port.Now();
    if (trace->attempts.empty()) trace->start = now;
    const double atMs = std::chrono::duration<double, std::milli>(now - trace->start).count();
    TraceAttempt& attempt = trace->attempts.emplace_back();
    attempt.sent.assign(sent, sent + size);
    attempt.atMs = atMs;
    return &attempt;
}

// Bytes of the frame that must have come back before an acknowledgement is looked for behind a
// damaged echo: more than the three an acknowledgement shares with the start of any frame.
constexpr size_t kEchoEvidence = 8;

// A two-wire adapter returned the frame with a byte damaged, so the echo was not skipped and the
// acknowledgement (if any) is still on its way behind it. Goes on collecting until the
// acknowledgement shows up after the echo's start, the line falls silent or the time for the
// echo and the acknowledgement is up. True when it came.
bool AckBehindDamagedEcho(PortIo& port, std::vector<uint8_t>& seen, uint8_t expectedCommand,
                          size_t sentSize, steady_clock::time_point sentAt, TraceAttempt* record,
                          bool& removed) {
    const auto ack = ConfigAck(expectedCommand);
    const auto deadline =
        sentAt + milliseconds(kAckReadTimeoutMs) + LineTime(sentSize + kConfigAckSize);
    const size_t limit = 2 * sentSize + kConfigAckSize;  // a damaged echo is hardly longer
    for (;;) {
        const auto at =
            std::search(seen.begin() + kEchoEvidence, seen.end(), ack.begin(), ack.end());
        if (at != seen.end()) {
            if (record != nullptr) record->echoBytes = static_cast<size_t>(at - seen.begin());
            return true;
        }
        const auto left = ceil<milliseconds>(deadline - port.Now()).count();
        if (left <= 0 || seen.size() >= limit) return false;
        std::array<uint8_t, kAckReadChunk> chunk{};
        const uint32_t room =
            static_cast<uint32_t>(std::min<size_t>(chunk.size(), limit - seen.size()));
        const uint32_t got =
            port.Read(chunk.data(), room,
                      static_cast<uint32_t>(std::min<long long>(kAckReadTimeoutMs, left)));
        if (got == 0) {
            removed = port.DeviceRemoved();
            return false;
        }
        const size_t taken = std::min<size_t>(got, room);
        RecordChunk(record, chunk.data(), taken, sentAt, port.Now());
        seen.insert(seen.end(), chunk.begin(), chunk.begin() + static_cast<long>(taken));
    }
}

AttemptEnd AwaitAck(PortIo& port, uint8_t expectedCommand, const uint8_t* sent, size_t sentSize,
                    TraceAttempt* record) {
    std::array<uint8_t, kAckBufferSize> ack{};
    Collection c = Collect(port, ack, kConfigAckSize, kAckReadChunk, kAckReadTimeoutMs, sent,
                           sentSize, record);
    bool found = !c.removed && IsConfigAck(ack.data(), c.size, expectedCommand);
    if (!found && !c.removed && sentSize > kEchoEvidence && c.size >= kEchoEvidence &&
        std::equal(sent, sent + kEchoEvidence, ack.begin())) {
        std::vector<uint8_t> seen(ack.begin(), ack.begin() + static_cast<long>(c.size));
        found = AckBehindDamagedEcho(port, seen, expectedCommand, sentSize, c.sentAt, record,
                                     c.removed);
    }
    const AttemptEnd end = c.removed     ? AttemptEnd::kDeviceRemoved
                           : found       ? AttemptEnd::kOk
                           : c.size != 0 ? AttemptEnd::kWrongAck
                           : c.echo      ? AttemptEnd::kEchoOnly
                                         : AttemptEnd::kNoAnswer;
    if (record != nullptr) record->end = end;
    return end;
}

// The bytes a converter keeps of a write frame, which its reply to a read request carries back:
// all but the command byte, the two fixed line bytes and the check byte.
bool HoldsWritten(const ConfigFrame& reply, const ConfigFrame& written) {
    for (size_t i = 0; i < kConfigFrameSize - 1; ++i) {
        if (i != 2 && i != 5 && i != 6 && reply[i] != written[i]) return false;
    }
    return true;
}

// A read; with `written`, a reply that carries exactly those bytes needs no second one to
// confirm it: noise that turns another configuration into the very frame just written, check
// byte and all, is not a risk worth a second request.
bool ReadFrame(PortIo& port, ConfigFrame& frame, ExchangeTrace* trace, const ConfigFrame* written,
               int failuresAllowed = kExchangeAttempts) {
    if (trace != nullptr) trace->exchange = "read";
    // Replies that passed every check but have not been confirmed by an equal one. A duplicated
    // or flipped byte can leave a frame whose 8-bit check still holds; two equal replies cannot
    // come from independent faults.
    std::vector<ConfigFrame> replies;
    int failures = 0;
    while (failures < failuresAllowed) {
        port.Write(ReadRequest.data(), static_cast<uint32_t>(ReadRequest.size()),
                   kRequestWriteTimeoutMs);
        TraceAttempt* record = NewAttempt(port, trace, ReadRequest.data(), ReadRequest.size());
        std::array<uint8_t, kReplyBufferSize> reply{};
        const Collection c =
            Collect(port, reply, kConfigFrameSize, kReplyReadChunk, kReplyReadTimeoutMs,
                    ReadRequest.data(), ReadRequest.size(), record);
        AttemptEnd end = ReplyEnd(reply, c);
        if (record != nullptr) record->stillArriving = end == AttemptEnd::kShortFrame && c.cutShort;
        if (end == AttemptEnd::kOk) {
            ConfigFrame candidate;
            std::copy_n(reply.begin(), kConfigFrameSize, candidate.begin());
            if ((written != nullptr && HoldsWritten(candidate, *written)) ||
                std::find(replies.begin(), replies.end(), candidate) != replies.end()) {
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

}  // namespace

bool ReadConfigFrame(PortIo& port, ConfigFrame& frame, ExchangeTrace* trace) {
    return ReadFrame(port, frame, trace, nullptr);
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
    v.write.exchange = "write";
    v.readBack.exchange = "read";
    const ConfigFrame frame = EncodeConfigFrame(serial, can, tran);
    // Reads back into v; true when that settled the outcome.
    const auto readBack = [&](bool acknowledged, int failuresAllowed) {
        ExchangeTrace trace;
        const bool held = ReadFrame(port, v.held, &trace, &frame, failuresAllowed);
        for (TraceAttempt& a : trace.attempts) v.readBack.attempts.push_back(std::move(a));
        v.deviceRemoved = trace.deviceRemoved();
        if (held) {
            v.differences = CompareHeldFrame(frame, v.held);
            if (v.differences.empty()) {
                v.outcome = VerifiedWrite::Outcome::kVerified;
                return true;
            }
            if (acknowledged) {
                v.outcome = VerifiedWrite::Outcome::kDiffers;
                return true;
            }
            v.differences.clear();  // the frame did not arrive
            return false;
        }
        v.outcome = acknowledged ? VerifiedWrite::Outcome::kReadBackFailed
                                 : VerifiedWrite::Outcome::kNotAcknowledged;
        return true;
    };
    bool silent = false;
    for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
        port.Write(frame.data(), static_cast<uint32_t>(frame.size()), kFrameWriteTimeoutMs);
        const AttemptEnd end = AwaitAck(port, kCmdWriteConfig, frame.data(), frame.size(),
                                        NewAttempt(port, &v.write, frame.data(), frame.size()));
        if (end == AttemptEnd::kDeviceRemoved) {
            v.deviceRemoved = true;
            return v;
        }
        // Silence (or only our echo): most likely the frame did not arrive whole; the next
        // attempt goes out without a read-back, so that a silent converter costs no more.
        silent = end == AttemptEnd::kNoAnswer || end == AttemptEnd::kEchoOnly;
        if (silent) continue;
        // An acknowledgement is verified by reading back. Bytes that were not one may be a
        // damaged acknowledgement of a frame the converter took: read back before sending again.
        if (readBack(end == AttemptEnd::kOk, kExchangeAttempts)) return v;
    }
    // The last frame unanswered: one request settles whether the converter took it all the same.
    if (silent && readBack(false, 1) && v.verified()) return v;
    v.outcome = VerifiedWrite::Outcome::kNotAcknowledged;
    return v;
}

VerifiedWrite WriteAndVerify(PortIo& port, const DeviceConfig& config) {
    return WriteAndVerify(port, config.serial, config.can, config.tran);
}

}  // namespace linkmate
