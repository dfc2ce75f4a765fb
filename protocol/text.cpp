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

}  // namespace linkmate::text
