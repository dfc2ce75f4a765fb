// Windows names its ports itself: COMn is "\\.\COMn", which also reaches COM10 and above. There is
// no port map to write; the Device Manager assigns the numbers.
#include <cerrno>
#include <system_error>

#include "serial/com_port_names.h"

namespace linkmate {

std::string PortMapDir() { return std::string(); }

std::string ComPortDevicePath(int portNumber) {
    return portNumber < 1 ? std::string() : FormatComPortName(portNumber);
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
