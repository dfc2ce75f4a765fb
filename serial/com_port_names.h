// COM-port names. Windows names a port "\\.\COMn"; here COMn is looked up in a per-user port map,
// a folder of symbolic links com1, com2, ... under $XDG_CONFIG_HOME/linkmate/dosdevices (default
// ~/.config/linkmate/dosdevices), each pointing at a device such as /dev/ttyUSB0. A port without a
// link is /dev/ttyS<n-1>, the traditional Linux name of COMn.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace linkmate {

// "\\.\COM%d" filled with `portNumber`.
std::string FormatComPortName(long long portNumber);

// The number n of "\\.\COMn" or "COMn" (any case), or nothing when the name is not of that form.
std::optional<int> ParseComPortName(std::string_view name);

// The folder of the port map; empty when neither XDG_CONFIG_HOME nor HOME is set.
std::string PortMapDir();

// The device path of COMn: the port map's link when there is one, else /dev/ttyS<n-1>. Empty for
// a number below 1, which names no port.
std::string ComPortDevicePath(int portNumber);

// A COM name resolved to its device path (empty for a link a killed virtual converter left
// behind); any other name is taken as a path already.
std::string ResolvePortName(std::string_view name);

// Points COMn at `target` in the port map, replacing an older link. False when the map cannot be
// written; then `reason`, when given, has the system's words for why.
bool RegisterComPort(int portNumber, const std::string& target, std::string* reason = nullptr);

// Removes COMn's link if it still points at `target`, so that a link somebody else made since is
// left alone.
void UnregisterComPort(int portNumber, const std::string& target);

}  // namespace linkmate
