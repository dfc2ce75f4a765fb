#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <mutex>
#include <string>

#include "serial/uucp_lock.h"

namespace linkmate {
namespace {

std::mutex g_mutex;
std::string g_directory;

bool IsAlive(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

// What a lock file says: the process id it holds (0 when empty or unreadable) and its age.
struct LockFile {
    bool exists = false;
    pid_t pid = 0;
    bool young = false;  // changed less than kUucpLockGraceSeconds ago
};

LockFile ReadLockFile(const std::string& path) {
    LockFile lock;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) {
        lock.exists = errno != ENOENT;
        return lock;
    }
    lock.exists = true;
    struct stat st {};
    if (::fstat(fd, &st) == 0)
        lock.young = std::abs(std::time(nullptr) - st.st_mtime) < kUucpLockGraceSeconds;
    char text[32] = {};
    const ssize_t n = ::read(fd, text, sizeof text - 1);
    ::close(fd);
    if (n <= 0) return lock;
    // Only the ASCII form names its owner: blanks, digits, a newline. Anything else (a binary
    // process id, text) leaves the owner unknown rather than misread.
    char* end = nullptr;
    const long pid = std::strtol(text, &end, 10);
    const bool whole = end != text && std::strspn(end, "\n") == static_cast<size_t>(text + n - end);
    if (whole && pid > 0 && pid <= INT_MAX) lock.pid = static_cast<pid_t>(pid);
    return lock;
}

// Whether process `pid` has a descriptor open on the device `device` (its device number); true
// when that cannot be seen (another user's process), so that a lock is never taken from a
// program that may be using the port.
bool HasDeviceOpen(pid_t pid, dev_t device) {
    const std::string folder = "/proc/" + std::to_string(pid) + "/fd";
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return errno != ENOENT;
    bool found = false;
    while (const dirent* entry = ::readdir(dir)) {
        if (entry->d_name[0] == '.') continue;
        struct stat st {};
        if (::stat((folder + "/" + entry->d_name).c_str(), &st) == 0 && S_ISCHR(st.st_mode) &&
            st.st_rdev == device) {
            found = true;
            break;
        }
    }
    ::closedir(dir);
    return found;
}

// Whether a process other than this one has a descriptor open on `device`. Only the processes
// whose descriptors can be seen count: to another user, root's are hidden, and counting them
// would make every unreadable lock permanent.
bool AnyOtherProcessHasDeviceOpen(dev_t device) {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        char* end = nullptr;
        const long pid = std::strtol(entry->d_name, &end, 10);
        if (pid <= 0 || *end != '\0' || pid == ::getpid()) continue;
        const std::string folder = std::string("/proc/") + entry->d_name + "/fd";
        if (::access(folder.c_str(), R_OK | X_OK) != 0) continue;
        if (HasDeviceOpen(static_cast<pid_t>(pid), device)) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

// The process that holds `lock` of the device, or 0 when the lock may be taken over. A young lock
// is held whatever it says: its owner takes the lock before it opens the device. An older lock
// that names no process (empty, text, a binary number) is held while any program has the device
// open: its owner cannot be asked, but the device can.
pid_t Holder(const LockFile& lock, const std::string& devicePath, bool* heldWithoutPid) {
    if (heldWithoutPid != nullptr) *heldWithoutPid = false;
    if (!lock.exists) return 0;
    if (!IsAlive(lock.pid)) {
        if (lock.pid == 0 && heldWithoutPid != nullptr) {
            struct stat st {};
            *heldWithoutPid = lock.young || (::stat(devicePath.c_str(), &st) == 0 &&
                                             AnyOtherProcessHasDeviceOpen(st.st_rdev));
        }
        return 0;
    }
    if (lock.young || lock.pid == ::getpid()) return lock.pid;
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) != 0) return lock.pid;
    return HasDeviceOpen(lock.pid, st.st_rdev) ? lock.pid : 0;
}

// Serialises the take-over of stale locks between programs that use this code: without it two of
// them could both judge one stale lock, and the second remove the first's new one. Held for a
// few system calls; waits at most about a second for another holder, then goes on without.
class FolderGuard {
public:
    explicit FolderGuard(const std::string& folder)
        : m_fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (m_fd < 0) return;
        for (int i = 0; i < 100; ++i) {
            if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0) return;
            const timespec pause{0, 10'000'000};
            ::nanosleep(&pause, nullptr);
        }
    }
    ~FolderGuard() {
        if (m_fd >= 0) ::close(m_fd);
    }
    FolderGuard(const FolderGuard&) = delete;
    FolderGuard& operator=(const FolderGuard&) = delete;

private:
    int m_fd;
};

// Temporary lock files of processes that died between writing them and removing them (killed
// during an open): nothing else would ever remove them. One without a process id is left alone
// while young, as its writer may not have written it yet.
void RemoveDeadTemporaryLocks(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (dir == nullptr) return;
    while (const dirent* entry = ::readdir(dir)) {
        if (std::strncmp(entry->d_name, "LTMP.", 5) != 0) continue;
        const std::string path = folder + "/" + entry->d_name;
        const LockFile lock = ReadLockFile(path);
        if (lock.exists && !IsAlive(lock.pid) && (lock.pid != 0 || !lock.young))
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

// A temporary file in the lock folder holding our process id, ready to be linked into place;
// empty when the folder cannot be written.
std::string WriteTemporaryLock(const std::string& folder) {
    std::string path = folder + "/LTMP.XXXXXX";
    const int fd = ::mkostemp(path.data(), O_CLOEXEC);
    if (fd < 0) return std::string();
    ::fchmod(fd, 0644);
    char text[16];
    const int n = std::snprintf(text, sizeof text, "%10d\n", static_cast<int>(::getpid()));
    const bool written = ::write(fd, text, static_cast<size_t>(n)) == n;
    if (::close(fd) != 0 || !written) {
        ::unlink(path.c_str());
        return std::string();
    }
    return path;
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

pid_t UucpLockHolder(const std::string& devicePath, std::string* lockPath) {
    const std::string path = UucpLockPath(devicePath);
    if (path.empty()) return 0;
    const pid_t pid = Holder(ReadLockFile(path), devicePath, nullptr);
    if (pid != 0 && lockPath != nullptr) *lockPath = path;
    return pid;
}

bool UucpLock::Acquire(const std::string& devicePath, pid_t* holder) {
    Release();
    const std::string path = UucpLockPath(devicePath);
    if (path.empty()) return true;  // no such device: the open itself will say so
    const std::string folder = path.substr(0, path.rfind('/'));
    const std::string temporary = WriteTemporaryLock(folder);
    if (temporary.empty()) return true;  // the lock folder is not ours to write: go on without
    RemoveDeadTemporaryLocks(folder);
    bool taken = false, held = false;
    for (int attempt = 0; attempt < 3 && !taken && !held; ++attempt) {
        // link() never replaces a file: of several programs only one can succeed.
        if (::link(temporary.c_str(), path.c_str()) == 0) {
            taken = true;
            break;
        }
        if (errno != EEXIST) break;
        const FolderGuard guard(folder);
        const LockFile lock = ReadLockFile(path);
        bool heldWithoutPid = false;
        if (const pid_t pid = Holder(lock, devicePath, &heldWithoutPid);
            pid != 0 || heldWithoutPid) {
            if (holder != nullptr) *holder = pid;
            held = true;
            break;
        }
        // Left by a process that is gone, or by one whose id now names another program: take it
        // over, unless another program has replaced it meanwhile.
        if (ReadLockFile(path).pid != lock.pid) continue;
        if (::unlink(path.c_str()) != 0 && errno != ENOENT) break;
        taken = ::link(temporary.c_str(), path.c_str()) == 0;
        if (!taken && errno != EEXIST) break;
    }
    ::unlink(temporary.c_str());
    if (taken) m_path = path;
    return !held;
}

void UucpLock::Release() {
    if (m_path.empty()) return;
    if (ReadLockFile(m_path).pid == ::getpid()) ::unlink(m_path.c_str());
    m_path.clear();
}

}  // namespace linkmate
