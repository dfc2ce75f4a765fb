#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "profile/atomic_file.h"
#include "protocol/text.h"
#include "protocol/system_reason.h"

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
    if (error != nullptr) *error = what + ": " + text::SystemReason(failure);
    return false;
}

// Links followed before the chain counts as a loop, as the kernel counts them.
constexpr int kMaxLinkHops = 40;

std::string DirectoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash == 0 ? 1 : slash);
}

// The file a write to `path` lands in: `path` itself, or where its chain of symbolic links ends
// (as editors do, so that a link into another folder stays a link). Empty with `failure` set
// when the chain loops or a link cannot be read.
std::string FinalTarget(const std::string& path, int& failure) {
    std::string current = path;
    for (int hops = 0; hops <= kMaxLinkHops; ++hops) {
        struct stat info {};
        if (::lstat(current.c_str(), &info) != 0) {
            if (errno == ENOENT) return current;  // created where the last link points
            failure = errno;
            return {};
        }
        if (!S_ISLNK(info.st_mode)) return current;
        std::vector<char> target(static_cast<size_t>(info.st_size > 0 ? info.st_size : 4096) + 1);
        const ssize_t n = ::readlink(current.c_str(), target.data(), target.size());
        if (n < 0 || static_cast<size_t>(n) >= target.size()) {
            failure = n < 0 ? errno : ENAMETOOLONG;
            return {};
        }
        const std::string link(target.data(), static_cast<size_t>(n));
        const std::string dir = DirectoryOf(current);
        current = link.front() == '/' || dir.empty() ? link : dir + "/" + link;
    }
    failure = ELOOP;
    return {};
}

bool ReplaceRegularFile(const std::string& path, std::string_view text, bool shareable,
                        std::string* error, const std::function<void()>& beforeRename) {
    const std::string dir = DirectoryOf(path);
    std::string temp = path + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        return Fail(error,
                    text::Arg(text::translate("Profile", "cannot create a file in %1"),
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
        return Fail(error, text::Arg(text::translate("Profile", "cannot write %1"), {temp}),
                    failure);
    }
    if (beforeRename) beforeRename();
    if (::rename(temp.c_str(), path.c_str()) != 0) {
        failure = errno;
        ::unlink(temp.c_str());
        return Fail(error, text::Arg(text::translate("Profile", "cannot replace %1"), {path}),
                    failure);
    }
    // The rename itself on disk.
    const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view text, bool shareable,
                           std::string* error, const std::function<void()>& beforeRename) {
    int failure = 0;
    const std::string target = FinalTarget(path, failure);
    if (target.empty())
        return Fail(error, text::Arg(text::translate("Profile", "cannot replace %1"), {path}),
                    failure);
    // A device, FIFO, socket or folder at the path is never replaced by a file.
    struct stat info {};
    if (::stat(target.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) {
        if (error != nullptr)
            *error = text::Arg(text::translate("Profile", "%1 is not a regular file"), {path});
        return false;
    }
    return ReplaceRegularFile(target, text, shareable, error, beforeRename);
}

}  // namespace linkmate
