// The ports Windows knows, by the Device Manager's names (SetupAPI) and its DOS device names.
// Windows numbers the ports itself (the Device Manager's "Port Settings"), so there is no map to
// write and no virtual converter to recognise.
#include <windows.h>
// After windows.h:
#include <devguid.h>
#include <setupapi.h>

#include <map>

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

// The Device Manager's names of the ports present, by COM number ("USB Serial Port (COM3)").
std::map<int, std::string> FriendlyNames() {
    std::map<int, std::string> names;
    const HDEVINFO set =
        SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (set == INVALID_HANDLE_VALUE) return names;
    SP_DEVINFO_DATA device = {};
    device.cbSize = sizeof device;
    for (DWORD i = 0; SetupDiEnumDeviceInfo(set, i, &device); ++i) {
        const HKEY key =
            SetupDiOpenDevRegKey(set, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_READ);
        if (key == INVALID_HANDLE_VALUE) continue;
        wchar_t port[32] = {};
        DWORD bytes = sizeof port - sizeof port[0];
        const bool named = RegQueryValueExW(key, L"PortName", nullptr, nullptr,
                                            reinterpret_cast<BYTE*>(port), &bytes) == ERROR_SUCCESS;
        RegCloseKey(key);
        if (!named || _wcsnicmp(port, L"COM", 3) != 0) continue;
        const int number = _wtoi(port + 3);
        wchar_t friendly[256] = {};
        if (number > 0 &&
            SetupDiGetDeviceRegistryPropertyW(set, &device, SPDRP_FRIENDLYNAME, nullptr,
                                              reinterpret_cast<BYTE*>(friendly),
                                              sizeof friendly - sizeof friendly[0], nullptr)) {
            names[number] = Narrow(std::wstring_view(friendly));
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return names;
}

// Whether COMn is there though no lookup knows it (a port some drivers, and Wine's mapped ports,
// give no DOS device name): it opens, or another handle holds it (ours, while connected).
bool OpensOrIsHeld(int number) {
    const HANDLE port =
        CreateFileW(Widen(ComPortDevicePath(number)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
        return true;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

ComPortInfo Describe(int number, const std::map<int, std::string>& friendly) {
    ComPortInfo info;
    info.number = number;
    info.devicePath = ComPortDevicePath(number);
    const auto named = friendly.find(number);
    const std::string device = KernelDevice(number);
    info.present = named != friendly.end() || !device.empty() || OpensOrIsHeld(number);
    if (!info.present) {
        info.description = text::translate("Ports", "not present");
    } else if (named != friendly.end()) {
        info.description = named->second;
    } else {
        info.description = device.empty() ? text::translate("Ports", "serial port") : device;
    }
    return info;
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
    const std::map<int, std::string> friendly = FriendlyNames();
    std::vector<SerialDevice> found;
    for (int n = 1; n <= kHighestWindowsPort; ++n) {
        const auto named = friendly.find(n);
        const std::string device = KernelDevice(n);
        if (device.empty() && named == friendly.end()) continue;
        SerialDevice port;
        port.path = ComPortDevicePath(n);
        port.description = named != friendly.end() ? named->second : device;
        found.push_back(std::move(port));
    }
    return found;
}

ComPortInfo DescribeComPort(int number, const DeviceRoots&) {
    return Describe(number, FriendlyNames());
}

std::vector<ComPortInfo> DescribeComPorts(const DeviceRoots&) {
    const std::map<int, std::string> friendly = FriendlyNames();
    std::vector<ComPortInfo> ports;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) ports.push_back(Describe(n, friendly));
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
