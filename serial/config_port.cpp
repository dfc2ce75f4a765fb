#include "serial/config_port.h"

#include "serial/com_port_names.h"

namespace linkmate {

bool OpenConfigPort(CSerialComm& port, int32_t deviceType, int32_t portIndex,
                    CFileException* errorReport) {
    const std::string name = FormatComPortName(static_cast<long long>(portIndex) + 1);
    if (deviceType < 0 || static_cast<size_t>(deviceType) >= ConfigPortBaudTable.size()) {
        if (errorReport != nullptr) errorReport->Set(CFileException::NoDeviceError(), name);
        return false;
    }
    return port.Open(name, ConfigPortBaudTable[static_cast<size_t>(deviceType)], 8,
                     LineSettings::kNoParity, LineSettings::kOneStopBit, errorReport);
}

}  // namespace linkmate
