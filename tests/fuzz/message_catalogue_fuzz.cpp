// The C library's message catalogue is read from a file: any bytes must parse without a crash or a
// read outside them, and a refusal leaves nothing behind.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "protocol/message_catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    linkmate::text::MessageCatalogue messages{{"left", "over"}};
    if (!linkmate::text::ParseMessageCatalogue(bytes, messages) && !messages.empty())
        __builtin_trap();
    return 0;
}
