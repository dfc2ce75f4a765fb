// Finding serial devices and mapping COM numbers, on a fake /dev and /sys tree (the test machine
// has no USB adapter), and the map's own rules.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "pty_harness.h"
#include "serial/com_port_names.h"
#include "serial/hotplug.h"
#include "serial/port_map.h"

namespace linkmate {
namespace {

namespace fs = std::filesystem;

void Write(const fs::path& path, const std::string& text) {
    fs::create_directories(path.parent_path());
    std::ofstream(path) << text << '\n';
}

// A machine without udev: an FTDI adapter as ttyUSB0 with its by-id name, a modem-class device, a
// real on-board UART (ttyS0), a phantom one (ttyS1, type 0) and a virtual console.
struct FakeMachine {
    testing::TempConfigHome home;
    DeviceRoots roots{home.path() + "/dev", home.path() + "/sys", nullptr};

    void AddTty(const std::string& name, const fs::path& device) {
        fs::create_directories(device);
        fs::create_directories(roots.sys + "/class/tty/" + name);
        fs::create_symlink(device, roots.sys + "/class/tty/" + name + "/device");
    }

    FakeMachine() {
        for (const char* name : {"ttyUSB0", "ttyACM0", "ttyS0", "ttyS1", "tty0", "null"}) {
            Write(roots.dev + "/" + name, "");
        }
        fs::create_directories(roots.dev + "/serial/by-id");
        fs::create_symlink("../../ttyUSB0",
                           roots.dev + "/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0");
        const fs::path usb = roots.sys + "/devices/pci0000:00/usb1/1-1";
        Write(usb / "idVendor", "0403");
        Write(usb / "idProduct", "6001");
        Write(usb / "manufacturer", "FTDI");
        Write(usb / "product", "FT232R USB UART");
        Write(usb / "serial", "A1B2");
        AddTty("ttyUSB0", usb / "1-1:1.0");
        AddTty("ttyACM0", roots.sys + "/devices/pci0000:00/usb1/1-2/1-2:1.0");
        const fs::path uarts = roots.sys + "/devices/platform/serial8250";
        AddTty("ttyS0", uarts);
        AddTty("ttyS1", uarts);
        Write(roots.sys + "/class/tty/ttyS0/type", "4");
        Write(roots.sys + "/class/tty/ttyS1/type", "0");
        fs::create_directories(roots.sys + "/class/tty/tty0");
    }
};

TEST(PortMapTest, DetectsAdaptersRealUartsAndRunningConverters) {
    FakeMachine m;
    EXPECT_EQ(DiscoverSerialDevices(m.roots).source, DiscoverySource::Sysfs);
    const auto devices = DetectSerialDevices(m.roots);
    ASSERT_EQ(devices.size(), 3u);
    EXPECT_EQ(devices[0].path, m.roots.dev + "/ttyS0");
    EXPECT_EQ(devices[0].description, "on-board serial port");
    EXPECT_EQ(devices[1].path, m.roots.dev + "/ttyACM0");
    EXPECT_EQ(devices[1].description, "USB modem-class serial device");
    EXPECT_EQ(devices[2].path, m.roots.dev + "/ttyUSB0");
    EXPECT_EQ(devices[2].stableName, m.roots.dev + "/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0");
    EXPECT_EQ(devices[2].description,
              "USB serial adapter: FTDI FT232R USB UART (0403:6001, serial A1B2)");

    // A running converter's link shows up as one.
    testing::PtyPair pty;
    ASSERT_TRUE(RegisterComPort(5, pty.path()));
    ASSERT_TRUE(RecordComPortOwner(5, ::getpid(), pty.path()));
    const auto withConverter = DetectSerialDevices(m.roots);
    ASSERT_EQ(withConverter.size(), 4u);
    EXPECT_EQ(withConverter.back().path, pty.path());
    EXPECT_NE(withConverter.back().description.find("virtual converter"), std::string::npos);
}

TEST(PortMapTest, AssignsByStableNameFreesAndSaysWhatEachNumberIs) {
    FakeMachine m;
    std::string error;
    ASSERT_TRUE(AssignComPort(3, m.roots.dev + "/ttyUSB0", &error, m.roots)) << error;
    EXPECT_EQ(fs::read_symlink(PortMapDir() + "/com3").string(),
              m.roots.dev + "/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0");
    const ComPortInfo com3 = DescribeComPort(3, m.roots);
    EXPECT_TRUE(com3.present);
    EXPECT_EQ(com3.description,
              "USB serial adapter: FTDI FT232R USB UART (0403:6001, serial A1B2)");

    // Unplugged: the by-id name goes away with the adapter.
    fs::remove(m.roots.dev + "/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0");
    const ComPortInfo gone = DescribeComPort(3, m.roots);
    EXPECT_FALSE(gone.present);
    EXPECT_NE(gone.description.find("not present"), std::string::npos);

    // Unmapped numbers fall back to ttyS<n-1>, present only with a real UART.
    EXPECT_TRUE(DescribeComPort(1, m.roots).present);
    EXPECT_FALSE(DescribeComPort(2, m.roots).present);
    EXPECT_NE(DescribeComPort(2, m.roots).description.find("not present"), std::string::npos);

    // The map's rules.
    EXPECT_FALSE(AssignComPort(9, m.roots.dev + "/ttyS0", &error, m.roots));
    EXPECT_EQ(error, "only COM1 to COM8 can be mapped");
    EXPECT_FALSE(AssignComPort(0, m.roots.dev + "/ttyS0", &error, m.roots));
    EXPECT_FALSE(AssignComPort(4, m.roots.dev + "/ttyUSB9", &error, m.roots));
    EXPECT_TRUE(FreeComPort(3, &error)) << error;
    EXPECT_FALSE(fs::exists(fs::symlink_status(PortMapDir() + "/com3")));
    // Something that is not a link is never removed.
    std::ofstream(PortMapDir() + "/com6") << "x";
    EXPECT_FALSE(FreeComPort(6, &error));
    EXPECT_TRUE(fs::exists(PortMapDir() + "/com6"));
}

// udev's records, as a machine with udev gives them, for a device in the fake tree.
std::vector<TtyRecord> g_udevRecords;
std::optional<std::vector<TtyRecord>> InjectedUdev() { return g_udevRecords; }

TEST(PortMapTest, WithUdevMapsByTheByIdNameAndKnowsTheOpenDeviceAfterItsLinksGo) {
    FakeMachine m;
    m.roots.udev = &InjectedUdev;
    const std::string byId = m.roots.dev + "/serial/by-id/usb-FTDI_FT232R_A1B2-if00-port0";
    g_udevRecords = {{"ttyUSB0",
                      m.roots.dev + "/ttyUSB0",
                      true,
                      "",
                      "ftdi_sio",
                      {{"ID_VENDOR_ENC", "FTDI"},
                       {"ID_VENDOR_ID", "0403"},
                       {"ID_MODEL_ID", "6001"},
                       {"DEVLINKS", byId + " " + m.roots.dev + "/serial/by-path/pci-0-usb-0:1"}}}};
    const Discovery found = DiscoverSerialDevices(m.roots);
    EXPECT_EQ(found.source, DiscoverySource::Udev);
    ASSERT_EQ(found.devices.size(), 1u);
    EXPECT_EQ(found.devices[0].description, "USB serial adapter: FTDI (0403:6001)");

    std::string error;
    ASSERT_TRUE(AssignComPort(2, m.roots.dev + "/ttyUSB0", &error, m.roots)) << error;
    EXPECT_EQ(fs::read_symlink(PortMapDir() + "/com2").string(), byId);
    // COM2 -> by-id -> ../../ttyUSB0: every name on the way, for the unplug that removes the links.
    const auto names = OpenedDeviceNames(PortMapDir() + "/com2");
    EXPECT_EQ(names,
              (std::vector<std::string>{PortMapDir() + "/com2", byId, m.roots.dev + "/ttyUSB0"}));
    EXPECT_TRUE(ConsiderTtyEvent(MakeTtyEvent("remove", m.roots.dev + "/ttyUSB0", ""), names)
                    .openedDeviceRemoved);
}

}  // namespace
}  // namespace linkmate
