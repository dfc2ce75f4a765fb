#include "protocol/text.h"

namespace linkmate::text {
namespace {

Translator g_translator = nullptr;

}  // namespace

void SetTranslator(Translator translator) { g_translator = translator; }

std::string translate(const char* context, const char* source) {
    return g_translator != nullptr ? g_translator(context, source) : std::string(source);
}

std::string Arg(std::string pattern, std::initializer_list<std::string> values) {
    int index = 1;
    for (const std::string& value : values) {
        const std::string marker = "%" + std::to_string(index++);
        for (size_t at = pattern.find(marker); at != std::string::npos;
             at = pattern.find(marker, at + value.size())) {
            pattern.replace(at, marker.size(), value);
        }
    }
    return pattern;
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
    for (size_t at = message.find(value); at != std::string::npos; at = message.find(value, at + kept.size())) {
        message.replace(at, value.size(), kept);
    }
    return message;
}

}  // namespace linkmate::text
