// The read and write transactions with the converter: how often a message is sent, how long the
// tool waits, how incoming bytes are gathered and which bytes decide success.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "protocol/device_config.h"
#include "protocol/exchange_trace.h"
#include "protocol/frame_check.h"
#include "protocol/port_io.h"

namespace linkmate {

// Failed attempts a transaction makes before it gives up (read and write alike). A read also
// needs a second reply that agrees with the first, so a read that succeeds sends at least two
// requests.
inline constexpr int kExchangeAttempts = 4;
// Different good replies a read accepts before it gives up: the third one decides once.
inline constexpr int kReadRepliesCompared = 3;

inline constexpr uint32_t kRequestWriteTimeoutMs = 100;
inline constexpr uint32_t kReplyReadTimeoutMs = 1000;
inline constexpr uint32_t kReplyReadChunk = 64;
inline constexpr size_t kReplyBufferSize = 96;

// Each collection also ends at an overall deadline: its read time-out plus the line time of the
// bytes it waits for at the slowest converter's rate (10 bits per byte). Each byte restarts the
// read time-out, so without it a converter that trickles bytes would hold the tool for minutes.
inline constexpr uint32_t kSlowestConfigBitRate = 19200;

inline constexpr uint32_t kFrameWriteTimeoutMs = 500;
inline constexpr uint32_t kAckReadTimeoutMs = 500;
inline constexpr uint32_t kAckReadChunk = 32;
inline constexpr size_t kAckBufferSize = 32;

// Asks the converter for its configuration. True only when two plausible replies agree byte for
// byte (when the first two differ, a third decides once); then the three groups hold the decoded
// reply, otherwise they are unchanged. Every failed attempt (silence, wrong header, short reply,
// wrong check byte, implausible values) is followed by another request, up to kExchangeAttempts
// failures. An echo of the request is skipped. The port is never purged: bytes that arrive late
// stay queued and are read first by the next collection. `trace`, when given, records every
// attempt; trace->deviceRemoved() tells when the device went away.
bool ReadConfig(PortIo& port, SerialSettings& serial, CanSettings& can, TranSettings& tran,
                ExchangeTrace* trace = nullptr);
bool ReadConfig(PortIo& port, DeviceConfig& config, ExchangeTrace* trace = nullptr);
// The same, handing over the confirmed reply's bytes.
bool ReadConfigFrame(PortIo& port, ConfigFrame& frame, ExchangeTrace* trace = nullptr);

// Sends the write frame built from the three groups until the converter acknowledges it.
bool WriteConfig(PortIo& port, const SerialSettings& serial, const CanSettings& can,
                 const TranSettings& tran, ExchangeTrace* trace = nullptr);
bool WriteConfig(PortIo& port, const DeviceConfig& config, ExchangeTrace* trace = nullptr);

// Collects up to one acknowledgement and tests it against `expectedCommand`.
bool WaitAck(PortIo& port, uint8_t expectedCommand, TraceAttempt* record = nullptr);

// A write whose success is decided by reading back: every byte the converter returns and the
// decoder reads is compared with what was written. An acknowledgement is read back at once; so is
// an answer that was not an acknowledgement (a damaged one, perhaps), before the frame is sent
// again, since the converter may have taken it. A read-back reply equal to the written frame
// settles it by itself. Silence after a frame is followed by the next attempt without reading;
// after the last, one read request settles whether the converter took the frame unanswered.
struct VerifiedWrite {
    enum class Outcome {
        kVerified,         // the converter holds exactly what was written
        kNotAcknowledged,  // no acknowledgement, and no read-back showed the values taken: the
                           // converter may still have taken them
        kReadBackFailed,   // acknowledged, but the read-back failed
        kDiffers,          // acknowledged, and the converter holds other values (see differences)
    };
    Outcome outcome = Outcome::kNotAcknowledged;
    bool deviceRemoved = false;
    ExchangeTrace write;
    ExchangeTrace readBack;
    std::vector<FrameFieldDifference> differences;
    ConfigFrame held{};  // what the read-back returned (kVerified, kDiffers)

    bool verified() const { return outcome == Outcome::kVerified; }
    // The write went unanswered, not a byte came back.
    bool heardNothing() const {
        return outcome == Outcome::kNotAcknowledged && write.heardNothing();
    }
    // The trace of the exchange that decided the outcome.
    const ExchangeTrace& lastTrace() const {
        return outcome == Outcome::kNotAcknowledged || readBack.attempts.empty() ? write : readBack;
    }
};

VerifiedWrite WriteAndVerify(PortIo& port, const SerialSettings& serial, const CanSettings& can,
                             const TranSettings& tran);
VerifiedWrite WriteAndVerify(PortIo& port, const DeviceConfig& config);

}  // namespace linkmate
