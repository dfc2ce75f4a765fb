#include "tools/cli/status.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

namespace linkmate::cli {

int Usage(const std::string& message) {
    std::fprintf(stderr, "linkmate-cli: %s\nTry 'linkmate-cli --help'.\n", message.c_str());
    return kExitUsage;
}

int Finish(int status) {
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "linkmate-cli: cannot write the output: %s\n", std::strerror(errno));
        return std::max(status, kExitFile);
    }
    return status;
}

}  // namespace linkmate::cli
