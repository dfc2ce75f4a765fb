// CSerialComm on Windows, run under Wine against com_peer's ports: COM<n> echoes, COM<n+1> says how
// the line is set, COM<n+2> is unplugged by the first byte it gets (n from LINKMATE_TEST_COM).
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cstdlib>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "profile/port_map_store.h"
#include "protocol/win32_text.h"
#include "serial/com_port_names.h"
#include "serial/config_port.h"
#include "serial/port_map.h"
#include "serial/serial_comm.h"

namespace linkmate {
namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool UnderWine() {
    const HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

int FirstPeerPort() {
    const char* number = std::getenv("LINKMATE_TEST_COM");
    return number != nullptr ? std::atoi(number) : 0;
}

std::string EchoPort() { return FormatComPortName(FirstPeerPort()); }
std::string SettingsPort() { return FormatComPortName(FirstPeerPort() + 1); }
std::string VanishingPort() { return FormatComPortName(FirstPeerPort() + 2); }

// Reads until `count` bytes are there or a read brings nothing.
std::vector<uint8_t> ReadUpTo(CSerialComm& port, size_t count, uint32_t timeoutMs) {
    std::vector<uint8_t> got;
    uint8_t buffer[512];
    while (got.size() < count) {
        const uint32_t n = port.Read(
            buffer, static_cast<uint32_t>(std::min<size_t>(sizeof buffer, count - got.size())),
            timeoutMs);
        if (n == 0) break;
        got.insert(got.end(), buffer, buffer + n);
    }
    return got;
}

class PeerTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (FirstPeerPort() < 1) GTEST_SKIP() << "no peer ports (run through com_peer)";
    }
};

// The line as the device side sees it (rate, stop bits, flow control; a pseudo-terminal carries
// no other character size and no parity, so those two cannot be seen).
std::string LineSeenByDevice(CSerialComm& port) {
    const uint8_t ask = '?';
    port.Write(&ask, 1, 500);
    const std::vector<uint8_t> line = ReadUpTo(port, 80, 300);
    std::string text(line.begin(), line.end());
    if (const size_t end = text.find('\n'); end != std::string::npos) text.resize(end);
    return text;
}

TEST_F(PeerTest, OpenAppliesTheLineSettingsWithoutFlowControl) {
    CSerialComm port;
    ASSERT_TRUE(
        port.Open(SettingsPort(), 9600, 7, LineSettings::kEvenParity, LineSettings::kTwoStopBits));
    EXPECT_EQ(LineSeenByDevice(port), "baud=9600 stop=2 rtscts=0 xon=0");
    port.Close();

    // The four values stay in the kept settings and serve the next open of the first form.
    EXPECT_EQ(port.lineSettings().baudRate, 9600u);
    ASSERT_TRUE(port.Open(SettingsPort()));
    EXPECT_EQ(LineSeenByDevice(port), "baud=9600 stop=2 rtscts=0 xon=0");
    port.Close();

    ASSERT_TRUE(OpenConfigPort(port, 0, FirstPeerPort()));  // Ternix-A on COM<n+1>: 57600 8N1
    EXPECT_EQ(LineSeenByDevice(port), "baud=57600 stop=1 rtscts=0 xon=0");
}

TEST_F(PeerTest, APortWhoseDriverRefusesTheSettingsStillOpens) {
    CSerialComm port;
    // The Linux serial layer has no 1.5 stop bits, so Wine's driver refuses the whole record.
    EXPECT_TRUE(
        port.Open(SettingsPort(), 19200, 8, LineSettings::kNoParity, LineSettings::kOne5StopBits));
    EXPECT_TRUE(port.IsOpen());
    EXPECT_EQ(port.lineSettings().stopBits, LineSettings::kOne5StopBits);
}

TEST_F(PeerTest, EveryByteValuePassesUnchangedBothWays) {
    CSerialComm port;
    ASSERT_TRUE(
        port.Open(EchoPort(), 57600, 8, LineSettings::kNoParity, LineSettings::kOneStopBit));
    std::vector<uint8_t> all(256);
    std::iota(all.begin(), all.end(), 0);
    port.Write(all.data(), static_cast<uint32_t>(all.size()), 1000);
    EXPECT_EQ(ReadUpTo(port, all.size(), 1000), all);
    // Nothing was added (no CR before LF, no echo of our own): the line is quiet again.
    uint8_t extra = 0;
    EXPECT_EQ(port.Read(&extra, 1, 200), 0u);
}

TEST_F(PeerTest, ReadTimeOutsHoldUntilTheNextCallThatGivesOneOrTheNextOpen) {
    CSerialComm port;
    ASSERT_TRUE(
        port.Open(EchoPort(), 57600, 8, LineSettings::kNoParity, LineSettings::kOneStopBit));
    uint8_t buffer[8];

    auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 0, 3000), 0u);  // a count of 0 does nothing, at once
    EXPECT_LT(MsSince(start), 100.0);
    EXPECT_EQ(port.readTimeoutMs(), CSerialComm::kOpenReadTimeoutMs);

    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, sizeof buffer, 300), 0u);
    double waited = MsSince(start);
    EXPECT_GE(waited, 280.0);
    EXPECT_LT(waited, 300.0 + 1000.0);

    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, sizeof buffer, 0), 0u);  // 0 keeps the 300 ms of the call before
    waited = MsSince(start);
    EXPECT_GE(waited, 280.0);
    EXPECT_LT(waited, 900.0);

    port.Close();
    ASSERT_TRUE(port.Open(EchoPort()));
    start = Clock::now();
    EXPECT_EQ(port.Read(buffer, sizeof buffer, 0), 0u);  // a new open is back at 1000 ms
    waited = MsSince(start);
    EXPECT_GE(waited, 980.0);
    EXPECT_LT(waited, 1000.0 + 1000.0);
}

TEST_F(PeerTest, ReadWaitsForTheFirstByteAndKeepsWhatArrived) {
    CSerialComm port;
    ASSERT_TRUE(
        port.Open(EchoPort(), 57600, 8, LineSettings::kNoParity, LineSettings::kOneStopBit));
    const uint8_t sent[3] = {0x55, 0xAA, 0x03};
    port.Write(sent, sizeof sent, 500);
    uint8_t buffer[64] = {};
    const auto start = Clock::now();
    // More is asked than comes: Windows returns with the first bytes, Wine when the time-out has
    // run out; either way the three bytes are there and the call is bounded.
    const uint32_t got = port.Read(buffer, sizeof buffer, 1000);
    EXPECT_LT(MsSince(start), 1000.0 + 1000.0);
    ASSERT_EQ(got, 3u);
    EXPECT_EQ(std::vector<uint8_t>(buffer, buffer + 3), std::vector<uint8_t>(sent, sent + 3));
}

TEST_F(PeerTest, ReadReturnsWhatIsBufferedWithoutWaitingForTheRest) {
    if (UnderWine()) {
        GTEST_SKIP() << "Wine does not implement the {MAXDWORD, MAXDWORD, T} read policy: its read "
                        "waits for the whole count (or, here, for our cap on the wait)";
    }
    CSerialComm port;
    ASSERT_TRUE(
        port.Open(EchoPort(), 57600, 8, LineSettings::kNoParity, LineSettings::kOneStopBit));
    const std::vector<uint8_t> sent(40, 0x5A);
    port.Write(sent.data(), static_cast<uint32_t>(sent.size()), 500);
    std::this_thread::sleep_for(100ms);
    uint8_t buffer[64];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, 33, 1000), 33u);
    EXPECT_EQ(port.Read(buffer, 33, 1000), 7u);
    EXPECT_LT(MsSince(start), 200.0);
}

TEST_F(PeerTest, APortAlreadyOpenIsRefused) {
    if (UnderWine()) GTEST_SKIP() << "Wine does not refuse a second open of a COM port";
    CSerialComm first;
    ASSERT_TRUE(first.Open(EchoPort()));
    CSerialComm second;
    CFileException why;
    EXPECT_FALSE(second.Open(EchoPort(), &why));
    EXPECT_FALSE(second.IsOpen());
    EXPECT_EQ(why.m_cause, CFileException::accessDenied);
}

TEST_F(PeerTest, AVanishedDeviceEndsReadsAndWritesWithoutHanging) {
    CSerialComm port;
    ASSERT_TRUE(
        port.Open(VanishingPort(), 57600, 8, LineSettings::kNoParity, LineSettings::kOneStopBit));
    const uint8_t byte = 0x01;
    port.Write(&byte, 1, 500);  // unplugs it
    std::this_thread::sleep_for(300ms);
    uint8_t buffer[16];
    const auto start = Clock::now();
    EXPECT_EQ(port.Read(buffer, sizeof buffer, 500), 0u);
    const std::vector<uint8_t> frame(33, 0xAA);
    port.Write(frame.data(), static_cast<uint32_t>(frame.size()), 500);
    EXPECT_LT(MsSince(start), 2 * (500.0 + 1000.0));
    EXPECT_NO_THROW(port.Close());
    EXPECT_FALSE(port.IsOpen());
}

TEST(SerialWin32, AnAbsentPortFailsWithTheSystemsReasonAndStaysClosed) {
    CSerialComm port;
    CFileException why;
    EXPECT_FALSE(port.Open(FormatComPortName(250), 57600, 8, LineSettings::kNoParity,
                           LineSettings::kOneStopBit, &why));
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(why.m_lOsError, static_cast<long>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(why.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(why.m_strFileName, "\\\\.\\COM250");
    // The second form's values are kept although the open failed.
    EXPECT_EQ(port.lineSettings().baudRate, 57600u);

    EXPECT_FALSE(OpenConfigPort(port, 2, 0, &why));  // a model the table lacks opens nothing
    EXPECT_EQ(why.m_cause, CFileException::fileNotFound);
    EXPECT_NO_THROW(port.Close());  // closing a closed port does nothing
}

// COM numbers pointed at serial device servers live in their own registry key beside the
// profiles, one text value per number; only a number the system does not have takes one.
TEST(WindowsPortMap, AServerAddressGoesToACOMNumberTheSystemLacks) {
    int number = 0;
    for (int n = kFirstComPort; n <= kLastComPort && number == 0; ++n) {
        if (!DescribeComPort(n).present) number = n;
    }
    ASSERT_NE(number, 0) << "the system has every number from COM1 to COM8";
    const std::string com = "COM" + std::to_string(number);
    const std::string key = "Software\\应用程序向导生成的本地应用程序\\PortMap";
    std::string error;
    ASSERT_TRUE(AssignComPort(number, "RFC2217://127.0.0.1:2217/", &error)) << error;
    wchar_t data[128] = {};
    DWORD size = sizeof data;
    DWORD type = REG_NONE;
    ASSERT_EQ(RegGetValueW(HKEY_CURRENT_USER, Widen(key).c_str(), Widen(com).c_str(), RRF_RT_ANY,
                           &type, data, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(Narrow(data), "rfc2217://127.0.0.1:2217");
    EXPECT_EQ(ResolvePortName(FormatComPortName(number)), "rfc2217://127.0.0.1:2217");
    const ComPortInfo info = DescribeComPort(number);
    EXPECT_TRUE(info.present);
    EXPECT_EQ(info.devicePath, "rfc2217://127.0.0.1:2217");
    EXPECT_EQ(info.description, "serial device server (RFC 2217)");
    EXPECT_EQ(info.linkPath, "HKEY_CURRENT_USER\\" + key + "\\" + com);

    // A device, a number past COM8 and an address without its port are refused; the entry stays.
    EXPECT_FALSE(AssignComPort(number, "\\\\.\\COM3", &error));
    EXPECT_NE(error.find("Device Manager"), std::string::npos) << error;
    EXPECT_FALSE(AssignComPort(kLastComPort + 1, "socket://cabinet:4001", &error));
    EXPECT_FALSE(AssignComPort(number, "socket://cabinet", &error));
    EXPECT_NE(error.find("no port number"), std::string::npos) << error;
    EXPECT_EQ(ComPortDevicePath(number), "rfc2217://127.0.0.1:2217");

    EXPECT_TRUE(FreeComPort(number, &error)) << error;
    EXPECT_EQ(ComPortDevicePath(number), FormatComPortName(number));
    EXPECT_FALSE(DescribeComPort(number).present);
    EXPECT_TRUE(FreeComPort(number, &error)) << error;
}

// A COM number the system has stays its port: it cannot be pointed at a server, and an entry
// made before the port came is not used while it is there.
TEST(WindowsPortMap, APortOfTheSystemKeepsItsNumber) {
    int number = 0;
    for (int n = kLastComPort; n >= kFirstComPort && number == 0; --n) {
        if (!DescribeComPort(n).present) number = n;
    }
    ASSERT_NE(number, 0);
    const std::wstring name = L"COM" + std::to_wstring(number);
    ASSERT_TRUE(DefineDosDeviceW(DDD_RAW_TARGET_PATH, name.c_str(), L"\\Device\\Null"));
    std::string error;
    EXPECT_FALSE(AssignComPort(number, "socket://127.0.0.1:4001", &error));
    EXPECT_NE(error.find("is a port of this system"), std::string::npos) << error;
    ASSERT_TRUE(WritePortMapEntry(number, "socket://127.0.0.1:4001", &error)) << error;
    EXPECT_EQ(ComPortDevicePath(number), FormatComPortName(number));
    const ComPortInfo info = DescribeComPort(number);
    EXPECT_EQ(info.devicePath, FormatComPortName(number));
    EXPECT_NE(info.description.find("the system has this port"), std::string::npos)
        << info.description;
    EXPECT_TRUE(FreeComPort(number, &error)) << error;
    DefineDosDeviceW(DDD_RAW_TARGET_PATH | DDD_REMOVE_DEFINITION | DDD_EXACT_MATCH_ON_REMOVE,
                     name.c_str(), L"\\Device\\Null");
    EXPECT_EQ(ReadPortMapEntry(number), "");
}

}  // namespace
}  // namespace linkmate
