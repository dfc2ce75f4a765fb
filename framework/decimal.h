#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace linkmate::fw {

// A decimal integer as the platform's data exchange reads it: leading blanks, an optional sign,
// digits; anything after the number is ignored. Nothing when no digit follows. Values beyond
// the 32-bit range are clamped to it.
std::optional<int32_t> ParseDecimal(std::string_view text);

// Where an up-down control's arrow (or an arrow key in its edit) takes it: from the number the
// edit shows, typed or not, else from `position`, its last one; `delta` steps on, kept between
// `lower` and `upper` (in either order).
int32_t StepUpDown(std::string_view buddyText, int32_t position, int delta, int32_t lower,
                   int32_t upper);

}  // namespace linkmate::fw
