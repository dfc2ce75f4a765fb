#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <system_error>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>

#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/first_line.h"
#include "serial/port_address.h"
#include "serial/port_map.h"

namespace linkmate {
namespace {

namespace fs = std::filesystem;

std::string LinkPath(int number) {
    const std::string dir = PortMapDir();
    return dir.empty() ? std::string() : dir + "/com" + std::to_string(number);
}

std::string OwnerPath(int number) {
    const std::string link = LinkPath(number);
    return link.empty() ? std::string() : link + ".owner";
}

std::string ReadLink(const std::string& link) {
    std::error_code error;
    const fs::path target = fs::read_symlink(link, error);
    return error ? std::string() : target.string();
}

// A link's target as an absolute, lexically clean path (relative targets are relative to the
// link's folder).
std::string Absolute(const std::string& link, const std::string& target) {
    if (target.empty()) return target;
    const fs::path t(target);
    return (t.is_absolute() ? t : fs::path(link).parent_path() / t).lexically_normal().string();
}

std::string Canonical(const std::string& path) {
    std::error_code error;
    const fs::path p = fs::canonical(path, error);
    return error ? std::string() : p.string();
}

std::string ConverterText(pid_t pid) {
    return text::Arg(text::translate("Ports", "LINKMATE virtual converter (process %1)"),
                     {std::to_string(pid)});
}

bool IsAlive(pid_t pid) { return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM); }

struct OwnerRecord {
    pid_t pid = 0;
    std::string device;
};

OwnerRecord ReadOwner(int number) {
    OwnerRecord record;
    std::istringstream line(ReadFirstLine(OwnerPath(number)));
    long pid = 0;
    if (line >> pid >> record.device) record.pid = static_cast<pid_t>(pid);
    return record;
}

bool ValidNumber(int number, std::string* error) {
    if (number >= kFirstComPort && number <= kLastComPort && !LinkPath(number).empty()) return true;
    if (error != nullptr) *error = text::translate("Ports", "only COM1 to COM8 can be mapped");
    return false;
}

}  // namespace

Discovery DiscoverSerialDevices(const DeviceRoots& roots) {
    Discovery found = DiscoverTtyDevices(roots);
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        if (const pid_t pid = ComPortOwner(n)) {
            SerialDevice converter;
            converter.path = ReadOwner(n).device;
            converter.description = ConverterText(pid);
            found.devices.push_back(std::move(converter));
        }
    }
    return found;
}

std::vector<SerialDevice> DetectSerialDevices(const DeviceRoots& roots) {
    return DiscoverSerialDevices(roots).devices;
}

namespace {

// The machine's devices, discovered when a description first needs them and then reused: one
// discovery walks every tty, so the COM list's eight entries share one.
class LazyDevices {
public:
    explicit LazyDevices(const DeviceRoots& roots) : m_roots(roots) {}
    const std::vector<SerialDevice>& Get() {
        if (!m_devices) m_devices = DetectSerialDevices(m_roots);
        return *m_devices;
    }

private:
    const DeviceRoots& m_roots;
    std::optional<std::vector<SerialDevice>> m_devices;
};

ComPortInfo Describe(int number, const DeviceRoots& roots, LazyDevices& devices) {
    ComPortInfo info;
    info.number = number;
    const std::string link = LinkPath(number);
    struct stat st {};
    if (!link.empty() && ::lstat(link.c_str(), &st) == 0) {
        info.linkPath = link;
        const std::string target = S_ISLNK(st.st_mode) ? ReadLink(link) : std::string();
        if (const auto address = ParsePortAddress(target)) {
            // Whether the server is there shows only when the port is opened.
            info.devicePath = address->Text();
            info.present = true;
            info.description = ServerPortDescription(*address);
            return info;
        }
        info.devicePath = S_ISLNK(st.st_mode) ? Absolute(link, target) : link;
        if (IsStaleConverterLink(number)) {
            info.description = text::translate(
                "Ports", "not present (left by a virtual converter that no longer runs)");
            return info;
        }
        info.present = ::stat(link.c_str(), &st) == 0;
        if (!info.present) {
            info.description = text::translate(
                "Ports", "not present (adapter unplugged, or the map points nowhere)");
        } else if (const pid_t pid = ComPortOwner(number)) {
            info.description = ConverterText(pid);
        } else {
            const std::string canonical = Canonical(link);
            info.description = text::translate("Ports", "serial device");
            for (const SerialDevice& d : devices.Get()) {
                if (Canonical(d.path) == canonical) info.description = d.description;
            }
        }
        return info;
    }
    const std::string name = "ttyS" + std::to_string(number - 1);
    info.devicePath = roots.dev + "/" + name;
    for (const SerialDevice& d : devices.Get()) {
        if (d.path == info.devicePath) info.present = true;
    }
    info.description = info.present
                           ? text::translate("Ports", "on-board serial port (no adapter assigned)")
                           : text::translate("Ports", "not present (no adapter assigned)");
    return info;
}

// COMn pointed at a serial device server: the link's target is the address, as it is written.
bool AssignAddress(int number, const std::string& spelled, std::string* error) {
    std::string why;
    const auto address = ParsePortAddress(spelled, &why);
    if (!address) {
        if (error != nullptr) *error = spelled + ": " + why;
        return false;
    }
    if (std::string unwritten; !RegisterComPort(number, address->Text(), &unwritten)) {
        if (error != nullptr) {
            *error = text::Arg(text::translate("Ports", "the port map cannot be written: %1"),
                               {unwritten});
        }
        return false;
    }
    ::unlink(OwnerPath(number).c_str());
    return true;
}

}  // namespace

ComPortInfo DescribeComPort(int number, const DeviceRoots& roots) {
    LazyDevices devices(roots);
    return Describe(number, roots, devices);
}

std::vector<ComPortInfo> DescribeComPorts(const DeviceRoots& roots) {
    LazyDevices devices(roots);
    std::vector<ComPortInfo> ports;
    for (int n = kFirstComPort; n <= kLastComPort; ++n)
        ports.push_back(Describe(n, roots, devices));
    return ports;
}

bool AssignComPort(int number, const std::string& devicePath, std::string* error,
                   const DeviceRoots& roots) {
    if (!ValidNumber(number, error)) return false;
    if (LooksLikePortAddress(devicePath)) return AssignAddress(number, devicePath, error);
    struct stat st {};
    if (::stat(devicePath.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) {
        if (error != nullptr) {
            *error = text::Arg(text::translate("Ports", "%1 is not a device that is present"),
                               {devicePath});
        }
        return false;
    }
    std::string target = devicePath;
    const std::string canonical = Canonical(devicePath);
    for (const SerialDevice& d : DetectSerialDevices(roots)) {
        if (!d.stableName.empty() && Canonical(d.path) == canonical) target = d.stableName;
    }
    if (std::string unwritten; !RegisterComPort(number, target, &unwritten)) {
        if (error != nullptr) {
            *error = text::Arg(text::translate("Ports", "the port map cannot be written: %1"),
                               {unwritten});
        }
        return false;
    }
    ::unlink(OwnerPath(number).c_str());
    return true;
}

bool FreeComPort(int number, std::string* error) {
    if (!ValidNumber(number, error)) return false;
    const std::string link = LinkPath(number);
    struct stat st {};
    if (::lstat(link.c_str(), &st) != 0) return true;
    if (!S_ISLNK(st.st_mode)) {
        if (error != nullptr) {
            *error =
                text::Arg(text::translate("Ports", "%1 is not a link; it is left alone"), {link});
        }
        return false;
    }
    if (::unlink(link.c_str()) != 0) {
        if (error != nullptr) {
            *error = text::Arg(text::translate("Ports", "cannot remove %1: %2"),
                               {link, std::generic_category().message(errno)});
        }
        return false;
    }
    ::unlink(OwnerPath(number).c_str());
    return true;
}

bool RecordComPortOwner(int number, pid_t pid, const std::string& devicePath) {
    const std::string path = OwnerPath(number);
    if (path.empty()) return false;
    const std::string temp = path + ".new." + std::to_string(::getpid());
    {
        std::ofstream out(temp, std::ios::trunc);
        out << pid << ' ' << devicePath << '\n';
        if (!out.flush()) return false;
    }
    return ::rename(temp.c_str(), path.c_str()) == 0;
}

void ForgetComPortOwner(int number, pid_t pid) {
    if (ReadOwner(number).pid == pid) ::unlink(OwnerPath(number).c_str());
}

pid_t ComPortOwner(int number) {
    const OwnerRecord record = ReadOwner(number);
    const std::string link = LinkPath(number);
    if (record.pid == 0 || Absolute(link, ReadLink(link)) != record.device) return 0;
    return IsAlive(record.pid) ? record.pid : 0;
}

bool IsStaleConverterLink(int number) {
    const OwnerRecord record = ReadOwner(number);
    const std::string link = LinkPath(number);
    if (record.pid == 0 || link.empty()) return false;
    return Absolute(link, ReadLink(link)) == record.device && !IsAlive(record.pid);
}

}  // namespace linkmate
