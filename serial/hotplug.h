// What a udev event of the tty subsystem means to a window that lists the ports and may hold one
// of them open, and the monitor that delivers those events. Pure decisions here; the monitor's
// descriptor goes into the window's own event loop.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

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
    bool refreshPorts = false;        // a device came or went: list the ports again
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

}  // namespace linkmate
