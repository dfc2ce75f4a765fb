#include "protocol/cancellable_port.h"

#include <algorithm>

namespace linkmate {

uint32_t CancellablePortIo::Read(void* buffer, uint32_t count, uint32_t timeoutMs) {
    if (timeoutMs != 0) m_readTimeoutMs = timeoutMs;
    const auto deadline = Now() + std::chrono::milliseconds(m_readTimeoutMs);
    for (;;) {
        if (m_control.cancelled) return 0;
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Now());
        // At least 1 ms: 0 would mean "keep the port's time-out" to the inner port.
        const auto slice = std::clamp(left, std::chrono::milliseconds(1), kSlice);
        const uint32_t got = m_inner.Read(buffer, count, static_cast<uint32_t>(slice.count()));
        if (got > 0) return got;
        // A vanished device answers every slice at once: no point waiting out the time-out.
        if (m_inner.DeviceRemoved() || Now() >= deadline) return 0;
    }
}

void CancellablePortIo::Write(const void* buffer, uint32_t count, uint32_t timeoutMs) {
    if (m_control.cancelled) return;
    m_inner.Write(buffer, count, timeoutMs);
    ++m_control.sends;
}

}  // namespace linkmate
