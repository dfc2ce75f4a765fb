// The read and write transactions against a converter whose every answer, split and time-out
// comes from the fuzz input. Properties: no crash and no write past a buffer (a read never asks
// for more than the room left), never more requests than the failed attempts and the compared
// replies allow, and success only when a frame with a correct check byte (a read), the exact
// acknowledgement (a write) or the written frame read back (a verified write) was received.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "protocol/config_exchange.h"
#include "protocol/frame_codec.h"

namespace {

using namespace linkmate;

// Each read takes one control byte: 0 means a time-out, otherwise up to that many bytes of the
// input follow as the answer (at most what the read asked for). An exhausted input times out.
class FuzzPort : public PortIo {
public:
    FuzzPort(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    uint32_t Read(void* buffer, uint32_t count, uint32_t) override {
        if (m_pos >= m_size) return 0;
        const uint8_t control = m_data[m_pos++];
        if (control == 0) return 0;
        const size_t n = std::min<size_t>({control, count, m_size - m_pos});
        // Writing all `count` bytes first shows a read that asks for more than its buffer holds.
        std::memset(buffer, 0xA5, count);
        std::memcpy(buffer, m_data + m_pos, n);
        received.insert(received.end(), m_data + m_pos, m_data + m_pos + n);
        m_pos += n;
        return static_cast<uint32_t>(n);
    }
    void Write(const void*, uint32_t, uint32_t) override { ++writes; }

    std::vector<uint8_t> received;
    int writes = 0;

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A reply frame with a correct check byte somewhere in what was received, decoding to `config`.
bool ReceivedFrameOf(const std::vector<uint8_t>& bytes, const DeviceConfig& config) {
    for (size_t p = 0; p + kConfigFrameSize <= bytes.size(); ++p) {
        if (bytes[p] != kHeader0 || bytes[p + 1] != kHeader1 || bytes[p + 2] != kCmdReadConfig ||
            bytes[p + 3] != kConfigDataLength) {
            continue;
        }
        ConfigFrame frame;
        std::copy_n(bytes.begin() + static_cast<long>(p), kConfigFrameSize, frame.begin());
        DeviceConfig decoded;
        if (DecodeConfigFrame(frame, decoded) && decoded == config) return true;
    }
    return false;
}

// A reply with a correct check byte carrying every byte of `written` that a converter keeps (the
// two fixed line bytes 5 and 6 aside, which no one compares).
bool ReceivedWrittenFrame(const std::vector<uint8_t>& bytes, const ConfigFrame& written) {
    for (size_t p = 0; p + kConfigFrameSize <= bytes.size(); ++p) {
        const uint8_t* f = bytes.data() + p;
        bool same = f[2] == kCmdReadConfig && XorCheck(f, kConfigFrameSize - 1) == f[32];
        for (size_t i = 0; same && i + 1 < kConfigFrameSize; ++i) {
            same = i == 2 || i == 5 || i == 6 || f[i] == written[i];
        }
        if (same) return true;
    }
    return false;
}

bool ReceivedAck(const std::vector<uint8_t>& bytes) {
    const auto ack = ConfigAck(kCmdWriteConfig);
    return std::search(bytes.begin(), bytes.end(), ack.begin(), ack.end()) != bytes.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        FuzzPort port(data, size);
        DeviceConfig config;
        const DeviceConfig before = config;
        const bool ok = ReadConfig(port, config);
        // The read ends at its last allowed failure or its last compared reply, whichever is first.
        if (port.writes > kExchangeAttempts + kReadRepliesCompared - 1) __builtin_trap();
        if (ok && !ReceivedFrameOf(port.received, config)) __builtin_trap();
        if (!ok && !(config == before)) __builtin_trap();
    }
    {
        FuzzPort port(data, size);
        const bool ok = WriteConfig(port, DeviceConfig{});
        if (port.writes > kExchangeAttempts) __builtin_trap();
        if (ok && !ReceivedAck(port.received)) __builtin_trap();
    }
    {
        // A verified write needs a reply carrying the very frame written, whatever acknowledgement
        // came or did not: four frames, each read back at most once, one last request.
        FuzzPort port(data, size);
        const VerifiedWrite v = WriteAndVerify(port, DeviceConfig{});
        if (port.writes >
            kExchangeAttempts * (1 + kExchangeAttempts + kReadRepliesCompared - 1) + 3) {
            __builtin_trap();
        }
        if (v.verified() &&
            !ReceivedWrittenFrame(port.received, EncodeConfigFrame(DeviceConfig{}))) {
            __builtin_trap();
        }
    }
    return 0;
}
