// The UUCP lock file that Linux serial programs share (minicom, Qt's serial port, ...):
// LCK..<name> in /run/lock (else /var/lock), where <name> is the device's path below /dev with
// "/" turned into "_" (LCK..ttyUSB0, LCK..pts_3). It holds the owner's process id as ten ASCII
// digits and a newline. It is written into a temporary file first and linked into place, so no
// other program ever reads it half-written. A lock is taken over only when its process is gone or
// (the process id reused by another program) has no descriptor open on the device; an empty or
// unreadable lock younger than kUucpLockGraceSeconds counts as held, since its owner may still be
// writing it or about to open the device, and an older one as long as any other process has the
// device open. Temporary files that dead processes left in the lock folder are removed when a
// lock is taken.
#pragma once

#include <string>
#include <sys/types.h>

namespace linkmate {

inline constexpr int kUucpLockGraceSeconds = 10;

// Where lock files go; empty restores the default (/run/lock, else /var/lock).
void SetUucpLockDirectory(std::string directory);
std::string UucpLockDirectory();

// The lock file's path for `devicePath` (links resolved); empty when the device does not exist.
std::string UucpLockPath(const std::string& devicePath);

// The live process named by the lock of `devicePath`, or 0. `lockPath`, when given, receives the
// lock file's path when a holder is named.
pid_t UucpLockHolder(const std::string& devicePath, std::string* lockPath = nullptr);

class UucpLock {
public:
    UucpLock() = default;
    ~UucpLock() { Release(); }
    UucpLock(const UucpLock&) = delete;
    UucpLock& operator=(const UucpLock&) = delete;

    // Takes the lock of `devicePath`. False when a live process holds it (`holder` names it). Where
    // the lock folder cannot be written (not root, not in the lock group), true without a lock, as
    // the other programs of this convention do.
    bool Acquire(const std::string& devicePath, pid_t* holder = nullptr);
    // Removes the lock file if this object took one.
    void Release();
    bool held() const { return !m_path.empty(); }

private:
    std::string m_path;
};

}  // namespace linkmate
