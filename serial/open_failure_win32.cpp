#include <windows.h>

#include "protocol/text.h"
#include "serial/com_port_names.h"
#include "serial/file_exception.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"

namespace linkmate {

// Windows does not say which program holds a port.
std::string DeviceHolder(const std::string&) { return std::string(); }

std::string DescribeOpenFailure(const std::string& portName, long osError, OpenFailureReader) {
    std::string out;
    if (const auto number = ParseComPortName(portName)) {
        const ComPortInfo info = DescribeComPort(*number);
        out = text::Arg(text::translate("OpenFailure", "%1 is %2: %3."),
                        {"COM" + std::to_string(*number), info.devicePath, info.description});
    } else {
        out = text::Arg(text::translate("OpenFailure", "The device is %1."), {portName});
    }
    out += "\n" +
           text::Arg(text::translate("OpenFailure", "The system says: %1."),
                     {CFileException::SystemErrorText(osError)}) +
           "\n";
    switch (osError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            out +=
                text::translate("OpenFailure",
                                "The port is not present: the adapter may be unplugged, or it has "
                                "another COM number. The Device Manager lists the ports under "
                                "\"Ports (COM & LPT)\".");
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            // Windows does not say which program it is.
            out += text::Arg(text::translate("OpenFailure",
                                             "The port is in use by %1. Close it there, or choose "
                                             "another port."),
                             {text::translate("OpenFailure", "another program")});
            break;
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED:
            out += text::translate(
                "OpenFailure",
                "The device does not respond: an on-board port without a UART, or a failing "
                "adapter.");
            break;
        default:
            break;
    }
    // Without advice, no empty line after what the system says.
    if (out.back() == '\n') out.pop_back();
    return out;
}

}  // namespace linkmate
