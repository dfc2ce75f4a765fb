// Finding which COM port a converter is on, and which model it is: each port is asked once at
// each model's bit rate with the read request only (nothing that could change a converter), with
// a short time-out, all ports at once. A port another program holds is skipped, never disturbed.
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "protocol/device_config.h"

namespace linkmate {

// The longest one port waits for an answer at one bit rate (the answer itself takes 6 ms at
// 57600 bit/s and 17 ms at 19200 bit/s).
inline constexpr std::chrono::milliseconds kProbeTimeout{500};

struct ProbeResult {
    int port = 0;             // the COM number
    std::string device;       // the device behind it
    bool opened = false;      // false: absent, or held by another program (`problem` says)
    bool held = false;        // another program has it open (`holder` names it when known)
    std::string problem;
    std::string holder;       // "minicom (process 1234)"
    bool absent = false;      // no device behind the COM number
    std::string reason;       // the system's reason the port did not open, without its name
    std::optional<int32_t> model;  // DeviceType of the rate that answered
    DeviceConfig config;           // what it answered, when it did
};

// Asks COM<port> once per model's rate, Ternix-A first; stops at the first answer.
ProbeResult ProbePort(int port);

// Asks every port of `ports` at once; the results in the order of `ports`.
std::vector<ProbeResult> FindConverters(const std::vector<int>& ports);

// One read request over an open port and a collection bounded by kProbeTimeout; true with
// `config` filled when a well-formed frame came back.
class PortIo;
bool ProbeOnce(PortIo& port, DeviceConfig& config);

// An exchange that heard nothing at all may have talked at the wrong model's bit rate: asks once
// at each model's rate other than the open `port`'s own (through `io`, which talks to `port`, so
// that a cancel can cut the wait short), then puts the port's rate back. The model that answered.
class CSerialComm;
std::optional<int32_t> ProbeOtherModels(CSerialComm& port, PortIo& io);

// "A converter answered at 19200 bit/s: choose Ternix-B.", for the model that answered.
std::string ModelHint(int32_t model);

// "serial 9600 bit/s, CAN 250 K, Transparent": what a found converter holds, in one line.
std::string ConfigSummary(const DeviceConfig& config);

}  // namespace linkmate
