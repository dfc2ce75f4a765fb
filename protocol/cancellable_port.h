// A port whose exchange the operator can stop: waits are cut into short slices so that a cancel
// request ends the current read within one slice, and once cancelled nothing more is sent. It
// also counts what was sent, which tells a watcher how far the exchange has got.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>

#include "protocol/port_io.h"

namespace linkmate {

// Shared between the thread that runs the exchange and the one that watches or stops it.
struct ExchangeControl {
    std::atomic<bool> cancelled{false};
    std::atomic<int> sends{0};          // messages written so far (requests and write frames)
    std::atomic<bool> finished{false};  // the exchange no longer uses the port
};

class CancellablePortIo final : public PortIo {
public:
    // The longest a cancel request waits for the current read to notice it.
    static constexpr std::chrono::milliseconds kSlice{20};

    // `readTimeoutMs` is `inner`'s current read time-out, which a Read with 0 keeps.
    CancellablePortIo(PortIo& inner, uint32_t readTimeoutMs, ExchangeControl& control)
        : m_inner(inner), m_readTimeoutMs(readTimeoutMs), m_control(control) {}

    // As the inner port's Read, but 0 at once when cancelled.
    uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs) override;
    // Sends nothing once cancelled.
    void Write(const void* buffer, uint32_t count, uint32_t timeoutMs) override;
    std::chrono::steady_clock::time_point Now() const override { return m_inner.Now(); }
    bool DeviceRemoved() const override { return m_inner.DeviceRemoved(); }
    std::string RemovalText() const override { return m_inner.RemovalText(); }

private:
    PortIo& m_inner;
    uint32_t m_readTimeoutMs;
    ExchangeControl& m_control;
};

}  // namespace linkmate
