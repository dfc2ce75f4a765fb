// The tty records from udev's database through libudev.
#include <libudev.h>
#include <unistd.h>

#include <memory>

#include "serial/serial_discovery.h"
#include "serial/udev_handles.h"

namespace linkmate {
namespace {

std::string OrEmpty(const char* s) { return s != nullptr ? std::string(s) : std::string(); }

TtyRecord RecordOf(udev_device* device) {
    TtyRecord r;
    r.sysname = OrEmpty(udev_device_get_sysname(device));
    r.devnode = OrEmpty(udev_device_get_devnode(device));
    // A tty with a real device behind it has a "device" link in sysfs; virtual consoles, ptmx and
    // the like have none.
    r.hasParent =
        ::access((OrEmpty(udev_device_get_syspath(device)) + "/device").c_str(), F_OK) == 0;
    r.uartType = OrEmpty(udev_device_get_sysattr_value(device, "type"));
    // The serial core's own "port" and "ctrl" devices stand between a UART and its real driver.
    for (udev_device* up = udev_device_get_parent(device); up != nullptr && r.driver.empty();
         up = udev_device_get_parent(up)) {
        if (OrEmpty(udev_device_get_subsystem(up)) != kSerialCoreBus)
            r.driver = OrEmpty(udev_device_get_driver(up));
    }
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_device_get_properties_list_entry(device)) {
        r.properties[udev_list_entry_get_name(entry)] = OrEmpty(udev_list_entry_get_value(entry));
    }
    return r;
}

}  // namespace

bool UdevRuns() { return ::access(kUdevControlSocket, F_OK) == 0; }

std::optional<std::vector<TtyRecord>> ReadUdevTtyRecords() {
    if (!UdevRuns()) return std::nullopt;
    const UdevPtr context(udev_new());
    if (!context) return std::nullopt;
    const UdevEnumeratePtr enumerate(udev_enumerate_new(context.get()));
    if (!enumerate || udev_enumerate_add_match_subsystem(enumerate.get(), "tty") < 0 ||
        udev_enumerate_scan_devices(enumerate.get()) < 0) {
        return std::nullopt;
    }
    std::vector<TtyRecord> records;
    udev_list_entry* entry = nullptr;
    udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
        const UdevDevicePtr device(
            udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
        // A device that went away between the scan and now is simply not there.
        if (device) records.push_back(RecordOf(device.get()));
    }
    return records;
}

}  // namespace linkmate
