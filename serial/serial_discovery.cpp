#include "serial/serial_discovery.h"

#include <algorithm>
#include <sstream>

#include "protocol/text.h"

namespace linkmate {
namespace {

// The serial core's PORT_UNKNOWN: the 8250 driver registers ttyS0..ttyS31 whether or not a UART
// answers at their addresses, and gives the empty ones this type.
constexpr const char* kNoUart = "0";

std::string Property(const TtyRecord& r, const char* key) {
    const auto found = r.properties.find(key);
    return found == r.properties.end() ? std::string() : found->second;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// udev's *_ENC properties keep the device's own text with unsafe bytes as \xNN; devices pad their
// strings with blanks.
std::string DecodeUdevText(const std::string& encoded) {
    std::string out;
    for (size_t i = 0; i < encoded.size(); ++i) {
        if (encoded[i] == '\\' && i + 3 < encoded.size() && encoded[i + 1] == 'x' &&
            HexDigit(encoded[i + 2]) >= 0 && HexDigit(encoded[i + 3]) >= 0) {
            out += static_cast<char>(HexDigit(encoded[i + 2]) * 16 + HexDigit(encoded[i + 3]));
            i += 3;
        } else {
            out += encoded[i];
        }
    }
    const size_t first = out.find_first_not_of(' ');
    if (first == std::string::npos) return std::string();
    return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

// The device's own name for itself, else the USB database's, else udev's underscored form.
std::string Named(const TtyRecord& r, const char* encoded, const char* database,
                  const char* plain) {
    std::string name = DecodeUdevText(Property(r, encoded));
    if (name.empty()) name = Property(r, database);
    if (name.empty()) {
        name = Property(r, plain);
        std::replace(name.begin(), name.end(), '_', ' ');
    }
    return name;
}

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

bool IsConnectable(const TtyRecord& r) {
    return r.hasParent && !r.devnode.empty() && r.uartType != kNoUart;
}

std::string Kind(const TtyRecord& r, const std::string& driver) {
    if (StartsWith(r.sysname, "ttyACM") || driver == "cdc_acm") {
        return text::translate("Ports", "USB modem-class serial device");
    }
    if (Property(r, "ID_BUS") == "usb" || !Property(r, "ID_VENDOR_ID").empty()) {
        return text::translate("Ports", "USB serial adapter");
    }
    if (StartsWith(r.sysname, "rfcomm")) return text::translate("Ports", "Bluetooth serial link");
    if (!r.uartType.empty()) return text::translate("Ports", "on-board serial port");
    return text::translate("Ports", "serial device");
}

SerialDevice FromRecord(const TtyRecord& r) {
    SerialDevice d;
    d.path = r.devnode;
    d.vendor = Named(r, "ID_VENDOR_ENC", "ID_VENDOR_FROM_DATABASE", "ID_VENDOR");
    d.model = Named(r, "ID_MODEL_ENC", "ID_MODEL_FROM_DATABASE", "ID_MODEL");
    d.vendorId = Property(r, "ID_VENDOR_ID");
    d.productId = Property(r, "ID_MODEL_ID");
    d.serialNumber = Property(r, "ID_SERIAL_SHORT");
    d.driver = Property(r, "ID_USB_DRIVER");
    if (d.driver.empty()) d.driver = r.driver;
    std::istringstream links(Property(r, "DEVLINKS"));
    for (std::string link; links >> link;) {
        if (d.byId.empty() && link.find("/serial/by-id/") != std::string::npos) d.byId = link;
        if (d.byPath.empty() && link.find("/serial/by-path/") != std::string::npos) d.byPath = link;
    }
    d.stableName = d.byId.empty() ? d.byPath : d.byId;

    std::string what = d.vendor;
    if (!d.model.empty()) what += (what.empty() ? "" : " ") + d.model;
    if (!d.vendorId.empty()) {
        what += (what.empty() ? "(" : " (") + d.vendorId + ":" + d.productId;
        if (!d.serialNumber.empty()) what += ", serial " + d.serialNumber;
        what += ")";
    }
    const std::string kind = Kind(r, d.driver);
    d.description = what.empty() ? kind : kind + ": " + what;
    return d;
}

}  // namespace

std::vector<SerialDevice> SerialDevicesFromRecords(const std::vector<TtyRecord>& records) {
    std::vector<const TtyRecord*> chosen;
    for (const TtyRecord& r : records) {
        if (IsConnectable(r)) chosen.push_back(&r);
    }
    std::sort(chosen.begin(), chosen.end(), [](const TtyRecord* a, const TtyRecord* b) {
        return a->sysname.size() != b->sysname.size() ? a->sysname.size() < b->sysname.size()
                                                      : a->sysname < b->sysname;
    });
    std::vector<SerialDevice> devices;
    devices.reserve(chosen.size());
    for (const TtyRecord* r : chosen) devices.push_back(FromRecord(*r));
    return devices;
}

Discovery DiscoverTtyDevices(const DeviceRoots& roots) {
    if (roots.udev != nullptr) {
        if (auto records = roots.udev())
            return {SerialDevicesFromRecords(*records), DiscoverySource::Udev};
    }
    return {SerialDevicesFromRecords(ReadSysfsTtyRecords(roots)), DiscoverySource::Sysfs};
}

}  // namespace linkmate
