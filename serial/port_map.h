// The port map seen by an operator: what each of COM1..COM8 is, which serial devices the machine
// has, and assigning a device to a COM number or freeing one. Devices are the tty devices with a
// real device behind them (serial_discovery.h) and running virtual converters (links of the map
// whose owner record names a live process).
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

#include "serial/serial_discovery.h"

namespace linkmate {

inline constexpr int kFirstComPort = 1;
inline constexpr int kLastComPort = 8;

struct ComPortInfo {
    int number = 0;
    std::string linkPath;    // the map's link, when there is one
    std::string devicePath;  // the device a Connect opens
    bool present = false;
    std::string description;  // what it is, or why it is "not present"
};

// The devices and how they were found (udev, or the sysfs walk where udev does not run).
Discovery DiscoverSerialDevices(const DeviceRoots& roots = {});
std::vector<SerialDevice> DetectSerialDevices(const DeviceRoots& roots = {});
ComPortInfo DescribeComPort(int number, const DeviceRoots& roots = {});
// COM1..COM8 in order, from one discovery of the devices.
std::vector<ComPortInfo> DescribeComPorts(const DeviceRoots& roots = {});

// Points COMn at `devicePath`, by its stable name where udev gives one, so that the assignment
// survives re-plugging into another socket, or at a serial device server's address
// ("rfc2217://HOST:PORT", "socket://HOST:PORT"; checked for its form only). Atomic per link;
// refuses numbers outside 1..8 and devices that are not there. False with a reason in `error`.
bool AssignComPort(int number, const std::string& devicePath, std::string* error,
                   const DeviceRoots& roots = {});
// Removes COMn's link (a link only, never a file of another kind).
bool FreeComPort(int number, std::string* error);

// A virtual converter's record beside its link (comN.owner: process id and device), so that a
// link it left behind when it was killed is recognised and never opened.
bool RecordComPortOwner(int number, pid_t pid, const std::string& devicePath);
void ForgetComPortOwner(int number, pid_t pid);
// The live converter that owns COMn's link, or 0.
pid_t ComPortOwner(int number);
// True when COMn's link is a converter's that no longer runs (and still points at its device).
bool IsStaleConverterLink(int number);

}  // namespace linkmate
