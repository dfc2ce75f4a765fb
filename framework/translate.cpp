#include "framework/translate.h"

#include <vector>

namespace linkmate::fw {

std::string FormatText(std::string text, std::initializer_list<std::string> values) {
    const std::vector<std::string> args(values);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const size_t n = static_cast<size_t>(next - '1');
        if (text[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
            out += args[n];
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace linkmate::fw
