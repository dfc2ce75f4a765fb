// The station map: what a map file may say, and which adapter each station resolves to, from
// recorded udev properties (no hardware).
#include "tools/cli/station_map.h"

#include <gtest/gtest.h>

#include "serial/serial_discovery.h"

namespace linkmate::cli {
namespace {

TEST(StationMapTest, ParsesStationsWithTheirModelAndTheDefaults) {
    StationMap map;
    std::string error;
    ASSERT_TRUE(
        ParseStationMap("; line 4\n[defaults]\nmodel=B\n\n[bench-1]\nusb-serial = \"A 1\"\n"
                        "[bench-2]\nmodel=A\ncom=3\n",
                        "m.ini", map, &error))
        << error;
    ASSERT_EQ(map.stations.size(), 2u);
    EXPECT_EQ(map.stations[0].name, "bench-1");
    EXPECT_EQ(map.stations[0].kind, PinKind::kUsbSerial);
    EXPECT_EQ(map.stations[0].pin, "A 1");
    EXPECT_EQ(map.stations[0].model, 1);
    EXPECT_EQ(map.stations[1].kind, PinKind::kCom);
    EXPECT_EQ(map.stations[1].model, 0);
}

TEST(StationMapTest, RefusesAMapThatDoesNotSayExactlyOneDevicePerStation) {
    const struct {
        const char* text;
        const char* reason;
    } cases[] = {
        {"[a]\ndevice=/dev/x\nusb-serial=1\n", "m.ini:3: station \"a\" is pinned twice"},
        {"[a]\nmodel=A\n", "m.ini:1: station \"a\" names no device"},
        {"[a]\ndevice=/dev/x\n[a]\ndevice=/dev/y\n", "m.ini:3: station \"a\" is named twice"},
        {"device=/dev/x\n", "m.ini:1: \"device\" stands before the first [station]"},
        {"[a]\nport=1\n", "m.ini:2: unknown key \"port\""},
        {"[a]\ncom=0\n", "com takes a number 1..255"},
        {"[a]\ndevice=/dev/x\nmodel=C\n", "model takes A or B"},
        {"[defaults]\ndevice=/dev/x\n", "in [defaults], which takes model"},
        {"; nothing\n", "m.ini: no stations"},
    };
    for (const auto& c : cases) {
        StationMap map;
        std::string error;
        EXPECT_FALSE(ParseStationMap(c.text, "m.ini", map, &error)) << c.text;
        EXPECT_NE(error.find(c.reason), std::string::npos) << c.text << " gave: " << error;
    }
}

TtyRecord UsbAdapter(const std::string& name, const std::string& serial, const std::string& port) {
    TtyRecord r{name, "/dev/" + name, true, "", "ftdi_sio", {}};
    r.properties = {
        {"ID_BUS", "usb"},
        {"ID_VENDOR_ENC", "FTDI"},
        {"ID_MODEL_ENC", "FT232R"},
        {"ID_VENDOR_ID", "0403"},
        {"ID_MODEL_ID", "6001"},
        {"ID_USB_DRIVER", "ftdi_sio"},
        {"DEVLINKS", "/dev/serial/by-path/pci-0000:00:14.0-usb-0:" + port + ":1.0-port0"}};
    if (!serial.empty()) r.properties["ID_SERIAL_SHORT"] = serial;
    return r;
}

// Every device exists and is its own canonical path; /dev/ttyLINK is a link to ttyUSB0.
std::string FakeCanonical(const std::string& path) {
    if (path == "/dev/ttyLINK") return "/dev/ttyUSB0";
    return path.starts_with("/dev/tty") ? path : std::string();
}
std::string FakeCom(int n) { return n == 1 ? "/dev/ttyLINK" : std::string(); }

TEST(StationMapTest, ResolvesStationsFromRecordedUdevProperties) {
    const auto present = SerialDevicesFromRecords({
        UsbAdapter("ttyUSB0", "FT1", "1"),
        UsbAdapter("ttyUSB1", "TWIN", "2"),
        UsbAdapter("ttyUSB2", "TWIN", "3"),
        UsbAdapter("ttyUSB3", "", "4"),
    });
    StationMap map;
    std::string error;
    ASSERT_TRUE(ParseStationMap(
        "[by-serial]\nusb-serial=FT1\n"
        "[twin]\nusb-serial=TWIN\n"
        "[by-port]\nusb-path=/dev/serial/by-path/pci-0000:00:14.0-usb-0:3:1.0-port0\n"
        "[no-serial]\nusb-path=pci-0000:00:14.0-usb-0:4:1.0-port0\n"
        "[unplugged]\nusb-serial=GONE\n"
        "[empty-socket]\nusb-path=pci-0000:00:14.0-usb-0:9:1.0-port0\n"
        "[missing]\ndevice=/nowhere\n"
        "[network]\naddress=10.0.0.7:4001\n",
        "m.ini", map, &error))
        << error;
    const LineResolution line = ResolveStations(map, present, {&FakeCanonical, &FakeCom});
    ASSERT_EQ(line.stations.size(), 8u);
    const auto& s = line.stations;

    EXPECT_EQ(s[0].device, "/dev/ttyUSB0");
    EXPECT_EQ(s[0].problem, "");
    EXPECT_EQ(s[0].usbPath, "pci-0000:00:14.0-usb-0:1:1.0-port0");
    // Two adapters answer to the serial number: neither may be guessed.
    EXPECT_EQ(s[1].device, "");
    EXPECT_NE(s[1].problem.find("2 adapters report USB serial number \"TWIN\""), std::string::npos);
    // By port, the same two adapters are told apart; an adapter without a serial number is found.
    EXPECT_EQ(s[2].device, "/dev/ttyUSB2");
    EXPECT_EQ(s[2].serialNumber, "TWIN");
    EXPECT_EQ(s[3].device, "/dev/ttyUSB3");
    EXPECT_EQ(s[3].problem, "");
    EXPECT_NE(s[4].problem.find("no adapter with USB serial number \"GONE\""), std::string::npos);
    EXPECT_NE(s[5].problem.find("nothing plugged into USB port"), std::string::npos);
    EXPECT_NE(s[6].problem.find("no device /nowhere"), std::string::npos);
    EXPECT_NE(s[7].problem.find("not supported"), std::string::npos);

    ASSERT_EQ(line.warnings.size(), 2u);
    EXPECT_NE(line.warnings[0].find("/dev/ttyUSB3"), std::string::npos);
    EXPECT_NE(line.warnings[0].find("no USB serial number"), std::string::npos);
    EXPECT_NE(line.warnings[1].find("/dev/ttyUSB1, /dev/ttyUSB2 report the same USB serial number"),
              std::string::npos);
}

TEST(StationMapTest, TwoStationsOnOneDeviceAreNeitherWritten) {
    const auto present = SerialDevicesFromRecords({UsbAdapter("ttyUSB0", "FT1", "1")});
    StationMap map;
    ASSERT_TRUE(ParseStationMap("[a]\nusb-serial=FT1\n[b]\ncom=1\n[c]\ndevice=/dev/ttyUSB7\n",
                                "m.ini", map, nullptr));
    const LineResolution line = ResolveStations(map, present, {&FakeCanonical, &FakeCom});
    // COM1 leads to the same adapter through a link.
    EXPECT_NE(line.stations[0].problem.find("the same device (/dev/ttyUSB0) as station b"),
              std::string::npos);
    EXPECT_NE(line.stations[1].problem.find("as station a"), std::string::npos);
    EXPECT_EQ(line.stations[1].serialNumber, "FT1");
    EXPECT_EQ(line.stations[2].problem, "");
}

TEST(StationMapTest, TheInitialMapResolvesToTheAdaptersItWasMadeFrom) {
    const auto present = SerialDevicesFromRecords(
        {UsbAdapter("ttyUSB0", "FT1", "1"), UsbAdapter("ttyUSB1", "FT1", "2")});
    StationMap map;
    std::string error;
    ASSERT_TRUE(ParseStationMap(InitialStationMap(present), "init.ini", map, &error)) << error;
    const LineResolution line = ResolveStations(map, present, {&FakeCanonical, &FakeCom});
    ASSERT_EQ(line.stations.size(), 2u);
    EXPECT_EQ(line.stations[0].device, "/dev/ttyUSB0");
    EXPECT_EQ(line.stations[1].device, "/dev/ttyUSB1");
    EXPECT_EQ(line.stations[1].problem, "");
}

}  // namespace
}  // namespace linkmate::cli
