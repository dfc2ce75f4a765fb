#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "profile/input_file.h"
#include "protocol/system_reason.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

bool Fail(std::string* error, const std::string& text) {
    if (error != nullptr) *error = text;
    return false;
}

// Reads until end of file or `limit` + 1 bytes; the descriptor blocks (a regular file or a pipe
// on standard input, which ends when its writer does).
bool ReadAll(int fd, const std::string& path, size_t limit, std::string& bytes,
             std::string* error) {
    bytes.clear();
    char chunk[65536];
    while (bytes.size() <= limit) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return Fail(error, path + ": " + text::SystemReason(errno));
        if (n == 0) break;
        bytes.append(chunk, static_cast<size_t>(n));
    }
    if (bytes.size() > limit + 1) bytes.resize(limit + 1);
    return true;
}

}  // namespace

bool ReadInputFile(const std::string& path, size_t limit, std::string& bytes, std::string* error) {
    if (path == "-")
        return ReadAll(STDIN_FILENO, text::translate("ConfigFile", "standard input"), limit, bytes,
                       error);
    // Non-blocking, so that opening a FIFO does not wait for a writer; the type is checked on the
    // descriptor itself, so the file cannot be swapped between the check and the read.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return Fail(error, path + ": " + text::SystemReason(errno));
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const bool folder = S_ISDIR(st.st_mode);
        ::close(fd);
        return Fail(error,
                    text::Arg(folder ? text::translate("ConfigFile", "%1: a folder, not a file")
                                     : text::translate("ConfigFile", "%1: not a regular file"),
                              {path}));
    }
    // A regular file never blocks; the flag only mattered for the open.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    const bool ok = ReadAll(fd, path, limit, bytes, error);
    ::close(fd);
    return ok;
}

}  // namespace linkmate
