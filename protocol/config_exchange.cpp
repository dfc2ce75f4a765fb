#include "protocol/config_exchange.h"

#include <algorithm>
#include <array>
#include <chrono>

#include "protocol/frame_codec.h"

namespace linkmate {
namespace {

// Reads into `buffer` until `complete` bytes are there, a read returns nothing, or the overall
// deadline has passed. Each read asks for at most `chunk` bytes and never for more than the room
// left in the buffer, and waits no longer than the time left.
template <size_t N>
size_t Collect(PortIo& port, std::array<uint8_t, N>& buffer, size_t complete, uint32_t chunk,
               uint32_t timeoutMs) {
    using namespace std::chrono;
    const auto lineTime = microseconds(complete * 10 * 1'000'000 / kSlowestConfigBitRate);
    const auto deadline = port.Now() + milliseconds(timeoutMs) + lineTime;
    size_t collected = 0;
    while (collected < complete) {
        const auto left = ceil<milliseconds>(deadline - port.Now()).count();
        if (left <= 0) break;
        const uint32_t wait = static_cast<uint32_t>(std::min<long long>(timeoutMs, left));
        const uint32_t room = static_cast<uint32_t>(N - collected);
        const uint32_t got = port.Read(buffer.data() + collected, std::min(chunk, room), wait);
        if (got == 0) break;
        collected += std::min<size_t>(got, room);
    }
    return collected;
}

bool IsReplyHeader(const std::array<uint8_t, kReplyBufferSize>& reply, size_t collected) {
    return collected >= 4 && reply[0] == kHeader0 && reply[1] == kHeader1 &&
           reply[2] == kCmdReadConfig && reply[3] == kConfigDataLength;
}

}  // namespace

bool ReadConfig(PortIo& port, SerialSettings& serial, CanSettings& can, TranSettings& tran) {
    std::array<uint8_t, kReplyBufferSize> reply{};
    size_t collected = 0;
    bool headerOk = false;
    for (int attempt = 0; attempt < kExchangeAttempts && !headerOk; ++attempt) {
        port.Write(ReadRequest.data(), static_cast<uint32_t>(ReadRequest.size()),
                   kRequestWriteTimeoutMs);
        collected = Collect(port, reply, kConfigFrameSize, kReplyReadChunk, kReplyReadTimeoutMs);
        headerOk = IsReplyHeader(reply, collected);
    }
    if (!headerOk || collected < kConfigFrameSize) return false;

    ConfigFrame frame;
    std::copy_n(reply.begin(), kConfigFrameSize, frame.begin());
    return DecodeConfigFrame(frame, serial, can, tran);
}

bool ReadConfig(PortIo& port, DeviceConfig& config) {
    return ReadConfig(port, config.serial, config.can, config.tran);
}

bool WriteConfig(PortIo& port, const SerialSettings& serial, const CanSettings& can,
                 const TranSettings& tran) {
    const ConfigFrame frame = EncodeConfigFrame(serial, can, tran);
    for (int attempt = 0; attempt < kExchangeAttempts; ++attempt) {
        port.Write(frame.data(), static_cast<uint32_t>(frame.size()), kFrameWriteTimeoutMs);
        if (WaitAck(port, kCmdWriteConfig)) return true;
    }
    return false;
}

bool WriteConfig(PortIo& port, const DeviceConfig& config) {
    return WriteConfig(port, config.serial, config.can, config.tran);
}

bool WaitAck(PortIo& port, uint8_t expectedCommand) {
    std::array<uint8_t, kAckBufferSize> ack{};
    const size_t collected = Collect(port, ack, kConfigAckSize, kAckReadChunk, kAckReadTimeoutMs);
    return IsConfigAck(ack.data(), collected, expectedCommand);
}

}  // namespace linkmate
