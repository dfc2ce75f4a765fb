#include "tools/cli/station_map.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>

#include "serial/com_port_names.h"
#include "tools/cli/line_platform.h"

namespace linkmate::cli {
namespace {

constexpr const char* kDefaultsSection = "defaults";
constexpr int kHighestComNumber = 255;
constexpr const char* kByPathFolder = "/dev/serial/by-path/";

std::string Trim(const std::string& s) {
    const size_t first = s.find_first_not_of(" \t\r");
    if (first == std::string::npos) return std::string();
    return s.substr(first, s.find_last_not_of(" \t\r") - first + 1);
}

// Engineers quote values with blanks in them, as in the configuration files.
std::string Unquote(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"') return s.substr(1, s.size() - 2);
    return s;
}

std::optional<PinKind> PinKindOf(const std::string& key) {
    for (PinKind k : {PinKind::kUsbSerial, PinKind::kUsbPath, PinKind::kDevice, PinKind::kCom,
                      PinKind::kAddress}) {
        if (key == PinKeyName(k)) return k;
    }
    return std::nullopt;
}

// The by-path name without its folder: the map may hold either form.
std::string ByPathName(const std::string& s) {
    return s.starts_with(kByPathFolder) ? s.substr(std::strlen(kByPathFolder)) : s;
}

std::string Join(const std::vector<std::string>& items) {
    std::string out;
    for (const std::string& s : items) out += (out.empty() ? "" : ", ") + s;
    return out;
}

std::string SystemComDevice(int number) { return ResolvePortName(FormatComPortName(number)); }

// The map's entry, parsed so far.
struct Section {
    Station station;
    std::optional<int32_t> model;
    int pins = 0;
};

}  // namespace

const char* PinKeyName(PinKind kind) {
    switch (kind) {
        case PinKind::kUsbSerial: return "usb-serial";
        case PinKind::kUsbPath: return "usb-path";
        case PinKind::kDevice: return "device";
        case PinKind::kCom: return "com";
        case PinKind::kAddress: return "address";
    }
    return "";
}

bool ParseStationMap(const std::string& text, const std::string& path, StationMap& map,
                     std::string* error) {
    std::vector<Section> sections;
    std::optional<int32_t> defaultModel;
    bool inDefaults = false;
    std::string errors;
    auto fail = [&](int line, const std::string& why) {
        errors += path + ":" + std::to_string(line) + ": " + why + "\n";
    };
    std::istringstream in(text);
    std::string raw;
    for (int line = 1; std::getline(in, raw); ++line) {
        const std::string s = Trim(raw);
        if (s.empty() || s[0] == ';' || s[0] == '#') continue;
        if (s[0] == '[') {
            const std::string name = s.back() == ']' ? Trim(s.substr(1, s.size() - 2)) : "";
            if (name.empty()) {
                fail(line, "a section is [NAME]");
                inDefaults = false;
                continue;
            }
            inDefaults = name == kDefaultsSection;
            if (inDefaults) continue;
            const bool taken = std::any_of(sections.begin(), sections.end(), [&](const Section& x) {
                return x.station.name == name;
            });
            if (taken) fail(line, "station \"" + name + "\" is named twice");
            sections.push_back({});
            sections.back().station.name = name;
            sections.back().station.line = line;
            continue;
        }
        const size_t eq = s.find('=');
        if (eq == std::string::npos) {
            fail(line, "not KEY=VALUE: \"" + s + "\"");
            continue;
        }
        const std::string key = Trim(s.substr(0, eq));
        const std::string value = Unquote(Trim(s.substr(eq + 1)));
        if (!inDefaults && sections.empty()) {
            fail(line, "\"" + key + "\" stands before the first [station]");
            continue;
        }
        if (key == "model") {
            if (value != "A" && value != "B") {
                fail(line, "model takes A or B, not \"" + value + "\"");
                continue;
            }
            (inDefaults ? defaultModel : sections.back().model) = value == "A" ? 0 : 1;
            continue;
        }
        const std::optional<PinKind> kind = PinKindOf(key);
        if (!kind || inDefaults) {
            fail(line, "unknown key \"" + key + "\" " +
                           (inDefaults ? "in [defaults], which takes model"
                                       : "(a station takes one of usb-serial, usb-path, device, "
                                         "com, address, and model)"));
            continue;
        }
        Section& section = sections.back();
        if (value.empty()) {
            fail(line, key + " has no value");
            continue;
        }
        if (*kind == PinKind::kCom) {
            char* end = nullptr;
            errno = 0;
            const long n = std::strtol(value.c_str(), &end, 10);
            if (*end != '\0' || errno != 0 || n < 1 || n > kHighestComNumber) {
                fail(line, "com takes a number 1..255, not \"" + value + "\"");
                continue;
            }
        }
        if (++section.pins > 1) {
            fail(line,
                 "station \"" + section.station.name +
                     "\" is pinned twice: give one of usb-serial, usb-path, device, com, address");
            continue;
        }
        section.station.kind = *kind;
        section.station.pin = value;
    }
    for (Section& section : sections) {
        if (section.pins == 0) {
            fail(section.station.line, "station \"" + section.station.name +
                                           "\" names no device (usb-serial, usb-path, device, "
                                           "com or address)");
        }
        section.station.model = section.model.value_or(defaultModel.value_or(0));
    }
    if (sections.empty() && errors.empty()) errors = path + ": no stations\n";
    if (!errors.empty()) {
        if (error != nullptr) *error = errors.substr(0, errors.size() - 1);
        return false;
    }
    map.stations.clear();
    for (const Section& section : sections) map.stations.push_back(section.station);
    return true;
}

bool ReadStationMap(const std::string& path, StationMap& map, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    if (in) text << in.rdbuf();
    if (!in || in.bad()) {
        if (error != nullptr)
            *error = path + ": the station map cannot be read: " + std::strerror(errno);
        return false;
    }
    return ParseStationMap(text.str(), path, map, error);
}

ResolveEnv SystemResolveEnv() { return {&CanonicalDevice, &SystemComDevice}; }

LineResolution ResolveStations(const StationMap& map, const std::vector<SerialDevice>& present,
                               const ResolveEnv& env) {
    LineResolution out;
    std::map<std::string, std::vector<const SerialDevice*>> bySerial;
    for (const SerialDevice& d : present) {
        if (!d.serialNumber.empty()) {
            bySerial[d.serialNumber].push_back(&d);
        } else if (!d.vendorId.empty()) {
            out.warnings.push_back(d.path + " (" + d.description +
                                   ") reports no USB serial number: pin it by usb-path");
        }
    }
    for (const auto& [serial, devices] : bySerial) {
        if (devices.size() < 2) continue;
        std::vector<std::string> paths;
        for (const SerialDevice* d : devices) paths.push_back(d->path);
        out.warnings.push_back(Join(paths) + " report the same USB serial number \"" + serial +
                               "\": pin them by usb-path");
    }

    for (const Station& s : map.stations) {
        ResolvedStation r;
        r.station = s;
        std::vector<const SerialDevice*> found;
        switch (s.kind) {
            case PinKind::kUsbSerial:
                if (const auto it = bySerial.find(s.pin); it != bySerial.end()) found = it->second;
                if (found.empty())
                    r.problem = "no adapter with USB serial number \"" + s.pin + "\"";
                break;
            case PinKind::kUsbPath:
                for (const SerialDevice& d : present) {
                    if (!d.byPath.empty() && ByPathName(d.byPath) == ByPathName(s.pin))
                        found.push_back(&d);
                }
                if (found.empty()) r.problem = "nothing plugged into USB port " + ByPathName(s.pin);
                break;
            case PinKind::kDevice: r.device = s.pin; break;
            case PinKind::kCom:
                r.device = env.comDevice(std::stoi(s.pin));
                if (r.device.empty()) r.problem = "COM" + s.pin + " leads to no device";
                break;
            case PinKind::kAddress:
                r.problem = "network stations (address=) are not supported by this version";
                break;
        }
        if (found.size() > 1) {
            std::vector<std::string> paths;
            for (const SerialDevice* d : found) paths.push_back(d->path);
            r.problem = std::to_string(found.size()) + " adapters report USB serial number \"" +
                        s.pin + "\" (" + Join(paths) + "): pin this station by usb-path";
        } else if (found.size() == 1) {
            r.device = found.front()->path;
        }
        if (r.problem.empty()) {
            r.canonical = env.canonical(r.device);
            if (r.canonical.empty()) r.problem = "no device " + r.device;
        }
        for (const SerialDevice& d : present) {
            if (r.canonical.empty() || env.canonical(d.path) != r.canonical) continue;
            r.serialNumber = d.serialNumber;
            r.usbPath = ByPathName(d.byPath);
            r.description = d.description;
        }
        out.stations.push_back(std::move(r));
    }

    // Two stations on one device: which of them is right cannot be known, so neither is written.
    for (ResolvedStation& r : out.stations) {
        if (!r.problem.empty()) continue;
        std::vector<std::string> others;
        for (const ResolvedStation& other : out.stations) {
            if (&other != &r && other.canonical == r.canonical &&
                (other.problem.empty() || other.problem.starts_with("the same device")))
                others.push_back(other.station.name);
        }
        if (!others.empty())
            r.problem = "the same device (" + r.canonical + ") as station " + Join(others);
    }
    return out;
}

std::string InitialStationMap(const std::vector<SerialDevice>& present) {
    std::string out =
        "; Stations of this line, one section each, pinned by the USB port the adapter is plugged\n"
        "; into (usb-path), by the adapter's USB serial number (usb-serial), by a device path\n"
        "; (device) or by a COM number of the port map (com). Rename the sections as the line\n"
        "; names its stations.\n"
        "[defaults]\nmodel=A\n";
    int n = 0;
    for (const SerialDevice& d : present) {
        out += "\n[station-" + std::to_string(++n) + "]\n";
        if (!d.description.empty()) out += "; " + d.description + "\n";
        if (!d.byPath.empty()) {
            out += "usb-path=" + ByPathName(d.byPath) + "\n";
            if (!d.serialNumber.empty()) out += ";usb-serial=" + d.serialNumber + "\n";
        } else {
            out += "device=" + d.path + "\n";
        }
    }
    return out;
}

}  // namespace linkmate::cli
