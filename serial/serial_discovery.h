// Which serial devices this machine has. The tty devices come as records in udev's terms, either
// from udev's database (vendor and model as the device and the USB database name them, the
// /dev/serial/by-id and by-path names) or, where udev does not run (a container), from a walk of
// /sys that fills what sysfs knows. One pure step turns records into the list an operator sees,
// so that the choice of devices and their descriptions can be tried with any set of records.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace linkmate {

// One device of the tty subsystem.
struct TtyRecord {
    std::string sysname;     // ttyUSB0
    std::string devnode;     // /dev/ttyUSB0
    bool hasParent = false;  // a real device behind it (virtual consoles and ptmx have none)
    std::string uartType;    // the serial core's "type" attribute; "0" is a port without a UART
    std::string driver;      // the driver of the nearest parent that has one
    // udev's properties as its database holds them: ID_VENDOR_ENC, ID_MODEL_ENC,
    // ID_VENDOR_FROM_DATABASE, ID_MODEL_FROM_DATABASE, ID_VENDOR_ID, ID_MODEL_ID,
    // ID_SERIAL_SHORT, ID_USB_DRIVER, ID_BUS and DEVLINKS (blank-separated paths).
    std::map<std::string, std::string> properties;
};

// The bus of the serial core's "port" and "ctrl" devices (Linux 6.3 and later).
inline constexpr const char* kSerialCoreBus = "serial-base";

using TtyRecordSource = std::optional<std::vector<TtyRecord>> (*)();

// The tty devices as udev knows them; nothing when udev does not run here.
std::optional<std::vector<TtyRecord>> ReadUdevTtyRecords();

// Where devices are looked for. Tests point the folders at a fake tree and replace udev with
// records of their own, or with nullptr for a machine without udev.
struct DeviceRoots {
    std::string dev = "/dev";
    std::string sys = "/sys";
    TtyRecordSource udev = &ReadUdevTtyRecords;
};

// The same records from sysfs alone: every /sys/class/tty entry with a device behind it whose
// node exists under roots.dev, with the USB device's attributes and the by-id / by-path links
// that point at it.
std::vector<TtyRecord> ReadSysfsTtyRecords(const DeviceRoots& roots);

struct SerialDevice {
    std::string path;          // /dev/ttyUSB0
    std::string stableName;    // the by-id name, else the by-path name, when udev gives one
    std::string description;   // "USB serial adapter: FTDI FT232R USB UART (0403:6001, serial A1)"
    std::string vendor;        // FTDI
    std::string model;         // FT232R USB UART
    std::string vendorId;      // 0403
    std::string productId;     // 6001
    std::string serialNumber;  // A1
    std::string driver;        // ftdi_sio
    std::string byId;          // /dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1-if00-port0
    std::string byPath;        // /dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0
};

// The devices among `records` that an operator can connect to, in the order of their names
// (ttyS2 before ttyS10), with what each is.
std::vector<SerialDevice> SerialDevicesFromRecords(const std::vector<TtyRecord>& records);

// DosDevices: Windows, which numbers its ports itself.
enum class DiscoverySource { Udev, Sysfs, DosDevices };

struct Discovery {
    std::vector<SerialDevice> devices;
    DiscoverySource source = DiscoverySource::Udev;
};

// Through udev when it runs, else through the sysfs walk.
Discovery DiscoverTtyDevices(const DeviceRoots& roots = {});

}  // namespace linkmate
