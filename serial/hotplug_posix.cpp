// The names of an open device, and udev's monitor of tty events through libudev.
#include <libudev.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "serial/com_port_names.h"
#include "serial/hotplug.h"
#include "serial/port_map.h"
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
    if (!monitor ||
        udev_monitor_filter_add_match_subsystem_devtype(monitor.get(), "tty", nullptr) < 0 ||
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

PortWatch::PortWatch(DeviceRoots roots) : m_roots(std::move(roots)), m_fingerprint(Fingerprint()) {}

void PortWatch::Opened(const std::string& openedPath) {
    m_openedNames = OpenedDeviceNames(openedPath);
    if (!IdentityOf(m_openedNames.back(), &m_opened)) m_openedNames.clear();
}

void PortWatch::Closed() { m_openedNames.clear(); }

bool PortWatch::IdentityOf(const std::string& path, Identity* identity) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    *identity = {st.st_rdev, st.st_ino, st.st_ctim.tv_sec * 1'000'000'000LL + st.st_ctim.tv_nsec};
    return true;
}

// What the COM list and the Ports dialog show changes with: each link of the map (its target,
// whether that is there, the converter that owns it) and the entries of /dev, whose folder's
// change time moves whenever a device node comes or goes.
std::string PortWatch::Fingerprint() const {
    std::string print;
    const std::string map = PortMapDir();
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        const std::string link = map + "/com" + std::to_string(n);
        char target[4096];
        const ssize_t length = map.empty() ? -1 : ::readlink(link.c_str(), target, sizeof target);
        struct stat st {};
        print += std::to_string(n) + ":" +
                 (length < 0 ? std::string() : std::string(target, size_t(length))) +
                 (::stat(link.c_str(), &st) == 0 ? "+" : "-") + std::to_string(ComPortOwner(n)) +
                 ";";
    }
    struct stat dev {};
    if (::stat(m_roots.dev.c_str(), &dev) == 0) {
        print += std::to_string(dev.st_ctim.tv_sec) + "." + std::to_string(dev.st_ctim.tv_nsec);
    }
    return print;
}

HotplugEffect PortWatch::Poll() {
    HotplugEffect effect;
    for (const TtyEvent& event : m_monitor.TakeEvents()) {
        const HotplugEffect one = ConsiderTtyEvent(event, m_openedNames);
        effect.refreshPorts |= one.refreshPorts;
        effect.openedDeviceRemoved |= one.openedDeviceRemoved;
    }
    if (std::string now = Fingerprint(); now != m_fingerprint) {
        m_fingerprint = std::move(now);
        effect.refreshPorts = true;
    }
    Identity now;
    if (!m_openedNames.empty() && (!IdentityOf(m_openedNames.back(), &now) || !(now == m_opened))) {
        effect.openedDeviceRemoved = true;
    }
    if (effect.openedDeviceRemoved) m_openedNames.clear();
    return effect;
}

}  // namespace linkmate
