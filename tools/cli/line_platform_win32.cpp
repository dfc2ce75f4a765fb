#include <windows.h>

#include <algorithm>
#include <cctype>

#include "serial/com_port_names.h"
#include "tools/cli/line_platform.h"

namespace linkmate::cli {

std::string CanonicalDevice(const std::string& path) {
    // COM ports have no links: \\.\COM3 and COM3 are the one port. Whether it is there, opening
    // it tells, with the reason.
    if (const auto n = ParseComPortName(path)) return FormatComPortName(*n);
    char full[MAX_PATH];
    const DWORD n = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    if (n == 0 || n >= MAX_PATH || GetFileAttributesA(full) == INVALID_FILE_ATTRIBUTES)
        return std::string();
    std::string out(full);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return out;
}

// The console's window is not redrawn in place here: the progress comes as plain lines.
bool TerminalSize(std::FILE*, size_t&, size_t&) { return false; }

}  // namespace linkmate::cli
