#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#include "app/display.h"

namespace linkmate {

bool HaveDisplay() {
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && value[0] != '\0') return true;
    }
    return false;
}

void TellOperator(const std::string& text, bool error) {
    std::fputs(text.c_str(), error ? stderr : stdout);
}

}  // namespace linkmate
