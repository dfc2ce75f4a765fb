// CSerialComm on real pseudo-terminals whose line was left dirty before the port was opened.
#include <fcntl.h>
#include <sys/file.h>
#include <termios.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <numeric>
#include <thread>

#include "pty_harness.h"
#include "serial/serial_comm.h"
#include "serial/uucp_lock.h"

namespace linkmate {
namespace {

using namespace linkmate::testing;
using namespace std::chrono_literals;

class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeLineDirty(pty.path());
        CFileException error;
        ASSERT_TRUE(port.Open(pty.path(), 57600, 8, LineSettings::kNoParity,
                              LineSettings::kOneStopBit, &error))
            << pty.path() << ": error " << error.m_lOsError << ", lock held by "
            << UucpLockHolder(pty.path(), nullptr);
    }

    PtyPair pty;
    CSerialComm port;
};

TEST_F(SerialPortTest, EveryByteValuePassesUnchangedBothWays) {
    std::vector<uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);
    pty.WriteFromDevice(all);
    std::vector<uint8_t> got;
    uint8_t buffer[300];
    while (got.size() < all.size()) {
        const uint32_t n = port.Read(buffer, sizeof buffer, 500);
        ASSERT_GT(n, 0u) << "after " << got.size() << " bytes";
        got.insert(got.end(), buffer, buffer + n);
    }
    EXPECT_EQ(got, all);

    port.Write(all.data(), static_cast<uint32_t>(all.size()), 500);
    EXPECT_EQ(pty.ReadAtDevice(all.size() + 1, 300ms), all);  // no CR added, nothing echoed
}

TEST_F(SerialPortTest, LineIsRawEightNoneOneWithoutFlowControl) {
    const int fd = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(fd, 0);  // root bypasses the exclusive flag, so the settings can be read back
    termios tio{};
    ASSERT_EQ(::tcgetattr(fd, &tio), 0);
    ::close(fd);
    EXPECT_EQ(tio.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(tio.c_cflag & (PARENB | CSTOPB | CRTSCTS | HUPCL), 0u);
    EXPECT_EQ(tio.c_iflag & (IXON | IXOFF | ICRNL | ISTRIP | INPCK), 0u);
    EXPECT_EQ(tio.c_lflag & (ICANON | ECHO | ISIG), 0u);
    EXPECT_EQ(tio.c_oflag & OPOST, 0u);
    EXPECT_EQ(cfgetispeed(&tio), static_cast<speed_t>(B57600));
}

TEST_F(SerialPortTest, ReadReturnsWhatIsBufferedWithoutWaitingForTheRest) {
    pty.WriteFromDevice(std::vector<uint8_t>(40, 0x5A));
    ASSERT_TRUE(pty.WaitUntilQueued(40, 2s));
    uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 33, 1000), 33u);
    EXPECT_EQ(port.Read(buffer, 33, 1000), 7u);
    EXPECT_LT(MsSince(start), 200.0);
}

TEST_F(SerialPortTest, ReadWaitsForTheFirstByteAndReturnsWhenItComes) {
    std::thread device([&] {
        std::this_thread::sleep_for(100ms);
        pty.WriteFromDevice({0x42});
    });
    uint8_t byte = 0;
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(&byte, 16, 3000), 1u);
    const double elapsed = MsSince(start);
    device.join();
    EXPECT_EQ(byte, 0x42);
    EXPECT_GE(elapsed, 90.0);
    EXPECT_LT(elapsed, 1500.0);  // far from the 3 s time-out
}

TEST_F(SerialPortTest, TimeOutsStayInForceUntilTheNextOpen) {
    uint8_t buffer[8];
    auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 8, 150), 0u);
    EXPECT_GE(MsSince(start), 149.0);

    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 8, 0), 0u);  // keeps 150 ms, not the 1000 ms of Open
    const double kept = MsSince(start);
    EXPECT_GE(kept, 149.0);
    EXPECT_LT(kept, 900.0);
    EXPECT_EQ(port.readTimeoutMs(), 150u);

    // A count of 0 does nothing at all, time-out included.
    EXPECT_EQ(port.Read(buffer, 0, 700), 0u);
    port.Write(buffer, 0, 700);
    EXPECT_EQ(port.readTimeoutMs(), 150u);
    EXPECT_EQ(port.writeTimeoutMs(), 0u);

    port.Close();
    ASSERT_TRUE(port.Open(pty.path()));
    EXPECT_EQ(port.readTimeoutMs(), 1000u);
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 8, 0), 0u);
    EXPECT_GE(MsSince(start), 999.0);
}

TEST_F(SerialPortTest, OpenEmptiesWhatWasQueuedBefore) {
    port.Close();
    pty.WriteFromDevice({1, 2, 3});
    ASSERT_TRUE(pty.WaitUntilQueued(3, 2s));
    ASSERT_TRUE(port.Open(pty.path()));
    uint8_t buffer[8];
    EXPECT_EQ(port.Read(buffer, 8, 100), 0u);
}

TEST_F(SerialPortTest, OpenIsExclusiveAndCloseReleasesIt) {
    EXPECT_TRUE(IsExclusive(pty.path()));
    CSerialComm second;
    CFileException error;
    EXPECT_FALSE(second.Open(pty.path(), &error));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(error.m_strFileName, pty.path());

    // Another program's open: flock holds against root as well.
    const int other = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(other, 0);
    EXPECT_NE(::flock(other, LOCK_EX | LOCK_NB), 0);

    port.Close();
    EXPECT_FALSE(IsExclusive(pty.path()));  // the flag must not outlive the close
    EXPECT_EQ(::flock(other, LOCK_EX | LOCK_NB), 0);
    ::close(other);
    EXPECT_TRUE(second.Open(pty.path()));
}

TEST_F(SerialPortTest, CloseTwiceAndDestructionAreQuiet) {
    port.Close();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NO_THROW(port.Close());
    {
        CSerialComm scoped;
        ASSERT_TRUE(scoped.Open(pty.path()));
    }  // destruction closes: the port can be had again
    CSerialComm again;
    EXPECT_TRUE(again.Open(pty.path()));
}

TEST_F(SerialPortTest, CloseThatTheSystemRefusesStillLeavesThePortClosed) {
    ::close(static_cast<int>(port.nativeHandle()));
    try {
        port.Close();
        FAIL() << "no exception";
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_lOsError, EBADF);
        EXPECT_EQ(e.m_cause, CFileException::invalidFile);
    }
    EXPECT_FALSE(port.IsOpen());
    EXPECT_NO_THROW(port.Close());
}

TEST(SerialPortOpenTest, NameThatDoesNotExistFailsAndKeepsTheLineSettings) {
    CSerialComm port;
    CFileException error;
    EXPECT_FALSE(port.Open("/dev/linkmate-no-such-port", 19200, 7, LineSettings::kEvenParity,
                           LineSettings::kTwoStopBits, &error));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ENOENT);
    EXPECT_EQ(error.m_strFileName, "/dev/linkmate-no-such-port");
    EXPECT_EQ(port.lineSettings().baudRate, 19200u);
    EXPECT_EQ(port.lineSettings().byteSize, 7);
    EXPECT_EQ(port.lineSettings().parity, LineSettings::kEvenParity);
    EXPECT_EQ(port.lineSettings().stopBits, LineSettings::kTwoStopBits);

    // The kept settings serve the next first-form open.
    PtyPair pty;
    ASSERT_TRUE(port.Open(pty.path()));
    const int fd = ::open(pty.path().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::close(fd);
    EXPECT_EQ(cfgetospeed(&tio), static_cast<speed_t>(B19200));
    // A pty keeps the speed and the stop bits but forces 8 bits without parity, like a driver
    // that refuses part of the settings; the port opened all the same.
    EXPECT_NE(tio.c_cflag & CSTOPB, 0u);
}

TEST(SerialPortOpenTest, ReadAndWriteOnAClosedPortDoNothing) {
    CSerialComm port;
    uint8_t buffer[4] = {};
    EXPECT_EQ(port.Read(buffer, 4, 10), 0u);
    port.Write(buffer, 4, 10);
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialPortVanishTest, ReadsAndWritesReturnAtOnceWhenTheDeviceGoes) {
    PtyPair pty;
    CSerialComm port;
    ASSERT_TRUE(port.Open(pty.path()));
    std::thread unplug([&] {
        std::this_thread::sleep_for(100ms);
        pty.Vanish();
    });
    uint8_t buffer[16];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 16, 5000), 0u);
    unplug.join();
    EXPECT_LT(MsSince(start), 2000.0);

    const auto again = Clock::now();
    for (int i = 0; i < 100; ++i) {
        port.Write(buffer, 16, 500);
        EXPECT_EQ(port.Read(buffer, 16, 500), 0u);
    }
    EXPECT_LT(MsSince(again), 1000.0);  // no call waits for its time-out on a gone device
    EXPECT_NO_THROW(port.Close());
}

}  // namespace
}  // namespace linkmate
