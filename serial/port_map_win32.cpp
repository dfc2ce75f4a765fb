// The ports Windows knows, by the Device Manager's names (SetupAPI) and its DOS device names.
// Windows numbers the ports itself (the Device Manager's "Port Settings"): the only entries an
// operator writes are COM numbers the system does not have, pointed at serial device servers
// (kept beside the profile, profile/port_map_store.h). There is no virtual converter to recognise.
#include <windows.h>
// After windows.h:
#include <devguid.h>
#include <setupapi.h>

#include <map>

#include "protocol/text.h"
#include "profile/port_map_store.h"
#include "protocol/win32_text.h"
#include "serial/com_port_map_win32.h"
#include "serial/com_port_names.h"
#include "serial/port_address.h"
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
        CreateFileW(Widen(FormatComPortName(number)).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                    nullptr, OPEN_EXISTING, 0, nullptr);
    if (port != INVALID_HANDLE_VALUE) {
        CloseHandle(port);
        return true;
    }
    const DWORD error = GetLastError();
    return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION;
}

std::string EntryPath(int number) { return PortMapKeyPath() + "\\COM" + std::to_string(number); }

ComPortInfo Describe(int number, const std::map<int, std::string>& friendly) {
    ComPortInfo info;
    info.number = number;
    info.devicePath = FormatComPortName(number);
    const auto named = friendly.find(number);
    const std::string device = KernelDevice(number);
    info.present = named != friendly.end() || !device.empty() || OpensOrIsHeld(number);
    const std::string entry = ReadPortMapEntry(number);
    const auto address = ParsePortAddress(entry);
    // An entry is shown (and can be removed) whatever it holds; it leads somewhere only while
    // the system does not have the port.
    if (!entry.empty()) info.linkPath = EntryPath(number);
    if (!info.present && address) {
        // Whether the server is there shows only when the port is opened.
        info.devicePath = address->Text();
        info.present = true;
        info.description = ServerPortDescription(*address);
    } else if (!info.present) {
        info.description = text::translate("Ports", "not present");
    } else if (named != friendly.end()) {
        info.description = named->second;
    } else {
        info.description = device.empty() ? text::translate("Ports", "serial port") : device;
    }
    if (!entry.empty() && !address) {
        info.description = text::Arg(
            text::translate("Ports", "%1 (the port map's entry \"%2\" is not an address)"),
            {info.description, entry});
    } else if (address && !LooksLikePortAddress(info.devicePath)) {
        info.description =
            text::Arg(text::translate("Ports",
                                      "%1 (the system has this port: the port map's %2 "
                                      "is not used)"),
                      {info.description, entry});
    }
    return info;
}

std::string NotOnWindows() {
    return text::translate(
        "Ports",
        "Windows assigns the COM numbers itself: change them in the Device Manager "
        "(Ports (COM & LPT), the port's Properties, Port Settings, Advanced).");
}

bool ValidNumber(int number, std::string* error) {
    if (number >= kFirstComPort && number <= kLastComPort) return true;
    if (error != nullptr) *error = text::translate("Ports", "only COM1 to COM8 can be mapped");
    return false;
}

}  // namespace

bool SystemHasComPort(int number) { return !KernelDevice(number).empty() || OpensOrIsHeld(number); }

std::string MappedComPortAddress(int number) {
    const auto address = ParsePortAddress(ReadPortMapEntry(number));
    if (!address || SystemHasComPort(number)) return std::string();
    return address->Text();
}

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
        port.path = FormatComPortName(n);
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

// Only a server's address can be assigned, and only to a COM number the system does not have:
// the system's own ports keep their numbers.
bool AssignComPort(int number, const std::string& devicePath, std::string* error,
                   const DeviceRoots&) {
    if (!LooksLikePortAddress(devicePath)) {
        if (error != nullptr) *error = NotOnWindows();
        return false;
    }
    if (!ValidNumber(number, error)) return false;
    std::string why;
    const auto address = ParsePortAddress(devicePath, &why);
    if (!address) {
        if (error != nullptr) *error = devicePath + ": " + why;
        return false;
    }
    if (SystemHasComPort(number)) {
        if (error != nullptr) {
            *error = text::Arg(
                text::translate("Ports",
                                "COM%1 is a port of this system and stays one: point a COM number "
                                "the system does not have at the server."),
                {std::to_string(number)});
        }
        return false;
    }
    return WritePortMapEntry(number, address->Text(), error);
}

bool FreeComPort(int number, std::string* error) {
    if (!ValidNumber(number, error)) return false;
    if (ReadPortMapEntry(number).empty() && SystemHasComPort(number)) {
        if (error != nullptr) *error = NotOnWindows();
        return false;
    }
    return RemovePortMapEntry(number, error);
}

bool RecordComPortOwner(int, pid_t, const std::string&) { return false; }
void ForgetComPortOwner(int, pid_t) {}
pid_t ComPortOwner(int) { return 0; }
bool IsStaleConverterLink(int) { return false; }

}  // namespace linkmate
