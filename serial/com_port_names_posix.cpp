#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <cstdlib>
#include <string>
#include <system_error>

#include "serial/com_port_names.h"
#include "serial/port_address.h"
#include "serial/port_map.h"

namespace linkmate {
namespace {

std::string LinkPath(int portNumber) {
    const std::string dir = PortMapDir();
    return dir.empty() ? std::string() : dir + "/com" + std::to_string(portNumber);
}

}  // namespace

std::string PortMapDir() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/linkmate/dosdevices";
    const char* home = std::getenv("HOME");
    if (home != nullptr && home[0] != '\0')
        return std::string(home) + "/.config/linkmate/dosdevices";
    return std::string();
}

std::string ComPortDevicePath(int portNumber) {
    if (portNumber < 1) return std::string();
    const std::string link = LinkPath(portNumber);
    struct stat st {};
    if (!link.empty() && ::lstat(link.c_str(), &st) == 0) {
        // A COM number that points at a serial device server: the link's target is its address.
        if (S_ISLNK(st.st_mode)) {
            char target[4096];
            const ssize_t n = ::readlink(link.c_str(), target, sizeof target - 1);
            if (n > 0 && LooksLikePortAddress(std::string_view(target, static_cast<size_t>(n)))) {
                return std::string(target, static_cast<size_t>(n));
            }
        }
        return link;
    }
    return "/dev/ttyS" + std::to_string(portNumber - 1);
}

std::string ResolvePortName(std::string_view name) {
    if (const auto number = ParseComPortName(name)) {
        // A link a killed virtual converter left behind may point at a pseudo-terminal number
        // that another program's terminal has since been given: never open it.
        if (IsStaleConverterLink(*number)) return std::string();
        return ComPortDevicePath(*number);
    }
    return std::string(name);
}

bool RegisterComPort(int portNumber, const std::string& target, std::string* reason) {
    const auto fail = [reason](int failure) {
        if (reason != nullptr) *reason = std::generic_category().message(failure);
        return false;
    };
    const std::string link = LinkPath(portNumber);
    if (portNumber < 1 || link.empty()) return fail(EINVAL);
    std::error_code noFolder;
    std::filesystem::create_directories(PortMapDir(), noFolder);
    if (noFolder) return fail(noFolder.value());
    // Make the new link beside the old one and rename it over, so COMn always resolves to
    // something whole.
    const std::string temp = link + ".new." + std::to_string(::getpid());
    ::unlink(temp.c_str());
    if (::symlink(target.c_str(), temp.c_str()) != 0) return fail(errno);
    if (::rename(temp.c_str(), link.c_str()) != 0) {
        const int failure = errno;
        ::unlink(temp.c_str());
        return fail(failure);
    }
    return true;
}

void UnregisterComPort(int portNumber, const std::string& target) {
    const std::string link = LinkPath(portNumber);
    if (portNumber < 1 || link.empty()) return;
    char buffer[4096];
    const ssize_t n = ::readlink(link.c_str(), buffer, sizeof buffer - 1);
    if (n < 0) return;
    if (std::string(buffer, static_cast<size_t>(n)) == target) ::unlink(link.c_str());
}

}  // namespace linkmate
