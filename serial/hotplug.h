// What a udev event of the tty subsystem means to a window that lists the ports and may hold one
// of them open, and the monitor that delivers those events. Pure decisions here; the monitor's
// descriptor goes into the window's own event loop.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "serial/serial_discovery.h"

namespace linkmate {

struct TtyEvent {
    enum class Action { Added, Removed, Other };
    Action action = Action::Other;
    std::string devnode;             // /dev/ttyUSB0
    std::vector<std::string> links;  // /dev/serial/by-id/..., /dev/serial/by-path/...
};

// An event from udev's action ("add", "remove", "change", "bind", ...), device node and DEVLINKS.
TtyEvent MakeTtyEvent(std::string_view action, std::string devnode, std::string_view devlinks);

struct HotplugEffect {
    bool refreshPorts = false;         // a device came or went: list the ports again
    bool openedDeviceRemoved = false;  // the open port's device is gone: close it
};

// `openedNames`: every name the open port's device had when it was opened (see OpenedDeviceNames);
// empty when no port is open.
HotplugEffect ConsiderTtyEvent(const TtyEvent& event, const std::vector<std::string>& openedNames);

// The name a port was opened by and every link target on the way to its device (COMn's link, the
// by-id link, the device itself), taken while the device is there: after an unplug the links are
// gone and only these names tell which device went.
std::vector<std::string> OpenedDeviceNames(const std::string& openedPath);

// udev's stream of tty events. Without udev it watches nothing and has no descriptor.
class TtyMonitor {
public:
    TtyMonitor();
    ~TtyMonitor();
    TtyMonitor(const TtyMonitor&) = delete;
    TtyMonitor& operator=(const TtyMonitor&) = delete;

    // Readable when events wait; -1 when nothing is watched.
    int Descriptor() const;
    // Every event waiting now, without blocking.
    std::vector<TtyEvent> TakeEvents();

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// A window's watch over the ports, polled on its own thread: udev's events, the port map's links
// (a virtual converter's link comes and goes without any udev event), the entries of /dev (where
// udev does not run), and the device of the port the window holds open.
class PortWatch {
public:
    // How often a window polls: a device that comes or goes shows within a second.
    static constexpr std::chrono::milliseconds kPollInterval{250};

    explicit PortWatch(DeviceRoots roots = {});

    // After a port was opened by `openedPath` (COMn's device path); after it was closed.
    void Opened(const std::string& openedPath);
    void Closed();

    // What changed since the last call. The open device's removal is told once.
    HotplugEffect Poll();

private:
    // Which node the open device was: a node made again under the same name (a pseudo-terminal's
    // number given to another program, an adapter plugged in again) is another device.
    struct Identity {
        dev_t device = 0;
        ino_t node = 0;
        long long changedNs = 0;
        bool operator==(const Identity&) const = default;
    };
    static bool IdentityOf(const std::string& path, Identity* identity);
    std::string Fingerprint() const;

    DeviceRoots m_roots;
    TtyMonitor m_monitor;
    std::string m_fingerprint;
    std::vector<std::string> m_openedNames;
    Identity m_opened;
};

}  // namespace linkmate
