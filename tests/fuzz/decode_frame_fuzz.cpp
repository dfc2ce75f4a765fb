// Any 33 bytes (and any text for the hex parser) must decode without a crash or a read out of
// bounds, and whatever decodes must survive encode and decode again unchanged: the settings the
// tool shows after a Read are exactly what a Write of them sends.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "protocol/frame_codec.h"
#include "protocol/hex_fields.h"
#include "protocol/hex_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace linkmate;
    if (size >= kConfigFrameSize) {
        ConfigFrame frame;
        std::memcpy(frame.data(), data, frame.size());
        DeviceConfig config;
        if (DecodeConfigFrame(frame, config)) {
            const ConfigFrame again = EncodeConfigFrame(config);
            DeviceConfig back;
            if (!DecodeConfigFrame(again, back) || !(back == config)) __builtin_trap();
            // Decoded texts are well-formed and held as they read.
            if (FirstMalformedField(config.can).has_value()) __builtin_trap();
            if (!ValuesHeldDifferently(config).empty()) __builtin_trap();
        }
    }
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (int groups = 1; groups <= 4; ++groups) {
        const uint32_t value = ParseHexGroups(text, groups);
        if (groups < 4 && (value >> (8 * groups)) != 0) __builtin_trap();
        // Text that reads completely formats back to the same number.
        if (IsHexGroupsText(text, groups) &&
            ParseHexGroups(FormatHex32(value).substr(12 - 3 * groups), groups) != value) {
            __builtin_trap();
        }
    }
    IsConfigAck(data, size, size > 2 ? data[2] : 1);
    return 0;
}
