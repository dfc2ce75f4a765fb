// The ports Windows knows, from its DOS device names. Windows numbers the ports itself (the Device
// Manager's "Port Settings"), so there is no map to write and no virtual converter to recognise.
#include <windows.h>

#include "protocol/text.h"
#include "protocol/win32_text.h"
#include "serial/com_port_names.h"
#include "serial/port_map.h"

namespace linkmate {
namespace {

// Windows numbers ports up to COM256.
constexpr int kHighestWindowsPort = 256;

// The kernel device behind COMn ("\Device\Serial0", "\Device\VCP0"), or nothing when there is
// no such port.
std::string KernelDevice(int number) {
    const std::wstring name = L"COM" + std::to_wstring(number);
    wchar_t target[1024] = {};
    if (QueryDosDeviceW(name.c_str(), target, sizeof target / sizeof target[0]) == 0)
        return std::string();
    const std::string device = Narrow(std::wstring_view(target));
    return device.empty() ? std::string("?") : device;
}

std::string NotOnWindows() {
    return text::translate(
        "Ports",
        "Windows assigns the COM numbers itself: change them in the Device Manager "
        "(Ports (COM & LPT), the port's Properties, Port Settings, Advanced).");
}

}  // namespace

Discovery DiscoverSerialDevices(const DeviceRoots& roots) {
    return {DetectSerialDevices(roots), DiscoverySource::DosDevices};
}

std::vector<SerialDevice> DetectSerialDevices(const DeviceRoots&) {
    std::vector<SerialDevice> found;
    for (int n = 1; n <= kHighestWindowsPort; ++n) {
        const std::string device = KernelDevice(n);
        if (device.empty()) continue;
        SerialDevice port;
        port.path = ComPortDevicePath(n);
        port.description = device;
        found.push_back(std::move(port));
    }
    return found;
}

ComPortInfo DescribeComPort(int number, const DeviceRoots&) {
    ComPortInfo info;
    info.number = number;
    info.devicePath = ComPortDevicePath(number);
    const std::string device = KernelDevice(number);
    info.present = !device.empty();
    info.description = info.present ? device : text::translate("Ports", "not present");
    return info;
}

std::vector<ComPortInfo> DescribeComPorts(const DeviceRoots& roots) {
    std::vector<ComPortInfo> ports;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) ports.push_back(DescribeComPort(n, roots));
    return ports;
}

bool AssignComPort(int, const std::string&, std::string* error, const DeviceRoots&) {
    if (error != nullptr) *error = NotOnWindows();
    return false;
}

bool FreeComPort(int, std::string* error) {
    if (error != nullptr) *error = NotOnWindows();
    return false;
}

bool RecordComPortOwner(int, pid_t, const std::string&) { return false; }
void ForgetComPortOwner(int, pid_t) {}
pid_t ComPortOwner(int) { return 0; }
bool IsStaleConverterLink(int) { return false; }

}  // namespace linkmate
