// Choosing and describing serial devices from udev records, the advice for a device the user may
// not open, and what a hot-plug event means to an open port.
#include <gtest/gtest.h>

#include "serial/hotplug.h"
#include "serial/permission_advice.h"
#include "serial/serial_discovery.h"

namespace linkmate {
namespace {

TtyRecord Record(std::string name, bool parent, std::string type, std::string driver,
                 std::map<std::string, std::string> properties = {}) {
    return {
        name, "/dev/" + name, parent, std::move(type), std::move(driver), std::move(properties)};
}

TEST(SerialDiscoveryTest, ListsEveryTtyWithARealDeviceAndDescribesItFromUdev) {
    const std::vector<TtyRecord> records = {
        Record("ttyUSB0", true, "", "ftdi_sio",
               {{"ID_BUS", "usb"},
                {"ID_VENDOR_ENC", "FTDI"},
                {"ID_MODEL_ENC", "FT232R\\x20USB\\x20UART"},
                {"ID_VENDOR_ID", "0403"},
                {"ID_MODEL_ID", "6001"},
                {"ID_SERIAL_SHORT", "A1B2"},
                {"ID_USB_DRIVER", "ftdi_sio"},
                {"DEVLINKS",
                 "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0 "
                 "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0"}}),
        Record("ttyACM0", true, "", "cdc_acm",
               {{"ID_BUS", "usb"},
                {"ID_VENDOR_FROM_DATABASE", "STMicroelectronics"},
                {"ID_MODEL", "Virtual_COM_Port"},
                {"ID_VENDOR_ID", "0483"},
                {"ID_MODEL_ID", "5740"}}),
        Record("ttyS10", true, "4", "serial8250"),
        Record("ttyS2", true, "4", "serial8250"),
        Record("ttyS3", true, "0", "serial8250"),  // the 8250 driver's placeholder without a UART
        Record("ttyAMA0", true, "32", "uart-pl011"),
        Record("rfcomm0", true, "", "btusb"),
        Record("ttyXRUSB0", true, "", "xr_usb_serial",
               {{"ID_VENDOR_ID", "04e2"},
                {"ID_MODEL_ID", "1410"},
                {"ID_VENDOR", "Exar_Corp."},
                {"DEVLINKS", "/dev/serial/by-path/platform-xhci-hcd.0-usb-0:2:1.0"}}),
        Record("tty0", false, "", ""),  // a virtual console
        Record("ptmx", false, "", ""),
    };
    const auto devices = SerialDevicesFromRecords(records);
    std::vector<std::string> paths;
    for (const SerialDevice& d : devices) paths.push_back(d.path);
    EXPECT_EQ(paths,
              (std::vector<std::string>{"/dev/ttyS2", "/dev/ttyS10", "/dev/rfcomm0", "/dev/ttyACM0",
                                        "/dev/ttyAMA0", "/dev/ttyUSB0", "/dev/ttyXRUSB0"}));

    const SerialDevice& ftdi = devices[5];
    EXPECT_EQ(ftdi.description,
              "USB serial adapter: FTDI FT232R USB UART (0403:6001, serial A1B2)");
    EXPECT_EQ(ftdi.driver, "ftdi_sio");
    EXPECT_EQ(ftdi.byId, "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A1B2-if00-port0");
    EXPECT_EQ(ftdi.byPath, "/dev/serial/by-path/pci-0000:00:14.0-usb-0:1:1.0-port0");
    EXPECT_EQ(ftdi.stableName, ftdi.byId);
    EXPECT_EQ(devices[3].description,
              "USB modem-class serial device: STMicroelectronics Virtual COM Port (0483:5740)");
    EXPECT_EQ(devices[0].description, "on-board serial port");
    EXPECT_EQ(devices[4].description, "on-board serial port");
    EXPECT_EQ(devices[4].driver, "uart-pl011");
    EXPECT_EQ(devices[2].description, "Bluetooth serial link");
    EXPECT_EQ(devices[6].description, "USB serial adapter: Exar Corp. (04e2:1410)");
    // Without a by-id name the by-path name is the stable one.
    EXPECT_EQ(devices[6].stableName, "/dev/serial/by-path/platform-xhci-hcd.0-usb-0:2:1.0");
}

// Each case: the device's access, a piece the advice must hold.
TEST(PermissionAdviceTest, FollowsTheDevicesModeAndNeverNamesTheRootGroup) {
    const struct {
        DeviceAccess access;
        const char* holds;
    } cases[] = {
        {{0660, "root", 20, "dialout", "ttyUSB0", "0403"}, "sudo usermod -aG dialout $USER"},
        {{0600, "root", 0, "root", "ttyUSB0", "0403"},
         "SUBSYSTEM==\"tty\", ATTRS{idVendor}==\"0403\", GROUP=\"dialout\", MODE=\"0660\""},
        {{0660, "root", 0, "root", "ttyUSB1", "1a86"}, "not a group to join"},
        {{0666, "root", 0, "root", "ttyACM0", "0483"}, "a security policy"},
        {{0604, "root", 10, "uucp", "ttyS0", ""}, "KERNEL==\"ttyS0\""},
        {{0600, "root", 10, "uucp", "", ""}, "Ask the administrator"},
    };
    for (const auto& c : cases) {
        const std::string advice = PermissionAdvice(c.access);
        EXPECT_NE(advice.find(c.holds), std::string::npos) << advice;
        EXPECT_EQ(advice.find("-aG root"), std::string::npos) << advice;
    }
    EXPECT_NE(PermissionAdvice(cases[4].access)
                  .find("Members of its group \"uucp\" may not read and write it"),
              std::string::npos);
    EXPECT_NE(PermissionAdvice(cases[1].access).find("Its mode is 0600, owner root, group root."),
              std::string::npos);
}

TEST(HotplugTest, RefreshesOnAddOrRemoveAndKnowsTheOpenDeviceByAnyOfItsNames) {
    const std::vector<std::string> opened = {"/home/u/.config/linkmate/dosdevices/com3",
                                             "/dev/serial/by-id/usb-FTDI_A1B2-if00-port0",
                                             "/dev/ttyUSB0"};
    const auto effect = [&](const char* action, const char* node, const char* links) {
        const HotplugEffect e = ConsiderTtyEvent(MakeTtyEvent(action, node, links), opened);
        return std::pair{e.refreshPorts, e.openedDeviceRemoved};
    };
    EXPECT_EQ(effect("add", "/dev/ttyUSB1", ""), std::pair(true, false));
    EXPECT_EQ(effect("remove", "/dev/ttyUSB1", ""), std::pair(true, false));
    EXPECT_EQ(effect("remove", "/dev/ttyUSB0", ""), std::pair(true, true));
    // The node may come back under another number; the by-id name still tells.
    EXPECT_EQ(effect("remove", "/dev/ttyUSB7", "/dev/serial/by-id/usb-FTDI_A1B2-if00-port0"),
              std::pair(true, true));
    EXPECT_EQ(effect("change", "/dev/ttyUSB0", ""), std::pair(false, false));
    EXPECT_EQ(effect("remove", "", ""), std::pair(false, false));
    EXPECT_FALSE(
        ConsiderTtyEvent(MakeTtyEvent("remove", "/dev/ttyUSB0", ""), {}).openedDeviceRemoved);
}

}  // namespace
}  // namespace linkmate
