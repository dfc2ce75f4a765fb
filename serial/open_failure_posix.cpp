#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <fstream>
#include <sstream>

#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/open_failure.h"
#include "serial/permission_advice.h"
#include "serial/port_map.h"
#include "serial/uucp_lock.h"
#include "protocol/system_reason.h"

namespace linkmate {
namespace {

// "minicom (process 1234)"; with the lock file that names it when there is one.
std::string ProcessName(pid_t pid, const std::string& lockPath) {
    std::ifstream in("/proc/" + std::to_string(pid) + "/comm");
    std::string name;
    std::getline(in, name);
    if (name.empty()) name = text::translate("OpenFailure", "a program");
    if (!lockPath.empty()) {
        return text::Arg(text::translate("OpenFailure", "%1 (process %2, lock file %3)"),
                         {name, std::to_string(pid), lockPath});
    }
    return text::Arg(text::translate("OpenFailure", "%1 (process %2)"),
                     {name, std::to_string(pid)});
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

}  // namespace

std::string DeviceHolder(const std::string& devicePath) {
    std::string lockPath;
    pid_t pid = UucpLockHolder(devicePath, &lockPath);
    if (pid == 0) pid = LockingProcess(devicePath);
    return pid == 0 ? std::string() : ProcessName(pid, lockPath);
}

std::string DescribeOpenFailure(const std::string& portName, long osError,
                                OpenFailureReader reader) {
    std::string place;
    const auto number = ParseComPortName(portName);
    std::string device = ResolvePortName(portName);
    if (number) {
        const ComPortInfo info = DescribeComPort(*number);
        device = info.devicePath;
        const std::string com = "COM" + std::to_string(*number);
        const std::string path =
            device.empty() ? text::translate("OpenFailure", "no device") : device;
        place = info.linkPath.empty()
                    ? text::Arg(OpenFailureText(OpenText::kPortIs), {com, path, info.description})
                    : text::Arg(text::translate("OpenFailure",
                                                "%1 is %2 (through the port map's %3): %4."),
                                {com, path, info.linkPath, info.description});
    } else {
        place = text::Arg(OpenFailureText(OpenText::kDeviceIs), {device});
    }
    std::string advice;
    switch (osError) {
        case EACCES:
        case EPERM: {
            DeviceAccess access;
            advice = ReadDeviceAccess(device, &access)
                         ? PermissionAdvice(access)
                         : text::translate("OpenFailure", "Your user may not open the device.");
            break;
        }
        case ENOENT:
        case ENODEV:
        case ENXIO:
            advice =
                reader == OpenFailureReader::kWindow
                    ? text::translate("OpenFailure",
                                      "The device is not present: the adapter may be unplugged, or "
                                      "the port map "
                                      "points nowhere. Choose \"Ports...\" in the window's context "
                                      "menu (Ctrl+P) to "
                                      "see and change which device each COM number is.")
                    // The command-line tool keeps English; its reader runs commands, not menus.
                    : std::string(
                          "The device is not present: the adapter may be unplugged, or the port "
                          "map points "
                          "nowhere. \"linkmate-cli ports\" lists which device each COM number is; "
                          "--device PATH opens a device by its path.");
            break;
        case EBUSY: {
            const std::string holder = DeviceHolder(device);
            advice =
                text::Arg(OpenFailureText(OpenText::kInUse),
                          {holder.empty() ? OpenFailureText(OpenText::kAnotherProgram) : holder});
            break;
        }
        case EIO: advice = OpenFailureText(OpenText::kNoResponse); break;
        default: break;
    }
    return JoinOpenFailure(place, text::SystemReason(static_cast<int>(osError)), advice);
}

}  // namespace linkmate
