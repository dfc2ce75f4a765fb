// How long finding the serial devices takes with 8 and with 64 tty devices: choosing and
// describing them from udev records (the step that runs after udev's enumeration), the walk of
// sysfs that a machine without udev falls back to (over a fake tree in a temporary folder), and
// the discovery of this machine as it is. Median of N runs; prints "name: value unit" lines.
// Usage: discovery_bench [N]
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "serial/serial_discovery.h"
#include "bench/bench_support.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

template <typename Step>
double MedianUs(int runs, Step step) {
    std::vector<double> us;
    for (int i = 0; i < runs; ++i) {
        const auto start = Clock::now();
        step();
        us.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    return linkmate::bench::Median(us);
}

// `count` ttys as a machine has them: one in four a USB adapter with udev's names, the rest
// on-board UARTs, half of which are the 8250 driver's placeholders without a UART.
std::vector<linkmate::TtyRecord> Records(int count) {
    std::vector<linkmate::TtyRecord> records;
    for (int i = 0; i < count; ++i) {
        linkmate::TtyRecord r;
        if (i % 4 == 0) {
            r.sysname = "ttyUSB" + std::to_string(i / 4);
            r.driver = "ftdi_sio";
            const std::string serial = "A" + std::to_string(1000 + i);
            r.properties = {{"ID_BUS", "usb"},
                            {"ID_VENDOR_ENC", "FTDI"},
                            {"ID_MODEL_ENC", "FT232R\\x20USB\\x20UART"},
                            {"ID_VENDOR_ID", "0403"},
                            {"ID_MODEL_ID", "6001"},
                            {"ID_SERIAL_SHORT", serial},
                            {"ID_USB_DRIVER", "ftdi_sio"},
                            {"DEVLINKS", "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_" + serial +
                                             "-if00-port0 /dev/serial/by-path/pci-usb-0:" +
                                             std::to_string(i) + ":1.0-port0"}};
        } else {
            r.sysname = "ttyS" + std::to_string(i);
            r.driver = "serial8250";
            r.uartType = i % 2 == 0 ? "4" : "0";
        }
        r.devnode = "/dev/" + r.sysname;
        r.hasParent = true;
        records.push_back(std::move(r));
    }
    return records;
}

// The same machine as a sysfs tree and /dev under `root`.
linkmate::DeviceRoots FakeTree(const std::string& root,
                               const std::vector<linkmate::TtyRecord>& records) {
    linkmate::DeviceRoots roots{root + "/dev", root + "/sys", nullptr};
    fs::create_directories(roots.dev + "/serial/by-id");
    for (const linkmate::TtyRecord& r : records) {
        std::ofstream(roots.dev + "/" + r.sysname) << "";
        const fs::path device = roots.sys + "/devices/" + r.sysname + "-parent";
        fs::create_directories(device);
        if (!r.uartType.empty()) {
            fs::create_directories(roots.sys + "/class/tty/" + r.sysname);
            std::ofstream(roots.sys + "/class/tty/" + r.sysname + "/type") << r.uartType << '\n';
        } else {
            std::ofstream(device / "idVendor") << "0403\n";
            std::ofstream(device / "idProduct") << "6001\n";
            std::ofstream(device / "product") << "FT232R USB UART\n";
            fs::create_directories(roots.sys + "/class/tty/" + r.sysname);
            fs::create_symlink("../../" + r.sysname, roots.dev + "/serial/by-id/usb-" + r.sysname);
        }
        fs::create_symlink(device, roots.sys + "/class/tty/" + r.sysname + "/device");
    }
    return roots;
}

}  // namespace

int main(int argc, char** argv) {
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
    char folder[] = "/tmp/linkmate-discovery-XXXXXX";
    if (::mkdtemp(folder) == nullptr) return 1;
    for (const int count : {8, 64}) {
        const auto records = Records(count);
        size_t found = 0;
        const double fromRecords =
            MedianUs(runs, [&] { found = linkmate::SerialDevicesFromRecords(records).size(); });
        std::printf("from_udev_records_%d_ttys: %.1f us (%zu devices)\n", count, fromRecords,
                    found);
        const linkmate::DeviceRoots roots =
            FakeTree(std::string(folder) + "/" + std::to_string(count), records);
        const double walk =
            MedianUs(runs, [&] { found = linkmate::DiscoverTtyDevices(roots).devices.size(); });
        std::printf("sysfs_walk_%d_ttys: %.1f us (%zu devices)\n", count, walk, found);
    }
    linkmate::Discovery here;
    const double machine = MedianUs(runs, [&] { here = linkmate::DiscoverTtyDevices(); });
    std::printf("this_machine_%s: %.1f us (%zu devices)\n",
                here.source == linkmate::DiscoverySource::Udev ? "udev" : "sysfs_fallback", machine,
                here.devices.size());
    fs::remove_all(folder);
    return 0;
}
