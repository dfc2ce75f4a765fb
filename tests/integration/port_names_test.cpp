#include <unistd.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <fstream>
#include <system_error>

#include "pty_harness.h"
#include "serial/com_port_names.h"

namespace linkmate {
namespace {

TEST(ComPortNameTest, FormatsAndParsesTheWindowsForms) {
    EXPECT_EQ(FormatComPortName(3), "\\\\.\\COM3");
    EXPECT_EQ(ParseComPortName("\\\\.\\COM3"), 3);
    EXPECT_EQ(ParseComPortName("com12"), 12);
    EXPECT_EQ(ParseComPortName(FormatComPortName(0)), 0);
    EXPECT_EQ(ParseComPortName(FormatComPortName(-5)), -5);
    for (const char* other : {"/dev/ttyUSB0", "COM", "COMx", "COM1x", "\\\\.\\LPT1", ""}) {
        EXPECT_FALSE(ParseComPortName(other).has_value()) << other;
    }
}

TEST(ComPortNameTest, ResolvesThroughThePortMapElseTtyS) {
    testing::TempConfigHome home;
    EXPECT_EQ(ResolvePortName("\\\\.\\COM1"), "/dev/ttyS0");
    EXPECT_EQ(ResolvePortName("COM8"), "/dev/ttyS7");
    EXPECT_EQ(ResolvePortName("\\\\.\\COM0"), "");  // no such port
    EXPECT_EQ(ResolvePortName("/dev/pts/7"), "/dev/pts/7");

    ASSERT_TRUE(RegisterComPort(2, "/dev/ttyUSB0"));
    EXPECT_EQ(ResolvePortName("COM2"), home.path() + "/linkmate/dosdevices/com2");
    ASSERT_TRUE(RegisterComPort(2, "/dev/ttyACM1"));  // replaced
    char target[64] = {};
    ASSERT_GT(::readlink(ComPortDevicePath(2).c_str(), target, sizeof target - 1), 0);
    EXPECT_STREQ(target, "/dev/ttyACM1");

    UnregisterComPort(2, "/dev/ttyUSB0");  // not ours any more: left alone
    EXPECT_EQ(ResolvePortName("COM2"), home.path() + "/linkmate/dosdevices/com2");
    UnregisterComPort(2, "/dev/ttyACM1");
    EXPECT_EQ(ResolvePortName("COM2"), "/dev/ttyS1");
}

TEST(ComPortNameTest, AMapThatCannotBeWrittenSaysWhy) {
    testing::TempConfigHome home;
    std::string why;
    EXPECT_FALSE(RegisterComPort(0, "/dev/ttyUSB0", &why));
    EXPECT_EQ(why, std::generic_category().message(EINVAL));
    // A file where the map's folder should be.
    ASSERT_TRUE(std::ofstream(home.path() + "/linkmate").good());
    why.clear();
    EXPECT_FALSE(RegisterComPort(3, "/dev/ttyUSB0", &why));
    EXPECT_FALSE(why.empty());
    EXPECT_EQ(ResolvePortName("COM3"), "/dev/ttyS2");
}

}  // namespace
}  // namespace linkmate
