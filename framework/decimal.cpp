#include "framework/decimal.h"

#include <algorithm>
#include <limits>

namespace linkmate::fw {

std::optional<int32_t> ParseDecimal(std::string_view text) {
    size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r'))) {
        ++pos;
    }
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos >= text.size() || text[pos] < '0' || text[pos] > '9') return std::nullopt;
    constexpr long long kLimit = static_cast<long long>(std::numeric_limits<int32_t>::max()) + 1;
    long long value = 0;
    for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
        value = std::min(kLimit, value * 10 + (text[pos] - '0'));
    }
    if (negative) value = -value;
    return static_cast<int32_t>(std::clamp<long long>(value, std::numeric_limits<int32_t>::min(),
                                                      std::numeric_limits<int32_t>::max()));
}

int32_t StepUpDown(std::string_view buddyText, int32_t position, int delta, int32_t lower,
                   int32_t upper) {
    const long long next =
        static_cast<long long>(ParseDecimal(buddyText).value_or(position)) + delta;
    return static_cast<int32_t>(
        std::clamp<long long>(next, std::min(lower, upper), std::max(lower, upper)));
}

}  // namespace linkmate::fw
