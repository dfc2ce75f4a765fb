// Windows numbers its ports itself and names them through its DOS devices (port_map_win32.cpp):
// there is neither udev nor sysfs to read.
#include "serial/serial_discovery.h"

namespace linkmate {

std::optional<std::vector<TtyRecord>> ReadUdevTtyRecords() { return std::nullopt; }

std::vector<TtyRecord> ReadSysfsTtyRecords(const DeviceRoots&) { return {}; }

}  // namespace linkmate
