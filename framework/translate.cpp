#include "framework/translate.h"

#include "protocol/text.h"

namespace linkmate::fw {

std::string FormatText(std::string text, std::initializer_list<std::string> values) {
    return text::Arg(text, values);
}

}  // namespace linkmate::fw
