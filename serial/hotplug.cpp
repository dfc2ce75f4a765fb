#include "serial/hotplug.h"

#include <algorithm>
#include <sstream>

namespace linkmate {

TtyEvent MakeTtyEvent(std::string_view action, std::string devnode, std::string_view devlinks) {
    TtyEvent event;
    if (action == "add") event.action = TtyEvent::Action::Added;
    if (action == "remove") event.action = TtyEvent::Action::Removed;
    event.devnode = std::move(devnode);
    std::istringstream links{std::string(devlinks)};
    for (std::string link; links >> link;) event.links.push_back(link);
    return event;
}

HotplugEffect ConsiderTtyEvent(const TtyEvent& event, const std::vector<std::string>& openedNames) {
    HotplugEffect effect;
    // "change", "bind" and the like leave the list as it is; a tty without a node is no port.
    if (event.action == TtyEvent::Action::Other || event.devnode.empty()) return effect;
    effect.refreshPorts = true;
    if (event.action != TtyEvent::Action::Removed) return effect;
    const auto named = [&](const std::string& name) {
        return std::find(openedNames.begin(), openedNames.end(), name) != openedNames.end();
    };
    effect.openedDeviceRemoved =
        named(event.devnode) || std::any_of(event.links.begin(), event.links.end(), named);
    return effect;
}

}  // namespace linkmate
