// What each attempt of a read or write sent and received, with times, and why it ended; and the
// one-line diagnosis an engineer can act on when the exchange failed.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace linkmate {

enum class AttemptEnd {
    kOk,
    kNoAnswer,              // nothing within the time-out
    kWrongHeader,           // bytes that do not begin with F7 F8
    kWrongCommandOrLength,  // F7 F8, but not the reply's command 03 and length 1C
    kShortFrame,            // a reply that stopped before its 33rd byte
    kWrongCheck,            // 33 bytes whose check byte does not match
    kWrongAck,              // bytes after a write that are not the acknowledgement
    kImplausible,           // a frame whose check byte holds but whose values no converter sends
    kEchoOnly,              // nothing but the echo of what was sent
    kDiffers,               // a good reply that differs from the earlier one(s)
    kDeviceRemoved,         // the device went away (unplugged, driver gone)
};

std::string AttemptEndText(AttemptEnd end);

struct TraceChunk {
    std::vector<uint8_t> bytes;
    double ms = 0;  // since the request was sent
};

struct TraceAttempt {
    std::vector<uint8_t> sent;
    std::vector<TraceChunk> received;
    AttemptEnd end = AttemptEnd::kNoAnswer;
    size_t echoBytes = 0;  // how many of the received bytes were our own, returned by the adapter
    // The collection's time ran out while the reply was still coming in, byte after byte.
    bool stillArriving = false;
    double atMs = 0;  // when it was sent, since the exchange's first attempt
    // Asked at another model's bit rate after the exchange heard nothing; 0: at the exchange's own.
    uint32_t bitRate = 0;
};

struct ExchangeTrace {
    std::string exchange;  // "read" or "write"
    std::vector<TraceAttempt> attempts;
    std::chrono::steady_clock::time_point start{};  // when the first attempt was sent

    bool succeeded() const { return !attempts.empty() && attempts.back().end == AttemptEnd::kOk; }
    bool deviceRemoved() const {
        return !attempts.empty() && attempts.back().end == AttemptEnd::kDeviceRemoved;
    }
    // Not a byte came back at any attempt, not even an echo.
    bool heardNothing() const;
    // Empty when the exchange went through at the first attempt.
    std::string Diagnosis() const;
    // One line per attempt and per received chunk.
    std::string Format() const;
};

// "F7 F8 03 01 AA A7"
std::string HexBytes(const std::vector<uint8_t>& bytes);

}  // namespace linkmate
