// The station map of a production line: which converter is which. One section per station, pinned
// to an adapter's USB serial number, to a physical USB port (its /dev/serial/by-path name), to a
// device path or to a COM number of the port map; each with its model. Resolving a map against the
// devices present is a pure step, so that it can be tried with recorded udev properties.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "serial/serial_discovery.h"

namespace linkmate::cli {

// How a station names its device, in the order the map's keys are documented.
enum class PinKind { kUsbSerial, kUsbPath, kDevice, kCom, kAddress };

struct Station {
    std::string name;  // the section's name, "bench-3"
    PinKind kind = PinKind::kDevice;
    std::string pin;    // the key's value as written
    int32_t model = 0;  // 0 Ternix-A, 1 Ternix-B
    int line = 0;       // of the section header, for messages
};

struct StationMap {
    std::vector<Station> stations;  // in the file's order
};

// Reads the map's text; false with "PATH:LINE: reason" lines in `error`.
bool ParseStationMap(const std::string& text, const std::string& path, StationMap& map,
                     std::string* error);
bool ReadStationMap(const std::string& path, StationMap& map, std::string* error);

// "usb-serial", "usb-path", ...
const char* PinKeyName(PinKind kind);

// What a station's entry stands for now.
struct ResolvedStation {
    Station station;
    std::string device;     // what the port is opened as; empty when nothing was found
    std::string canonical;  // the device behind links, for telling two stations on one device apart
    std::string problem;    // why nothing is written to it; empty when it may be written
    // Who the adapter is, where discovery knows it.
    std::string serialNumber;
    std::string usbPath;  // the /dev/serial/by-path name
    std::string description;
};

struct LineResolution {
    std::vector<ResolvedStation> stations;
    std::vector<std::string> warnings;  // adapters a map cannot pin by serial number
};

// Hooks for the file system, so that tests can stand in for /dev and the port map.
struct ResolveEnv {
    // The device behind `path` (links followed), or empty when there is none.
    std::string (*canonical)(const std::string& path) = nullptr;
    // What COMn opens (through the port map).
    std::string (*comDevice)(int number) = nullptr;
};
ResolveEnv SystemResolveEnv();

// Each station against the adapters present: its device, or why it has none (no adapter, two
// adapters with its serial number, the same device as an earlier station).
LineResolution ResolveStations(const StationMap& map, const std::vector<SerialDevice>& present,
                               const ResolveEnv& env);

// A map of the adapters present, pinned by USB port, for the user to edit.
std::string InitialStationMap(const std::vector<SerialDevice>& present);

}  // namespace linkmate::cli
