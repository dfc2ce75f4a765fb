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
    std::string place;
    if (const auto number = ParseComPortName(portName)) {
        const ComPortInfo info = DescribeComPort(*number);
        place = text::Arg(OpenFailureText(OpenText::kPortIs),
                          {"COM" + std::to_string(*number), info.devicePath, info.description});
    } else {
        place = text::Arg(OpenFailureText(OpenText::kDeviceIs), {portName});
    }
    std::string advice;
    switch (osError) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            advice =
                text::translate("OpenFailure",
                                "The port is not present: the adapter may be unplugged, or it has "
                                "another COM number. The Device Manager lists the ports under "
                                "\"Ports (COM & LPT)\".");
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            // Windows does not say which program it is.
            advice = text::Arg(OpenFailureText(OpenText::kInUse),
                               {OpenFailureText(OpenText::kAnotherProgram)});
            break;
        case ERROR_GEN_FAILURE:
        case ERROR_DEVICE_NOT_CONNECTED: advice = OpenFailureText(OpenText::kNoResponse); break;
        default: break;
    }
    return JoinOpenFailure(place, CFileException::SystemErrorText(osError), advice);
}

}  // namespace linkmate
