// What to tell an operator whose user may not open a serial device, from the device's real mode,
// owner and group. Joining the group helps only when the group may read and write; the root group
// is never one to join. Otherwise a udev rule that hands the device to the dialout group is the
// lasting remedy, keyed on the adapter's own USB vendor id (or the kernel's name of an on-board
// port).
#pragma once

#include <string>

namespace linkmate {

struct DeviceAccess {
    unsigned mode = 0;  // permission bits, 0660
    std::string owner;  // root
    unsigned groupId = 0;
    std::string group;       // dialout
    std::string kernelName;  // ttyUSB0
    std::string vendorId;    // 0403; empty for a device without one
};

// Where a udev rule puts the device, and which group it gives it to.
inline constexpr const char* kUdevRuleFile = "/etc/udev/rules.d/70-linkmate.rules";
inline constexpr const char* kSerialGroup = "dialout";

// Plain text, several lines, in the operator's language.
std::string PermissionAdvice(const DeviceAccess& access);

// The udev rule line for the device: SUBSYSTEM=="tty", ATTRS{idVendor}=="0403", GROUP="dialout",
// MODE="0660"; empty when the device has neither a vendor id nor a kernel name.
std::string UdevRuleFor(const DeviceAccess& access);

// The access of the device at `path` (links followed); the vendor id from the discovered devices.
// False when the device cannot be looked at.
bool ReadDeviceAccess(const std::string& path, DeviceAccess* access);

}  // namespace linkmate
