#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "profile/atomic_file.h"
#include "protocol/text.h"

namespace linkmate {
namespace {

bool WriteWhole(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n > 0) {
            data.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

bool Fail(std::string* error, const std::string& what, int failure) {
    if (error != nullptr) *error = what + ": " + std::strerror(failure);
    return false;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view text, bool shareable,
                           std::string* error, const std::function<void()>& beforeRename) {
    const std::string dir = path.substr(0, path.rfind('/') == std::string::npos ? 0 : path.rfind('/'));
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return Fail(error, text::Arg(text::translate("Profile", "cannot create a file in %1"),
                                     {dir.empty() ? std::string(".") : dir}),
                    errno);
    }
    if (shareable) {
        const mode_t mask = ::umask(0);
        ::umask(mask);
        ::fchmod(fd, 0666 & ~mask);
    }
    bool written = WriteWhole(fd, text) && ::fsync(fd) == 0;
    int failure = errno;
    if (::close(fd) != 0 && written) {
        written = false;
        failure = errno;
    }
    if (!written) {
        ::unlink(temp.c_str());
        return Fail(error, text::Arg(text::translate("Profile", "cannot write %1"), {temp}), failure);
    }
    if (beforeRename) beforeRename();
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        failure = errno;
        ::unlink(temp.c_str());
        return Fail(error, text::Arg(text::translate("Profile", "cannot replace %1"), {path}), failure);
    }
    // The rename itself on disk.
    const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace linkmate
