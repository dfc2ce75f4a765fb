// Sharing the line with other serial programs and finding out why a port failed, on real
// pseudo-terminals: the UUCP lock file, a virtual converter's care for links it did not make, a
// killed converter's link, the reasons a failed open gives, a converter that trickles its bytes.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "protocol/config_exchange.h"
#include "pty_harness.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/open_failure.h"
#include "serial/port_map.h"
#include "serial/serial_comm.h"
#include "serial/uucp_lock.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

namespace fs = std::filesystem;
using testing::TempConfigHome;

// A private lock folder, so the tests neither need nor disturb the machine's.
class LockFolder {
public:
    LockFolder() : m_path(m_home.path() + "/lock") {
        fs::create_directory(m_path);
        SetUucpLockDirectory(m_path);
    }
    ~LockFolder() { SetUucpLockDirectory(std::string()); }
    const std::string& path() const { return m_path; }

private:
    TempConfigHome m_home;
    std::string m_path;
};

void WriteLock(const std::string& path, long pid) {
    std::ofstream(path) << std::string(10 - std::to_string(pid).size(), ' ') << pid << '\n';
}

// A process of another program, alive until the object goes: it has nothing of ours open, or
// only `device`. The constructor returns once the child is ready.
class OtherProgram {
public:
    explicit OtherProgram(const std::string& device = std::string()) {
        int ready[2];
        if (::pipe(ready) != 0) return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(ready[1], 0);
            ::close_range(3, ~0U, 0);
            if (!device.empty()) ::open(device.c_str(), O_RDWR | O_NOCTTY);
            [[maybe_unused]] const ssize_t n = ::write(0, "r", 1);
            ::pause();
            ::_exit(0);
        }
        ::close(ready[1]);
        char byte;
        [[maybe_unused]] const ssize_t n = ::read(ready[0], &byte, 1);
        ::close(ready[0]);
    }
    ~OtherProgram() { End(); }
    void End() {
        if (m_pid <= 0) return;
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = 0;
    }
    pid_t pid() const { return m_pid; }

private:
    pid_t m_pid = 0;
};

TEST(UucpLockTest, ALiveHolderRefusesAStaleOneIsTakenOverAndCloseRemovesIt) {
    LockFolder folder;
    testing::PtyPair pty;
    const std::string lockPath = UucpLockPath(pty.path());
    // /dev/pts/N -> LCK..pts_N
    EXPECT_EQ(lockPath, folder.path() + "/LCK.." + pty.path().substr(5).replace(3, 1, "_"));

    OtherProgram holder;
    const pid_t other = holder.pid();
    WriteLock(lockPath, other);
    CSerialComm port;
    CFileException error;
    EXPECT_FALSE(port.Open(pty.path(), &error));
    EXPECT_EQ(error.m_lOsError, EBUSY);
    const std::string reason = DescribeOpenFailure(pty.path(), error.m_lOsError);
    EXPECT_NE(reason.find("process " + std::to_string(other)), std::string::npos) << reason;

    holder.End();
    // The holder is gone: its lock is taken over, with our process id in ten digits.
    ASSERT_TRUE(port.Open(pty.path(), &error)) << error.what();
    std::ifstream in(lockPath);
    std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    char expected[16];
    std::snprintf(expected, sizeof expected, "%10d\n", static_cast<int>(::getpid()));
    EXPECT_EQ(content, expected);
    // A second user in this process is refused like any other.
    CSerialComm second;
    EXPECT_FALSE(second.Open(pty.path()));
    port.Close();
    EXPECT_FALSE(fs::exists(lockPath));
}

// A lock file as old as `ageSeconds`.
void Age(const std::string& path, int ageSeconds) {
    const timespec when[2] = {{::time(nullptr) - ageSeconds, 0}, {::time(nullptr) - ageSeconds, 0}};
    ::utimensat(AT_FDCWD, path.c_str(), when, 0);
}

TEST(UucpLockTest, AReusedProcessIdOrAnOldEmptyLockIsTakenOverAYoungOneIsNot) {
    LockFolder folder;
    testing::PtyPair pty;
    const std::string lockPath = UucpLockPath(pty.path());
    OtherProgram other;  // alive, but without the device open
    const pid_t unrelated = other.pid();
    CSerialComm port;
    CFileException error;

    WriteLock(lockPath, unrelated);
    EXPECT_FALSE(port.Open(pty.path(), &error))
        << "a young lock: its owner may not have opened yet";
    EXPECT_NE(DescribeOpenFailure(pty.path(), error.m_lOsError).find(lockPath), std::string::npos);
    Age(lockPath, 60);
    ASSERT_TRUE(port.Open(pty.path(), &error)) << error.what();
    port.Close();

    std::ofstream(lockPath).close();  // empty: its owner is still writing it
    EXPECT_FALSE(port.Open(pty.path()));
    Age(lockPath, 60);
    ASSERT_TRUE(port.Open(pty.path()));
    port.Close();
    other.End();

    // An old lock whose process has the device open is that process's.
    OtherProgram user(pty.path());
    WriteLock(lockPath, user.pid());
    Age(lockPath, 60);
    EXPECT_FALSE(port.Open(pty.path()));
}

TEST(UucpLockTest, ALockWithoutAReadableOwnerHoldsWhileTheDeviceIsOpenAndDeadTemporariesGo) {
    LockFolder folder;
    testing::PtyPair pty;
    const std::string lockPath = UucpLockPath(pty.path());
    CSerialComm port;
    {
        OtherProgram user(pty.path());
        for (const std::string& content :
             {std::string(), std::string("locked\n"), std::string("\x39\x30\0\0", 4)}) {
            std::ofstream(lockPath, std::ios::binary) << content;
            Age(lockPath, 60);
            EXPECT_FALSE(port.Open(pty.path())) << "two programs on the line";
        }
    }
    EXPECT_TRUE(port.Open(pty.path())) << "nobody has the device open: the lock is stale";
    port.Close();

    // A temporary lock of a process killed during its open: removed at the next lock.
    const pid_t dead = ::fork();
    if (dead == 0) ::_exit(0);
    ::waitpid(dead, nullptr, 0);
    const std::string temporary = folder.path() + "/LTMP.abc123";
    WriteLock(temporary, dead);
    OtherProgram alive;
    const std::string kept = folder.path() + "/LTMP.def456";
    WriteLock(kept, alive.pid());
    ASSERT_TRUE(port.Open(pty.path()));
    EXPECT_FALSE(fs::exists(temporary));
    EXPECT_TRUE(fs::exists(kept));
}

TEST(UucpLockTest, TwoProgramsStartingTogetherNeverLeaveThePortHeldWithoutALock) {
    LockFolder folder;
    testing::PtyPair pty;
    const std::string lockPath = UucpLockPath(pty.path());
    enum : int { kOpenedWithItsLock = 0, kRefused = 1, kOpenedWithoutItsLock = 2 };
    for (int round = 0; round < 50; ++round) {
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        pid_t children[2];
        for (pid_t& child : children) {
            child = ::fork();
            if (child == 0) {
                ::close(start[1]);
                char go;
                [[maybe_unused]] const ssize_t n = ::read(start[0], &go, 1);  // released together
                CSerialComm port;
                if (!port.Open(pty.path())) ::_exit(kRefused);
                // Stay open a moment, so the other one meets a port in use; then the lock file
                // must still name us.
                ::usleep(20000);
                std::ifstream in(lockPath);
                long pid = 0;
                in >> pid;
                port.Close();
                ::_exit(pid == ::getpid() ? kOpenedWithItsLock : kOpenedWithoutItsLock);
            }
        }
        ::close(start[0]);
        ::close(start[1]);
        int opened = 0;
        for (pid_t child : children) {
            int status = 0;
            ::waitpid(child, &status, 0);
            ASSERT_TRUE(WIFEXITED(status));
            ASSERT_NE(WEXITSTATUS(status), kOpenedWithoutItsLock) << "round " << round;
            opened += WEXITSTATUS(status) == kOpenedWithItsLock;
        }
        EXPECT_GE(opened, 1) << "round " << round;
        EXPECT_FALSE(fs::exists(lockPath)) << "round " << round;
    }
}

TEST(SerialPortFrontTest, OpenOnAnOpenPortLeavesThatPortAndItsLockAlone) {
    LockFolder folder;
    testing::PtyPair pty, other;
    CSerialComm port;
    ASSERT_TRUE(port.Open(pty.path(), 19200, 8, 0, 0));
    CFileException error;
    for (const std::string& path : {pty.path(), other.path()}) {
        EXPECT_FALSE(port.Open(path, 9600, 7, 1, 0, &error));
        EXPECT_EQ(error.m_lOsError, CFileException::AlreadyOpenError());
        EXPECT_EQ(error.m_strFileName, path);
    }
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.lineSettings().baudRate, 19200u);
    EXPECT_TRUE(fs::exists(UucpLockPath(pty.path())));
    EXPECT_FALSE(fs::exists(UucpLockPath(other.path())));
    pty.WriteFromDevice({0x42});
    uint8_t byte = 0;
    EXPECT_EQ(port.Read(&byte, 1, 1000), 1u);
    port.Close();
    EXPECT_FALSE(fs::exists(UucpLockPath(pty.path())));
}

TEST(UucpLockTest, AnUnwritableLockFolderIsGoneWithout) {
    SetUucpLockDirectory("/proc/linkmate-no-such-folder");
    testing::PtyPair pty;
    CSerialComm port;
    EXPECT_TRUE(port.Open(pty.path()));
    port.Close();
    SetUucpLockDirectory(std::string());
}

TEST(OpenFailureTest, ReasonsNameThePortTheDeviceAndTheRemedy) {
    TempConfigHome home;
    LockFolder folder;
    ASSERT_TRUE(RegisterComPort(3, "/dev/linkmate-unplugged"));
    CSerialComm port;
    CFileException error;
    EXPECT_FALSE(port.Open("COM3", &error));
    const std::string absent = DescribeOpenFailure("COM3", error.m_lOsError);
    EXPECT_NE(absent.find("COM3 is /dev/linkmate-unplugged"), std::string::npos) << absent;
    EXPECT_NE(absent.find("not present"), std::string::npos) << absent;
    EXPECT_NE(absent.find("No such file or directory"), std::string::npos) << absent;
    // The command line's reader is told of its own command, not of the window's menu.
    const std::string forCli =
        DescribeOpenFailure("COM3", error.m_lOsError, OpenFailureReader::kCommandLine);
    EXPECT_NE(forCli.find("linkmate-cli ports"), std::string::npos) << forCli;
    EXPECT_EQ(forCli.find("Ctrl+P"), std::string::npos) << forCli;

    // Permission, from the device's real mode: /dev/null lets everyone in, so the group is not it.
    const std::string denied = DescribeOpenFailure("/dev/null", EACCES);
    EXPECT_NE(denied.find("Its mode is 0666"), std::string::npos) << denied;
    EXPECT_EQ(denied.find("usermod"), std::string::npos) << denied;

    // Busy through a lock on the device: the holder is named.
    testing::PtyPair pty;
    ASSERT_TRUE(RegisterComPort(4, pty.path()));
    CSerialComm holder;
    ASSERT_TRUE(holder.Open("COM4"));
    EXPECT_FALSE(port.Open("COM4", &error));
    const std::string busy = DescribeOpenFailure("COM4", error.m_lOsError);
    EXPECT_NE(busy.find("in use by"), std::string::npos) << busy;
    EXPECT_NE(busy.find("process " + std::to_string(::getpid())), std::string::npos) << busy;
}

TEST(VirtualConverterLinkTest, AUserLinkSurvivesAConverterStartAndExit) {
    TempConfigHome home;
    ASSERT_TRUE(RegisterComPort(2, "/dev/ttyUSB7"));
    sim::Options options;
    options.comPort = 2;
    {
        sim::VirtualConverter converter(options);
        std::string error;
        EXPECT_FALSE(converter.Start(&error));
        EXPECT_TRUE(converter.linkRefused());
        EXPECT_NE(error.find("/dev/ttyUSB7"), std::string::npos) << error;
    }
    EXPECT_EQ(fs::read_symlink(PortMapDir() + "/com2"), "/dev/ttyUSB7");

    // --replace takes it over; at exit the link goes, since it was the converter's then.
    options.replaceLink = true;
    {
        sim::VirtualConverter converter(options);
        ASSERT_TRUE(converter.Start());
        EXPECT_EQ(fs::read_symlink(PortMapDir() + "/com2"), converter.devicePath());
        EXPECT_EQ(ComPortOwner(2), ::getpid());
        // Somebody points COM2 elsewhere meanwhile: the converter leaves that alone at exit.
        ASSERT_TRUE(RegisterComPort(2, "/dev/ttyACM0"));
    }
    EXPECT_EQ(fs::read_symlink(PortMapDir() + "/com2"), "/dev/ttyACM0");
}

TEST(VirtualConverterLinkTest, AKilledConvertersLinkIsNeverOpened) {
    TempConfigHome home;
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t child = ::fork();
    if (child == 0) {
        sim::Options options;
        options.comPort = 1;
        sim::VirtualConverter converter(options);
        if (!converter.Start()) ::_exit(1);
        (void)!::write(ready[1], "x", 1);
        ::pause();
        ::_exit(0);
    }
    char byte;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    const std::string killedDevice = fs::read_symlink(PortMapDir() + "/com1");
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);

    // Another program's terminal gets the same pseudo-terminal number (the lowest free one;
    // a test running beside this one may take it first).
    testing::PtyPair reused;
    const bool sameNumber = reused.path() == killedDevice;
    EXPECT_TRUE(IsStaleConverterLink(1));
    EXPECT_EQ(ResolvePortName("COM1"), "");
    EXPECT_FALSE(DescribeComPort(1).present);
    CSerialComm port;
    EXPECT_FALSE(OpenConfigPort(port, 0, 0));
    // Nothing was sent to that terminal.
    if (sameNumber) {
        EXPECT_TRUE(reused.ReadAtDevice(1, std::chrono::milliseconds(50)).empty());
    }

    // A new converter may take the dead one's number without --replace.
    sim::Options options;
    options.comPort = 1;
    sim::VirtualConverter converter(options);
    EXPECT_TRUE(converter.Start());
    ::close(ready[0]);
    ::close(ready[1]);
}

TEST(TricklingConverterOverPtyTest, ReadAndWriteEndWithinTheSilentBound) {
    TempConfigHome home;
    sim::Options options;
    options.fault = sim::Fault::kSplitReply;
    options.splitBytes = 1;
    options.splitGapMs = 100;
    sim::VirtualConverter converter(options);
    ASSERT_TRUE(converter.Start());
    CSerialComm port;
    ASSERT_TRUE(port.Open(converter.devicePath(), 57600, 8, 0, 0));
    SerialPortIo io(port);
    DeviceConfig config;
    auto start = testing::Clock::now();
    EXPECT_FALSE(ReadConfig(io, config));  // 33 bytes take 3.3 s: more than one attempt allows
    EXPECT_LT(testing::MsSince(start), 4100 + 100);
    start = testing::Clock::now();
    WriteConfig(io, config);
    EXPECT_LT(testing::MsSince(start), 4 * 503 + 100);
}

}  // namespace
}  // namespace linkmate
