#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace linkmate::fw {

// A decimal integer as the platform's data exchange reads it: leading blanks, an optional sign,
// digits; anything after the number is ignored. Nothing when no digit follows. Values beyond
// the 32-bit range are clamped to it.
std::optional<int32_t> ParseDecimal(std::string_view text);

}  // namespace linkmate::fw
