#include "protocol/exchange_trace.h"

#include <algorithm>
#include <cstdio>

#include "protocol/hex_text.h"

namespace linkmate {

const char* AttemptEndText(AttemptEnd end) {
    switch (end) {
        case AttemptEnd::kOk: return "answered";
        case AttemptEnd::kNoAnswer: return "no answer within the time-out";
        case AttemptEnd::kWrongHeader: return "wrong header";
        case AttemptEnd::kWrongCommandOrLength: return "wrong command or length";
        case AttemptEnd::kShortFrame: return "short frame";
        case AttemptEnd::kWrongCheck: return "wrong check byte";
        case AttemptEnd::kWrongAck: return "wrong acknowledgement";
    }
    return "?";
}

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    std::string out;
    for (uint8_t b : bytes) {
        if (!out.empty()) out.push_back(' ');
        out += FormatHex8(b);
    }
    return out;
}

std::string ExchangeTrace::Diagnosis() const {
    const auto any = [this](AttemptEnd end) {
        return std::any_of(attempts.begin(), attempts.end(),
                           [end](const TraceAttempt& a) { return a.end == end; });
    };
    // An attempt that heard nothing, followed by one that heard something: answers come late.
    bool late = false;
    for (size_t i = 0; i + 1 < attempts.size(); ++i) {
        if (attempts[i].end == AttemptEnd::kNoAnswer && !attempts[i + 1].received.empty()) late = true;
    }
    if (succeeded()) {
        return late ? "The converter answered only after a time-out: it is busy, or the line is slow." : "";
    }
    if (attempts.empty() || std::all_of(attempts.begin(), attempts.end(), [](const TraceAttempt& a) {
            return a.end == AttemptEnd::kNoAnswer;
        })) {
        return "No answer at all: check the wiring, the converter's power and that this is the right port.";
    }
    if (any(AttemptEnd::kWrongCheck)) return "A reply arrived with a wrong check byte: noise on the line.";
    if (late) return "Answers arrive after the time-out: the converter is busy, or the line is slow.";
    if (any(AttemptEnd::kShortFrame)) return "The reply stopped short: bytes were lost on the line.";
    if (any(AttemptEnd::kWrongCommandOrLength)) {
        return "A frame arrived with the wrong command or length: another device, or a converter in "
               "another mode, is answering.";
    }
    return "Bytes arrived but never formed a reply: check the converter model (the bit rate: Ternix-A "
           "57600, Ternix-B 19200 bit/s), or the RS-485 wires A and B may be swapped.";
}

std::string ExchangeTrace::Format() const {
    std::string out;
    for (size_t i = 0; i < attempts.size(); ++i) {
        const TraceAttempt& a = attempts[i];
        out += exchange + ", attempt " + std::to_string(i + 1) + ": sent " + HexBytes(a.sent) + "\n";
        for (const TraceChunk& c : a.received) {
            char time[32];
            std::snprintf(time, sizeof time, "  +%.1f ms  ", c.ms);
            out += time + HexBytes(c.bytes) + "\n";
        }
        out += std::string("  ended: ") + AttemptEndText(a.end) + "\n";
    }
    return out;
}

}  // namespace linkmate
