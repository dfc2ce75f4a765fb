// Windows names its ports itself: COMn is "\\.\COMn", which also reaches COM10 and above, and
// the Device Manager assigns the numbers. A COM number the system does not have may lead to a
// serial device server instead (com_port_map_win32.h); there is no folder of links.
#include <cerrno>
#include <system_error>

#include "serial/com_port_map_win32.h"
#include "serial/com_port_names.h"

namespace linkmate {

std::string PortMapDir() { return std::string(); }

std::string ComPortDevicePath(int portNumber) {
    if (portNumber < 1) return std::string();
    if (std::string address = MappedComPortAddress(portNumber); !address.empty()) return address;
    return FormatComPortName(portNumber);
}

std::string ResolvePortName(std::string_view name) {
    if (const auto number = ParseComPortName(name)) return ComPortDevicePath(*number);
    return std::string(name);
}

bool RegisterComPort(int, const std::string&, std::string* reason) {
    if (reason != nullptr) *reason = std::generic_category().message(ENOSYS);
    return false;
}

void UnregisterComPort(int, const std::string&) {}

}  // namespace linkmate
