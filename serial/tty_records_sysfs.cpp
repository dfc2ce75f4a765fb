// The tty records from sysfs alone, for machines where udev does not run: what the kernel shows
// of each tty's device, and the /dev/serial links that a udev elsewhere (the host of a container)
// may have left.
#include <sys/stat.h>

#include <filesystem>
#include <system_error>

#include "serial/first_line.h"
#include "serial/serial_discovery.h"

namespace linkmate {
namespace {

namespace fs = std::filesystem;

std::string Canonical(const fs::path& path) {
    std::error_code error;
    const fs::path p = fs::canonical(path, error);
    return error ? std::string() : p.string();
}

// Text as udev's *_ENC properties carry it, so that one decoder reads both sources.
std::string EncodeLikeUdev(const std::string& text) {
    std::string out;
    for (const char c : text) out += c == '\\' ? std::string("\\x5c") : std::string(1, c);
    return out;
}

// The USB device above a tty: the first folder up from its device link with idVendor.
void AddUsbProperties(const fs::path& device, const std::string& sysTop, TtyRecord& record) {
    for (fs::path dir = device;
         dir.string().size() > sysTop.size() && dir.string().rfind(sysTop, 0) == 0;
         dir = dir.parent_path()) {
        if (!fs::exists(dir / "idVendor")) continue;
        auto& p = record.properties;
        p["ID_BUS"] = "usb";
        p["ID_VENDOR_ID"] = ReadFirstLine(dir / "idVendor");
        p["ID_MODEL_ID"] = ReadFirstLine(dir / "idProduct");
        p["ID_VENDOR_ENC"] = EncodeLikeUdev(ReadFirstLine(dir / "manufacturer"));
        p["ID_MODEL_ENC"] = EncodeLikeUdev(ReadFirstLine(dir / "product"));
        p["ID_SERIAL_SHORT"] = ReadFirstLine(dir / "serial");
        return;
    }
}

// The driver of the nearest folder up from the device that has one, past the serial core's own
// "port" and "ctrl" devices, which stand between a UART and its real driver.
std::string DriverOf(const fs::path& device, const std::string& sysTop) {
    for (fs::path dir = device;
         dir.string().size() > sysTop.size() && dir.string().rfind(sysTop, 0) == 0;
         dir = dir.parent_path()) {
        std::error_code error;
        if (fs::read_symlink(dir / "subsystem", error).filename() == kSerialCoreBus) continue;
        const fs::path driver = fs::read_symlink(dir / "driver", error);
        if (!error) return driver.filename().string();
    }
    return std::string();
}

}  // namespace

std::vector<TtyRecord> ReadSysfsTtyRecords(const DeviceRoots& roots) {
    // The links under /dev/serial, by the device they point at.
    std::vector<std::pair<std::string, std::string>> links;
    for (const char* folder : {"/serial/by-id", "/serial/by-path"}) {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(roots.dev + folder, error)) {
            links.emplace_back(Canonical(entry.path()), entry.path().string());
        }
    }
    const std::string sysTop = Canonical(roots.sys);
    std::vector<TtyRecord> records;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(roots.sys + "/class/tty", error)) {
        TtyRecord r;
        r.sysname = entry.path().filename().string();
        // Most ttys (consoles, pseudo-terminals) have no device link: passed over before the
        // costlier resolving of the link's whole path.
        struct stat st {};
        if (::lstat((entry.path() / "device").c_str(), &st) != 0) continue;
        const std::string device = Canonical(entry.path() / "device");
        r.hasParent = !device.empty();
        if (!r.hasParent) continue;
        const std::string node = roots.dev + "/" + r.sysname;
        if (::stat(node.c_str(), &st) != 0) continue;
        r.devnode = node;
        r.uartType = ReadFirstLine(entry.path() / "type");
        r.driver = DriverOf(device, sysTop);
        AddUsbProperties(device, sysTop, r);
        const std::string target = Canonical(node);
        std::string devlinks;
        for (const auto& [to, link] : links) {
            if (!target.empty() && to == target) devlinks += (devlinks.empty() ? "" : " ") + link;
        }
        if (!devlinks.empty()) r.properties["DEVLINKS"] = devlinks;
        records.push_back(std::move(r));
    }
    return records;
}

}  // namespace linkmate
