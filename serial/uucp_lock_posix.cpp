#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>
#include <sys/stat.h>

#include "serial/uucp_lock.h"

namespace linkmate {
namespace {

std::mutex g_mutex;
std::string g_directory;

bool IsAlive(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

// The process id a lock file holds as ASCII digits; 0 when unreadable.
pid_t ReadHolder(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return 0;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return 0;
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    return pid > 0 && pid <= INT_MAX ? static_cast<pid_t>(pid) : 0;
}

}  // namespace

void SetUucpLockDirectory(std::string directory) {
    std::lock_guard lock(g_mutex);
    g_directory = std::move(directory);
}

std::string UucpLockDirectory() {
    {
        std::lock_guard lock(g_mutex);
        if (!g_directory.empty()) return g_directory;
    }
    struct stat st {};
    return ::stat("/run/lock", &st) == 0 && S_ISDIR(st.st_mode) ? "/run/lock" : "/var/lock";
}

std::string UucpLockPath(const std::string& devicePath) {
    char resolved[PATH_MAX];
    if (::realpath(devicePath.c_str(), resolved) == nullptr) return std::string();
    std::string name = resolved;
    name.erase(0, name.rfind("/dev/", 0) == 0 ? 5 : name.rfind('/') + 1);
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    return UucpLockDirectory() + "/LCK.." + name;
}

pid_t UucpLockHolder(const std::string& devicePath) {
    const std::string path = UucpLockPath(devicePath);
    if (path.empty()) return 0;
    const pid_t pid = ReadHolder(path);
    return IsAlive(pid) ? pid : 0;
}

bool UucpLock::Acquire(const std::string& devicePath, pid_t* holder) {
    Release();
    const std::string path = UucpLockPath(devicePath);
    if (path.empty()) return true;  // no such device: the open itself will say so
    for (int attempt = 0; attempt < 2; ++attempt) {
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
        if (fd >= 0) {
            char text[16];
            const int n = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
            const bool written = ::write(fd, text, static_cast<size_t>(n)) == n;
            ::close(fd);
            if (!written) {
                ::unlink(path.c_str());
                return true;
            }
            m_path = path;
            return true;
        }
        if (errno != EEXIST) return true;  // the lock folder is not ours to write: go on without
        const pid_t pid = ReadHolder(path);
        if (IsAlive(pid)) {
            if (holder != nullptr) *holder = pid;
            return false;
        }
        // Left by a process that is gone (or unreadable): take it over.
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) return true;
    }
    return true;
}

void UucpLock::Release() {
    if (m_path.empty()) return;
    if (ReadHolder(m_path) == ::getpid()) ::unlink(m_path.c_str());
    m_path.clear();
}

}  // namespace linkmate
