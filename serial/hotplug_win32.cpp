// Windows tells of ports that come and go through its DOS device names: COMn names a device
// object while the port is there. No udev: the monitor watches nothing, and the watch compares
// what COM1..COM8 name (and the port map's entries for them) from one poll to the next.
#include <windows.h>

#include "profile/port_map_store.h"
#include "serial/hotplug.h"
#include "serial/port_map.h"

namespace linkmate {
namespace {

// The device object behind `name` ("COM3" -> "\Device\Serial2"); empty when there is none.
std::string DosDeviceTarget(const std::string& name) {
    char target[1024];
    const DWORD length = QueryDosDeviceA(name.c_str(), target, sizeof target);
    return length == 0 ? std::string() : std::string(target);
}

// "\\.\COM3" -> "COM3".
std::string DosName(const std::string& path) {
    const size_t slash = path.find_last_of('\\');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

struct TtyMonitor::State {};

TtyMonitor::TtyMonitor() = default;
TtyMonitor::~TtyMonitor() = default;
int TtyMonitor::Descriptor() const { return -1; }
std::vector<TtyEvent> TtyMonitor::TakeEvents() { return {}; }

PortWatch::PortWatch(DeviceRoots roots) : m_roots(std::move(roots)), m_fingerprint(Fingerprint()) {}

void PortWatch::Opened(const std::string& openedPath) {
    const std::string name = DosName(openedPath);
    const std::string target = DosDeviceTarget(name);
    m_openedNames.clear();
    if (!target.empty()) m_openedNames = {name, target};
}

void PortWatch::Closed() { m_openedNames.clear(); }

// The port map's entries count too: an address given to a COM number while the window runs
// (by reg.exe, or another program's Ports dialog) shows in its list.
std::string PortWatch::Fingerprint() const {
    std::string print;
    for (int n = kFirstComPort; n <= kLastComPort; ++n) {
        print += std::to_string(n) + ":" + DosDeviceTarget("COM" + std::to_string(n)) + ">" +
                 ReadPortMapEntry(n) + ";";
    }
    return print;
}

HotplugEffect PortWatch::Poll() {
    HotplugEffect effect;
    if (std::string now = Fingerprint(); now != m_fingerprint) {
        m_fingerprint = std::move(now);
        effect.refreshPorts = true;
    }
    // The open port's name gone, or naming another device object: its adapter was unplugged.
    if (!m_openedNames.empty() && DosDeviceTarget(m_openedNames.front()) != m_openedNames.back()) {
        effect.openedDeviceRemoved = true;
        m_openedNames.clear();
    }
    return effect;
}

}  // namespace linkmate
