// The names of an open device, and udev's monitor of tty events through libudev.
#include <libudev.h>

#include <filesystem>
#include <system_error>

#include "serial/hotplug.h"
#include "serial/udev_handles.h"

namespace linkmate {

std::vector<std::string> OpenedDeviceNames(const std::string& openedPath) {
    namespace fs = std::filesystem;
    // Links may point at links (COMn -> by-id -> ../../ttyUSB0); a loop ends at the hop limit.
    constexpr int kMostLinkHops = 40;
    std::vector<std::string> names{openedPath};
    fs::path at = openedPath;
    for (int hop = 0; hop < kMostLinkHops; ++hop) {
        std::error_code error;
        if (!fs::is_symlink(fs::symlink_status(at, error)) || error) break;
        const fs::path target = fs::read_symlink(at, error);
        if (error) break;
        at = (target.is_absolute() ? target : at.parent_path() / target).lexically_normal();
        names.push_back(at.string());
    }
    return names;
}

struct TtyMonitor::State {
    UdevPtr context;
    UdevMonitorPtr monitor;
};

TtyMonitor::TtyMonitor() : m_state(std::make_unique<State>()) {
    if (!UdevRuns()) return;
    m_state->context.reset(udev_new());
    if (!m_state->context) return;
    UdevMonitorPtr monitor(udev_monitor_new_from_netlink(m_state->context.get(), "udev"));
    if (!monitor || udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr) < 0 ||
        udev_monitor_enable_receiving(monitor.get()) < 0) {
        return;
    }
    m_state->monitor = std::move(monitor);
}

TtyMonitor::~TtyMonitor() = default;

int TtyMonitor::Descriptor() const {
    return m_state->monitor ? udev_monitor_get_fd(m_state->monitor.get()) : -1;
}

std::vector<TtyEvent> TtyMonitor::TakeEvents() {
    std::vector<TtyEvent> events;
    if (!m_state->monitor) return events;
    // The monitor's socket is non-blocking: receive_device returns null when nothing waits.
    while (const UdevDevicePtr device{udev_monitor_receive_device(m_state->monitor.get())}) {
        const char* action = udev_device_get_action(device.get());
        const char* node = udev_device_get_devnode(device.get());
        const char* links = udev_device_get_property_value(device.get(), "DEVLINKS");
        events.push_back(MakeTtyEvent(action != nullptr ? action : "", node != nullptr ? node : "",
                                      links != nullptr ? links : ""));
    }
    return events;
}

}  // namespace linkmate
