// The two calls the configuration exchange needs from a port. The serial port, the tests' scripted
// ports and any other transport provide them.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

namespace linkmate {

class PortIo {
public:
    virtual ~PortIo() = default;

    // Returns at once with what has arrived (at most `count` bytes), otherwise waits for the first
    // byte up to the read time-out; 0 when nothing came. A `timeoutMs` of 0 keeps the port's
    // current read time-out, any other value replaces it for this and later calls.
    virtual uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs) = 0;

    // Sends `count` bytes; the outcome is not reported. `timeoutMs` as for Read, for writes.
    virtual void Write(const void* buffer, uint32_t count, uint32_t timeoutMs) = 0;

    // True once the device has gone away under the port (unplugged, its driver removed): every
    // later call fails at once, so the exchange stops instead of waiting out its attempts.
    virtual bool DeviceRemoved() const { return false; }
    // How that is said to the operator (a port on the network loses its connection instead).
    virtual std::string RemovalText() const { return "the device was removed"; }

    // The clock the exchange measures its overall deadlines by; a scripted port may script it.
    virtual std::chrono::steady_clock::time_point Now() const {
        return std::chrono::steady_clock::now();
    }
};

}  // namespace linkmate
