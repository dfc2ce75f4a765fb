// The profile file is outside input: any bytes must parse without a crash, and what is written
// back from them must parse cleanly to the same keys and values.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "profile/reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const linkmate::RegDocument doc = linkmate::RegDocument::Parse(text);
    const std::string written = doc.Serialize();
    const linkmate::RegDocument again = linkmate::RegDocument::Parse(written);
    if (again.damaged() || again.Serialize() != written) __builtin_trap();
    return 0;
}
