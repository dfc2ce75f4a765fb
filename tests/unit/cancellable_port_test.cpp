// Stopping an exchange: waits come in short slices over a scripted clock, a cancel request ends
// the current read within one slice, and nothing is sent after it.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "protocol/cancellable_port.h"
#include "protocol/config_exchange.h"

namespace linkmate {
namespace {

// Silent until `answerAtMs`, then one byte; every read call spends its whole time-out on the
// scripted clock. `onRead` runs inside each call, as another thread's cancel would land.
class SilentPort : public PortIo {
public:
    uint32_t Read(void* buffer, uint32_t, uint32_t timeoutMs) override {
        slices.push_back(timeoutMs);
        if (onRead) onRead();
        if (m_nowMs + timeoutMs > answerAtMs && m_nowMs <= answerAtMs) {
            m_nowMs = answerAtMs;
            *static_cast<uint8_t*>(buffer) = 0x42;
            return 1;
        }
        m_nowMs += timeoutMs;
        return 0;
    }
    void Write(const void*, uint32_t, uint32_t) override { ++writes; }
    bool DeviceRemoved() const override { return removed; }
    std::chrono::steady_clock::time_point Now() const override {
        return std::chrono::steady_clock::time_point(std::chrono::milliseconds(m_nowMs));
    }
    uint64_t nowMs() const { return m_nowMs; }

    uint64_t answerAtMs = ~0ull;
    std::vector<uint32_t> slices;
    std::function<void()> onRead;
    int writes = 0;
    bool removed = false;

private:
    uint64_t m_nowMs = 0;
};

TEST(CancellablePort, AWaitIsSlicedButKeepsItsLengthAndItsAnswer) {
    SilentPort inner;
    ExchangeControl control;
    CancellablePortIo port(inner, 1000, control);
    uint8_t byte = 0;
    EXPECT_EQ(port.Read(&byte, 1, 0), 0u);  // 0 keeps the port's 1000 ms
    EXPECT_EQ(inner.nowMs(), 1000u);
    for (uint32_t slice : inner.slices) EXPECT_TRUE(slice >= 1 && slice <= 20) << slice;

    EXPECT_EQ(port.Read(&byte, 1, 35), 0u);
    EXPECT_EQ(inner.nowMs(), 1035u);

    inner.answerAtMs = 1300;
    EXPECT_EQ(port.Read(&byte, 1, 500), 1u);
    EXPECT_EQ(byte, 0x42);
    EXPECT_EQ(inner.nowMs(), 1300u);
}

TEST(CancellablePort, CancelEndsTheReadWithinASliceAndSendsNothingMore) {
    SilentPort inner;
    ExchangeControl control;
    CancellablePortIo port(inner, 1000, control);
    uint64_t cancelAtMs = 0;
    inner.onRead = [&] {
        if (inner.nowMs() < 230 || control.cancelled) return;
        cancelAtMs = inner.nowMs();
        control.cancelled = true;
    };
    DeviceConfig config;
    EXPECT_FALSE(ReadConfig(port, config));
    // The first request went out; the cancel came during its wait and ended it within a slice.
    EXPECT_EQ(inner.writes, 1);
    EXPECT_EQ(control.sends, 1);
    EXPECT_GE(cancelAtMs, 230u);
    EXPECT_LE(inner.nowMs(), cancelAtMs + 20u);
    EXPECT_FALSE(WriteConfig(port, config));
    EXPECT_EQ(inner.writes, 1);
}

TEST(CancellablePort, AVanishedDeviceEndsTheWaitAtItsFirstSlice) {
    SilentPort inner;
    inner.removed = true;
    ExchangeControl control;
    CancellablePortIo io(inner, 1000, control);
    uint8_t byte = 0;
    EXPECT_EQ(io.Read(&byte, 1, 1000), 0u);
    EXPECT_EQ(inner.slices.size(), 1u);
    EXPECT_TRUE(io.DeviceRemoved());
}

}  // namespace
}  // namespace linkmate
