// POSIX backend of the profile: one registry-export file per application, written atomically.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <cstdlib>
#include <ctime>
#include <thread>

#include "profile/atomic_file.h"
#include "profile/profile_names.h"
#include "profile/profile_store.h"
#include "profile/reg_file.h"
#include "protocol/text.h"
#include "protocol/system_reason.h"

namespace linkmate {
namespace {

constexpr std::string_view kRoot = "HKEY_CURRENT_USER\\Software";
// A profile holds 22 short values; a file this large is not one, and parsing it would only delay
// the start.
constexpr off_t kMaxProfileBytes = 1 << 20;
// How long a reader or writer waits for another program's read-modify-write to end.
constexpr auto kLockWait = std::chrono::seconds(2);
constexpr auto kLockPoll = std::chrono::milliseconds(5);

class Fd {
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0) ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    void reset(int fd) {
        if (m_fd >= 0) ::close(m_fd);
        m_fd = fd;
    }
    int get() const { return m_fd; }
    int release() {
        const int fd = m_fd;
        m_fd = -1;
        return fd;
    }

private:
    int m_fd;
};

std::string ConfigHome() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return xdg;
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0') return std::string(home) + "/.config";
    return std::string();
}

bool ReadWhole(int fd, std::string& out) {
    out.clear();
    char buffer[8192];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            return true;
        } else if (errno != EINTR) {
            return false;
        }
    }
}

std::string DirectoryOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

// Keeps a file that could not be read whole beside it before it is replaced, under a name that
// says so: linkmate.reg.unreadable-20261207-053012 (a number is added if that exists).
void KeepUnreadable(const std::string& path) {
    char stamp[32];
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::strftime(stamp, sizeof stamp, "%Y%m%d-%H%M%S", &local);
    const std::string base = path + ".unreadable-" + stamp;
    for (int n = 0; n < 1000; ++n) {
        const std::string name = n == 0 ? base : base + "-" + std::to_string(n);
        if (::link(path.c_str(), name.c_str()) == 0) return;
        if (errno != EEXIST) break;
    }
    // No hard links here: copy instead (never over an existing file).
    std::error_code ignored;
    std::filesystem::copy_file(path, base, std::filesystem::copy_options::none, ignored);
}

bool IsTextType(uint32_t type) { return type == kRegSz || type == kRegExpandSz; }

// "<what>: <the system's reason>"
std::string Reason(const std::string& what, int error) {
    return what + ": " + text::SystemReason(error);
}

// The lock, waited for at most kLockWait; a holder that never lets go must not freeze the window.
bool LockWithin(int fd, int operation, std::string& error) {
    const auto deadline = std::chrono::steady_clock::now() + kLockWait;
    for (;;) {
        if (::flock(fd, operation | LOCK_NB) == 0) return true;
        if (errno != EWOULDBLOCK && errno != EINTR) {
            error = Reason(text::translate("Profile", "the profile's lock cannot be taken"), errno);
            return false;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            error = text::translate("Profile", "the profile is locked by another program");
            return false;
        }
        std::this_thread::sleep_for(kLockPoll);
    }
}

// Temporary files of this profile's own name pattern (<name>.reg.XXXXXX) are written under the
// lock, so any that the lock holder finds belong to a save that died.
void RemoveDeadTemporaries(const std::string& path) {
    const std::string dir = DirectoryOf(path);
    const std::string prefix = path.substr(dir.size() + 1) + ".";
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(dir, error)) {
        const std::string name = entry.path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        const bool random =
            std::all_of(name.begin() + static_cast<long>(prefix.size()), name.end(),
                        [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
        if (random) ::unlink(entry.path().c_str());
    }
}

}  // namespace

std::string ProfileFilePath(std::string* problem) {
    const ProfileNames names = CurrentProfileNames();
    const std::string home = ConfigHome();
    std::string why;
    if (home.empty()) {
        why = text::translate("Profile",
                              "there is no per-user configuration folder (neither XDG_CONFIG_HOME "
                              "nor HOME is set)");
    } else {
        why = ProfileNamesProblem(names);
    }
    if (problem != nullptr) *problem = why;
    if (!why.empty()) return std::string();
    return home + "/" + names.registryKey + "/" + names.applicationName + ".reg";
}

struct ProfileTransaction::State {
    std::string path;
    std::string error;      // why the store cannot be written, once known
    std::string keyPrefix;  // HKEY_CURRENT_USER\Software\<registry key>\<application>
    Fd lock;
    bool existed = false;
    bool writable = false;
    bool dirty = false;
    RegDocument doc;

    std::string SectionPath(std::string_view section) const {
        return keyPrefix + "\\" + std::string(section);
    }
    // Only a write makes the section.
    RegKey& Section(std::string_view section) {
        dirty = true;
        return doc.EnsureKey(kRoot, SectionPath(section));
    }
};

ProfileTransaction::ProfileTransaction(ProfileAccess access) : m_state(std::make_unique<State>()) {
    State& s = *m_state;
    s.path = ProfileFilePath(&s.error);
    if (s.path.empty()) return;
    const ProfileNames names = CurrentProfileNames();
    s.keyPrefix = std::string(kRoot) + "\\" + names.registryKey + "\\" + names.applicationName;
    // Every writer holds the lock file for its whole read-modify-write; the profile itself is
    // replaced by rename, so it cannot carry the lock. A reader shares the lock, when there is
    // one, so that it waits for a save under way, but creates neither it nor its folder.
    const std::string dir = DirectoryOf(s.path);
    const std::string lockPath = s.path + ".lock";
    if (access == ProfileAccess::kRead) {
        s.lock.reset(::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
        if (s.lock.get() >= 0 && !LockWithin(s.lock.get(), LOCK_SH, s.error)) {
            s.lock.reset(-1);
            return;
        }
    } else {
        std::error_code noFolder;
        std::filesystem::create_directories(dir, noFolder);
        if (noFolder) {
            s.error = text::Arg(text::translate("Profile", "cannot create the folder %1: %2"),
                                {dir, noFolder.message()});
        } else {
            s.lock.reset(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
            if (s.lock.get() < 0) {
                s.error =
                    Reason(text::Arg(text::translate("Profile", "cannot create the lock file %1"),
                                     {lockPath}),
                           errno);
            } else if (LockWithin(s.lock.get(), LOCK_EX, s.error)) {
                s.writable = true;
            } else {
                // Another program is in the middle of its own change: nothing is read either.
                s.lock.reset(-1);
                return;
            }
        }
    }
    // Non-blocking, so that a FIFO or device put in the file's place cannot hang the tool.
    Fd file(::open(s.path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) {
        // A file that is there but cannot be read is not replaced by what little we know.
        if (errno != ENOENT) {
            s.writable = false;
            s.error =
                Reason(text::Arg(text::translate("Profile", "cannot read %1"), {s.path}), errno);
        }
        return;
    }
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
        s.writable = false;
        s.error = text::Arg(text::translate("Profile", "%1 is not a regular file"), {s.path});
        return;
    }
    s.existed = true;
    if (info.st_size > kMaxProfileBytes) {
        // Kept aside at the next save like any file that could not be read.
        s.doc.MarkDamaged();
        return;
    }
    std::string text;
    if (!ReadWhole(file.get(), text)) {
        s.writable = false;
        s.error = Reason(text::Arg(text::translate("Profile", "cannot read %1"), {s.path}), errno);
        return;
    }
    s.doc = RegDocument::Parse(text);
}

ProfileTransaction::~ProfileTransaction() = default;

int32_t ProfileTransaction::ReadInt(std::string_view section, std::string_view key,
                                    int32_t defaultValue) {
    State& s = *m_state;
    if (s.path.empty()) return defaultValue;
    const RegValue* value = s.doc.Find(s.SectionPath(section), key);
    // Exactly four bytes, and not a text that happens to be three characters long.
    if (value == nullptr || value->data.size() != 4 || IsTextType(value->type) ||
        value->type == kRegMultiSz) {
        return defaultValue;
    }
    const auto& d = value->data;
    return static_cast<int32_t>(uint32_t{d[0]} | (uint32_t{d[1]} << 8) | (uint32_t{d[2]} << 16) |
                                (uint32_t{d[3]} << 24));
}

std::string ProfileTransaction::ReadText(std::string_view section, std::string_view key,
                                         std::string_view defaultValue) {
    State& s = *m_state;
    if (s.path.empty()) return std::string(defaultValue);
    const RegValue* value = s.doc.Find(s.SectionPath(section), key);
    if (value == nullptr || !IsTextType(value->type)) return std::string(defaultValue);
    return TextOf(*value);
}

void ProfileTransaction::WriteInt(std::string_view section, std::string_view key, int32_t value) {
    State& s = *m_state;
    s.dirty = true;  // without a path, Commit then fails with the reason
    if (s.path.empty()) return;
    s.doc.Set(s.Section(section), key, DwordValue(value));
}

void ProfileTransaction::WriteText(std::string_view section, std::string_view key,
                                   std::string_view value) {
    State& s = *m_state;
    s.dirty = true;
    if (s.path.empty()) return;
    s.doc.Set(s.Section(section), key, TextValue(value));
}

bool ProfileTransaction::Commit() {
    State& s = *m_state;
    if (!s.dirty) return true;
    if (!s.writable) return false;
    RemoveDeadTemporaries(s.path);
    // A file that could not be read whole is kept beside the new one, never replaced unseen.
    const bool keepOld = s.existed && s.doc.damaged();
    if (!ReplaceFileAtomically(s.path, s.doc.Serialize(), false, &s.error, [&] {
            if (keepOld) KeepUnreadable(s.path);
        })) {
        return false;
    }
    s.dirty = false;
    s.existed = true;
    s.doc.MarkRepaired();
    return true;
}

const std::string& ProfileTransaction::Error() const { return m_state->error; }

int64_t ProfileSavedTime() {
    std::error_code error;
    const std::string path = ProfileFilePath();
    if (path.empty()) return 0;
    const auto written = std::filesystem::last_write_time(path, error);
    if (error) return 0;
    return std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(written));
}

// The file's own date says it.
void MarkProfileSaved(ProfileTransaction&) {}

}  // namespace linkmate
