#include "protocol/text.h"

namespace linkmate::text {
namespace {

Translator g_translator = nullptr;

}  // namespace

void SetTranslator(Translator translator) { g_translator = translator; }

std::string translate(const char* context, const char* source) {
    return g_translator != nullptr ? g_translator(context, source) : std::string(source);
}

std::string Arg(std::string_view pattern, std::initializer_list<std::string> values) {
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    std::string out;
    out.reserve(pattern.size());
    size_t i = 0;
    while (i < pattern.size()) {
        const size_t mark = pattern.find('%', i);
        out.append(
            pattern.substr(i, mark == std::string_view::npos ? std::string_view::npos : mark - i));
        if (mark == std::string_view::npos) break;
        i = mark + 1;
        if (i < pattern.size() && pattern[i] == '%') {
            out += '%';
            ++i;
            continue;
        }
        size_t number = 0;
        size_t digits = 0;
        // A marker's number never starts with 0: "%0" and "%05" are plain text.
        while (digits < 2 && i + digits < pattern.size() && isDigit(pattern[i + digits]) &&
               (digits > 0 || pattern[i] != '0')) {
            number = number * 10 + static_cast<size_t>(pattern[i + digits] - '0');
            ++digits;
        }
        if (number >= 1 && number <= values.size()) {
            out += values.begin()[number - 1];
        } else {
            out.append(pattern.substr(mark, digits + 1));
        }
        i += digits;
    }
    return out;
}

std::string Unbroken(std::string_view value) {
    static constexpr const char* kNoBreakSpace = "\u00A0";
    static constexpr const char* kNoBreakHyphen = "\u2011";
    std::string out;
    for (const char c : value) {
        if (c == ' ') {
            out += kNoBreakSpace;
        } else if (c == '-') {
            out += kNoBreakHyphen;
        } else {
            out += c;
        }
    }
    return out;
}

std::string KeepUnbroken(std::string message, std::string_view value) {
    if (value.empty()) return message;
    const std::string kept = Unbroken(value);
    for (size_t at = message.find(value); at != std::string::npos;
         at = message.find(value, at + kept.size())) {
        message.replace(at, value.size(), kept);
    }
    return message;
}

}  // namespace linkmate::text
