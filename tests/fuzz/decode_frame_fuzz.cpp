// Any 33 bytes (and any text for the hex parser) must decode without a crash or a read out of
// bounds; whatever decodes must encode again to a frame with a valid check byte.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "protocol/frame_codec.h"
#include "protocol/hex_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size >= linkmate::kConfigFrameSize) {
        linkmate::ConfigFrame frame;
        std::memcpy(frame.data(), data, frame.size());
        linkmate::DeviceConfig config;
        if (linkmate::DecodeConfigFrame(frame, config)) {
            const linkmate::ConfigFrame again = linkmate::EncodeConfigFrame(config);
            if (linkmate::XorCheck(again.data(), 32) != again[32]) __builtin_trap();
        }
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int groups = 1; groups <= 4; ++groups) {
        const uint32_t value = linkmate::ParseHexGroups(text, groups);
        if (groups < 4 && (value >> (8 * groups)) != 0) __builtin_trap();
    }
    linkmate::IsConfigAck(data, size, size > 2 ? data[2] : 1);
    return 0;
}
