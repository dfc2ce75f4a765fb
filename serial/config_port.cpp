#include "serial/config_port.h"

#include "serial/com_port_names.h"

namespace linkmate {

bool OpenConfigPort(CSerialComm& port, int32_t deviceType, int32_t portIndex) {
    if (deviceType < 0 || static_cast<size_t>(deviceType) >= ConfigPortBaudTable.size()) {
        return false;
    }
    return port.Open(FormatComPortName(static_cast<long long>(portIndex) + 1),
                     ConfigPortBaudTable[static_cast<size_t>(deviceType)], 8,
                     LineSettings::kNoParity, LineSettings::kOneStopBit);
}

}  // namespace linkmate
