#include <stdlib.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include "tools/cli/line_platform.h"

namespace linkmate::cli {

std::string CanonicalDevice(const std::string& path) {
    char* real = ::realpath(path.c_str(), nullptr);
    if (real == nullptr) return std::string();
    std::string out(real);
    ::free(real);
    return out;
}

bool TerminalSize(std::FILE* out, size_t& columns, size_t& rows) {
    winsize size{};
    if (!::isatty(::fileno(out)) || ::ioctl(::fileno(out), TIOCGWINSZ, &size) != 0) return false;
    columns = size.ws_col;
    rows = size.ws_row;
    return columns > 0 && rows > 0;
}

}  // namespace linkmate::cli
