// Finding which COM port a converter is on, and which model it is: each port is asked at each
// model's bit rate with the read request only (nothing that could change a converter), all ports
// at once. A port another program holds is skipped, never disturbed.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/device_config.h"
#include "protocol/exchange_trace.h"

namespace linkmate {

// A first ask at a rate waits for what the request, its echo and the reply need on the line at
// that rate (8 ms at 57600 bit/s, 23 ms at 19200 bit/s) plus this margin: the converter's
// turnaround (a Read's trace shows it in the confirming request's reply, which has nothing queued
// before it: well under a millisecond on the virtual converter), a USB adapter's latency timer
// (16 ms by default on FTDI chips) and a busy PC's scheduling.
inline constexpr std::chrono::milliseconds kProbeAnswerMargin{60};

// How long the first ask at `bitRate` waits, in all.
std::chrono::milliseconds ProbeWait(uint32_t bitRate);

struct ProbeResult {
    int port = 0;         // the COM number
    std::string device;   // the device behind it
    bool opened = false;  // false: absent, or held by another program (`problem` says)
    bool held = false;    // another program has it open (`holder` names it when known)
    std::string problem;
    std::string holder;            // "minicom (process 1234)"
    bool absent = false;           // no device behind the COM number
    std::string reason;            // the system's reason the port did not open, without its name
    std::optional<int32_t> model;  // DeviceType of the rate that answered
    // A converter answered on a raw TCP port, at the server's line settings: which model it is
    // cannot be told (`model` stays empty).
    bool serverLine = false;
    DeviceConfig config;  // what it answered, when it did

    bool answered() const { return model.has_value() || serverLine; }
};

// How long an ask waits before a port that gave nothing is called silent at that rate.
enum class ProbeWaits {
    kLineTime,     // ProbeWait(bitRate)
    kFullTimeout,  // the exchange's full read time-out
};

// Asks COM<port> at each model's rate, Ternix-A first; stops at the first answer. A raw TCP port
// is asked once.
ProbeResult ProbePort(int port, ProbeWaits waits = ProbeWaits::kLineTime);

// Asks every port of `ports` at once; the results in the order of `ports`. A converter slower to
// answer than the short wait looks silent: when no port answered at all, the ports that opened
// are asked once more, with the full read time-out.
std::vector<ProbeResult> FindConverters(const std::vector<int>& ports);

// Asks a converter on an open port at `bitRate` for its configuration: true with `config` filled
// when a well-formed frame came back. The first ask waits as `waits` says; when anything but the
// echo of the request came back without a frame, the port is asked again with the exchange's
// full read time-out, so that a converter that answers slowly or in pieces is not called silent.
// A port that stays silent through the first wait is.
class PortIo;
// Each ask goes into `trace` when there is one, bytes and times as an exchange's attempts.
bool ProbeOnce(PortIo& port, uint32_t bitRate, DeviceConfig& config,
               ProbeWaits waits = ProbeWaits::kLineTime, ExchangeTrace* trace = nullptr);

// An exchange that heard nothing at all may have talked at the wrong model's bit rate: asks once
// at each model's rate other than the open `port`'s own (through `io`, which talks to `port`, so
// that a cancel can cut the wait short), then puts the port's rate back. The model that answered.
class CSerialComm;
std::optional<int32_t> ProbeOtherModels(CSerialComm& port, PortIo& io,
                                        ExchangeTrace* trace = nullptr);

// "A converter answered at 19200 bit/s: choose Ternix-B.", for the model that answered.
std::string ModelHint(int32_t model);

// "serial 9600 bit/s, CAN 250 K, Transparent": what a found converter holds, in one line.
std::string ConfigSummary(const DeviceConfig& config);

}  // namespace linkmate
