// Owners of libudev's reference-counted objects, for the files that talk to libudev.
#pragma once

#include <libudev.h>

#include <memory>

namespace linkmate {

// udevd creates its control socket when it starts; in a container without udev there is none,
// and libudev would enumerate sysfs without any of udev's names or properties.
inline constexpr const char* kUdevControlSocket = "/run/udev/control";

bool UdevRuns();

struct UdevUnref {
    void operator()(udev* p) const { udev_unref(p); }
    void operator()(udev_enumerate* p) const { udev_enumerate_unref(p); }
    void operator()(udev_device* p) const { udev_device_unref(p); }
    void operator()(udev_monitor* p) const { udev_monitor_unref(p); }
};
using UdevPtr = std::unique_ptr<udev, UdevUnref>;
using UdevEnumeratePtr = std::unique_ptr<udev_enumerate, UdevUnref>;
using UdevDevicePtr = std::unique_ptr<udev_device, UdevUnref>;
using UdevMonitorPtr = std::unique_ptr<udev_monitor, UdevUnref>;

}  // namespace linkmate
