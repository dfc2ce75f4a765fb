#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <fstream>
#include <sstream>

#include "serial/com_port_names.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"
#include "serial/uucp_lock.h"

namespace linkmate {
namespace {

std::string ProcessName(pid_t pid) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    return (name.empty() ? "a program" : name) + " (process " + std::to_string(pid) + ")";
}

// A flock or POSIX lock on the device's inode, as /proc/locks lists them.
pid_t LockingProcess(const std::string& devicePath) {
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) != 0) return 0;
    std::ifstream locks("/proc/locks");
    std::string line;
    while (std::getline(locks, line)) {
        // "1: FLOCK  ADVISORY  WRITE 1234 00:05:87 0 EOF"
        std::istringstream fields(line);
        std::string index, kind, mode, access, where;
        long pid = 0;
        if (!(fields >> index >> kind >> mode >> access >> pid >> where)) continue;
        unsigned major = 0, minor = 0;
        unsigned long inode = 0;
        if (std::sscanf(where.c_str(), "%x:%x:%lu", &major, &minor, &inode) != 3) continue;
        if (inode == st.st_ino && major == ::major(st.st_dev) && minor == ::minor(st.st_dev)) {
            return static_cast<pid_t>(pid);
        }
    }
    return 0;
}

std::string GroupOf(const std::string& devicePath) {
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) != 0) return std::string();
    const group* g = ::getgrgid(st.st_gid);
    return g != nullptr ? g->gr_name : std::to_string(st.st_gid);
}

}  // namespace

std::string DeviceHolder(const std::string& devicePath) {
    pid_t pid = UucpLockHolder(devicePath);
    if (pid == 0) pid = LockingProcess(devicePath);
    return pid == 0 ? std::string() : ProcessName(pid);
}

std::string DescribeOpenFailure(const std::string& portName, long osError) {
    std::string text;
    const auto number = ParseComPortName(portName);
    std::string device = ResolvePortName(portName);
    if (number) {
        const ComPortInfo info = DescribeComPort(*number);
        device = info.devicePath;
        text = "COM" + std::to_string(*number) + " is " + (device.empty() ? "no device" : device);
        if (!info.linkPath.empty()) text += " (through the port map's " + info.linkPath + ")";
        text += ": " + info.description + ".\n";
    } else {
        text = "The device is " + device + ".\n";
    }
    text += std::string("The system says: ") + std::generic_category().message(static_cast<int>(osError)) + ".\n";
    switch (osError) {
        case EACCES:
        case EPERM: {
            const std::string group = GroupOf(device);
            text += "Your user may not open the device.";
            if (!group.empty()) {
                text += " It belongs to the group \"" + group + "\"; join it with\n    sudo usermod -aG " +
                        group + " $USER\nthen log out and in again.";
            }
            break;
        }
        case ENOENT:
        case ENODEV:
        case ENXIO:
            text += "The device is not present: the adapter may be unplugged, or the port map "
                    "points nowhere. Choose \"Ports...\" in the window's context menu (Ctrl+P) to "
                    "see and change which device each COM number is.";
            break;
        case EBUSY: {
            const std::string holder = DeviceHolder(device);
            text += "The port is in use by " + (holder.empty() ? std::string("another program") : holder) +
                    ". Close it there, or choose another port.";
            break;
        }
        case EIO:
            text += "The device does not respond: an on-board port without a UART, or a failing "
                    "adapter.";
            break;
        default:
            break;
    }
    return text;
}

}  // namespace linkmate
