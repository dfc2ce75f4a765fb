#include "protocol/exchange_trace.h"

#include <algorithm>
#include <cstdio>

#include "protocol/hex_text.h"
#include "protocol/text.h"

namespace linkmate {

std::string AttemptEndText(AttemptEnd end) {
    switch (end) {
        case AttemptEnd::kOk: return text::translate("ExchangeTrace", "answered");
        case AttemptEnd::kNoAnswer:
            return text::translate("ExchangeTrace", "no answer within the time-out");
        case AttemptEnd::kWrongHeader: return text::translate("ExchangeTrace", "wrong header");
        case AttemptEnd::kWrongCommandOrLength:
            return text::translate("ExchangeTrace", "wrong command or length");
        case AttemptEnd::kShortFrame: return text::translate("ExchangeTrace", "short frame");
        case AttemptEnd::kWrongCheck: return text::translate("ExchangeTrace", "wrong check byte");
        case AttemptEnd::kWrongAck:
            return text::translate("ExchangeTrace", "wrong acknowledgement");
        case AttemptEnd::kImplausible:
            return text::translate("ExchangeTrace",
                                   "a value outside its list: not a converter's reply");
        case AttemptEnd::kEchoOnly:
            return text::translate("ExchangeTrace", "only the echo of our own bytes");
        case AttemptEnd::kDiffers:
            return text::translate("ExchangeTrace", "differs from the earlier reply");
        case AttemptEnd::kDeviceRemoved:
            return text::translate("ExchangeTrace", "the device was removed");
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

bool ExchangeTrace::heardNothing() const {
    return !attempts.empty() &&
           std::all_of(attempts.begin(), attempts.end(), [](const TraceAttempt& a) {
               return a.end == AttemptEnd::kNoAnswer && a.received.empty();
           });
}

std::string ExchangeTrace::Diagnosis() const {
    const auto any = [this](AttemptEnd end) {
        return std::any_of(attempts.begin(), attempts.end(),
                           [end](const TraceAttempt& a) { return a.end == end; });
    };
    // An attempt that heard nothing, followed by one that heard something: answers come late.
    bool late = false;
    for (size_t i = 0; i + 1 < attempts.size(); ++i) {
        if (attempts[i].end == AttemptEnd::kNoAnswer && !attempts[i + 1].received.empty())
            late = true;
    }
    if (deviceRemoved()) {
        return text::translate("ExchangeTrace",
                               "The device was removed: the adapter was unplugged or its driver "
                               "went away. Plug it in again and connect.");
    }
    if (succeeded()) {
        return late
                   ? text::translate("ExchangeTrace",
                                     "The converter answered only after a time-out: it is busy, or "
                                     "the line is slow.")
                   : std::string();
    }
    if (attempts.empty() || heardNothing()) {
        return text::translate("ExchangeTrace",
                               "No answer at all: check the wiring, the converter's power and that "
                               "this is the right port.");
    }
    if (std::all_of(attempts.begin(), attempts.end(), [](const TraceAttempt& a) {
            return a.end == AttemptEnd::kNoAnswer || a.end == AttemptEnd::kEchoOnly;
        })) {
        return text::translate("ExchangeTrace",
                               "Only the echo of our own bytes came back: the RS-485 adapter "
                               "returns what it sends, but the converter does not answer. Check "
                               "the wires A and B, the converter's power and the model.");
    }
    if (std::any_of(attempts.begin(), attempts.end(),
                    [](const TraceAttempt& a) { return a.stillArriving; })) {
        return text::translate(
            "ExchangeTrace",
            "The converter answers slowly: its reply was still arriving, byte by "
            "byte, when the time for it ran out. Nothing was lost on the line.");
    }
    if (any(AttemptEnd::kDiffers)) {
        return text::translate(
            "ExchangeTrace", "The replies differ: the line is noisy. Nothing was taken from them.");
    }
    if (any(AttemptEnd::kImplausible) && !any(AttemptEnd::kWrongCheck)) {
        return text::translate("ExchangeTrace",
                               "The converter holds a value outside its list (its check byte is "
                               "right): write a good configuration (write a file, or default) to "
                               "put it right.");
    }
    if (any(AttemptEnd::kWrongCheck) || any(AttemptEnd::kImplausible)) {
        return text::translate("ExchangeTrace",
                               "A reply arrived with a wrong check byte: noise on the line.");
    }
    if (late) {
        return text::translate(
            "ExchangeTrace",
            "Answers arrive after the time-out: the converter is busy, or the line is slow.");
    }
    if (any(AttemptEnd::kShortFrame)) {
        return text::translate("ExchangeTrace",
                               "The reply stopped short: bytes were lost on the line.");
    }
    if (any(AttemptEnd::kWrongCommandOrLength)) {
        return text::translate(
            "ExchangeTrace",
            "A frame arrived with the wrong command or length: another device, or "
            "a converter in another mode, is answering.");
    }
    return text::translate("ExchangeTrace",
                           "Bytes arrived but never formed a reply: check the converter model (the "
                           "bit rate: Ternix-A 57600, Ternix-B 19200 bit/s), or the RS-485 wires A "
                           "and B may be swapped.");
}

std::string ExchangeTrace::Format() const {
    std::string out;
    for (size_t i = 0; i < attempts.size(); ++i) {
        const TraceAttempt& a = attempts[i];
        const std::string name = exchange == "read" ? text::translate("ExchangeTrace", "read")
                                                    : text::translate("ExchangeTrace", "write");
        char at[32];
        std::snprintf(at, sizeof at, "[+%.1f ms] ", a.atMs);
        out += at +
               (a.bitRate != 0
                    ? text::Arg(text::translate("ExchangeTrace", "asked at %1 bit/s: sent %2"),
                                {std::to_string(a.bitRate), HexBytes(a.sent)})
                    : text::Arg(text::translate("ExchangeTrace", "%1, attempt %2: sent %3"),
                                {name, std::to_string(i + 1), HexBytes(a.sent)})) +
               "\n";
        for (const TraceChunk& c : a.received) {
            char time[32];
            std::snprintf(time, sizeof time, "  +%.1f ms  ", c.ms);
            out += time + HexBytes(c.bytes) + "\n";
        }
        if (a.echoBytes != 0) {
            out += "  " +
                   text::Arg(text::translate("ExchangeTrace",
                                             "the first %1 bytes: echo of our own bytes, skipped"),
                             {std::to_string(a.echoBytes)}) +
                   "\n";
        }
        out += "  " +
               text::Arg(text::translate("ExchangeTrace", "ended: %1"), {AttemptEndText(a.end)}) +
               "\n";
    }
    return out;
}

}  // namespace linkmate
