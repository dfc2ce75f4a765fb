// Windows has no lock-file convention for serial ports: a port opened without sharing is
// refused to every other program by the system itself. The lock is therefore always granted.
#include "serial/uucp_lock.h"

namespace linkmate {

void SetUucpLockDirectory(std::string) {}
std::string UucpLockDirectory() { return std::string(); }
std::string UucpLockPath(const std::string&) { return std::string(); }
pid_t UucpLockHolder(const std::string&, std::string*) { return 0; }

bool UucpLock::Acquire(const std::string&, pid_t*) { return true; }
void UucpLock::Release() { m_path.clear(); }

}  // namespace linkmate
