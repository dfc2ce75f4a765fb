// Ports on a serial device server: Debian's ser2net on 127.0.0.1 with the virtual converter on a
// pseudo-terminal behind it, reached through CSerialComm as rfc2217:// and socket:// addresses;
// a proxy in the test that cuts, delays and drops the TCP stream; the virtual converter's own
// listeners.
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <termios.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <thread>

#include "protocol/cancellable_port.h"
#include "protocol/config_exchange.h"
#include "protocol/frame_codec.h"
#include "pty_harness.h"
#include "run_program.h"
#include "sample_configs.h"
#include "ser2net_harness.h"
#include "serial/serial_comm.h"
#include "tools/sim/net_listener.h"
#include "tools/sim/virtual_converter.h"

namespace linkmate {
namespace {

using namespace std::chrono_literals;
using namespace linkmate::testing;

// Between the tool and a server: hands on what the server sends in pieces of `pieceBytes` with
// `gap` between them; once told, cuts the connection after so many more bytes from the server.
class FaultProxy {
public:
    FaultProxy(uint16_t upstream, size_t pieceBytes, std::chrono::milliseconds gap)
        : m_upstream(upstream), m_piece(pieceBytes), m_gap(gap) {
        m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof a;
        ::bind(m_listen, reinterpret_cast<sockaddr*>(&a), sizeof a);
        ::listen(m_listen, 1);
        ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&a), &size);
        port = ntohs(a.sin_port);
        m_thread = std::thread([this] { Run(); });
    }
    ~FaultProxy() {
        m_stop = true;
        ::shutdown(m_listen, SHUT_RDWR);
        m_thread.join();
        ::close(m_listen);
    }
    std::string Rfc() const { return "rfc2217://127.0.0.1:" + std::to_string(port); }
    void CutAfter(long bytes) { m_left = bytes; }
    uint16_t port = 0;

private:
    void Run() {
        const int client = ::accept(m_listen, nullptr, nullptr);
        if (client < 0) return;
        const int server = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a{};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        a.sin_port = htons(m_upstream);
        if (::connect(server, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0) m_stop = true;
        uint8_t buffer[512];
        while (!m_stop) {
            pollfd fds[2] = {{client, POLLIN, 0}, {server, POLLIN, 0}};
            if (::poll(fds, 2, 50) <= 0) continue;
            if (fds[0].revents != 0) {
                const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                ::send(server, buffer, static_cast<size_t>(n), MSG_NOSIGNAL);
            }
            if (fds[1].revents != 0) {
                const ssize_t n = ::recv(server, buffer, sizeof buffer, 0);
                if (n <= 0) break;
                for (ssize_t at = 0; at < n; at += static_cast<ssize_t>(m_piece)) {
                    const size_t piece = std::min<size_t>(m_piece, static_cast<size_t>(n - at));
                    if (m_left >= 0 && static_cast<long>(piece) > m_left) {
                        m_stop = true;
                        break;
                    }
                    if (m_left >= 0) m_left -= static_cast<long>(piece);
                    ::send(client, buffer + at, piece, MSG_NOSIGNAL);
                    std::this_thread::sleep_for(m_gap);
                }
            }
        }
        ::close(server);
        ::close(client);
    }

    uint16_t m_upstream;
    size_t m_piece;
    std::chrono::milliseconds m_gap;
    std::atomic<long> m_left{-1};  // bytes still handed on; -1: no end
    int m_listen = -1;
    std::atomic<bool> m_stop{false};
    std::thread m_thread;
};

// The bit rate the server set on the converter's line.
uint32_t LineBitRate(const std::string& device) {
    const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::close(fd);
    return cfgetospeed(&tio) == B57600 ? 57600 : cfgetospeed(&tio) == B9600 ? 9600 : 0;
}

class NetworkPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::exists(kSer2netPath))
            << "scripts/install-deps.sh installs ser2net";
        sim::Options options;
        options.lineBitRate = 57600;  // a Ternix-A: it understands nothing at another rate
        rfcConverter = std::make_unique<sim::VirtualConverter>(options);
        rawConverter = std::make_unique<sim::VirtualConverter>(options);
        ASSERT_TRUE(rfcConverter->Start() && rawConverter->Start());
        // The RFC 2217 port starts at another rate than the converter's, as ser2net's example does.
        server = std::make_unique<Ser2net>(
            std::vector<Ser2net::Connection>{{true, rfcConverter->devicePath(), "9600n81"},
                                             {false, rawConverter->devicePath(), "57600n81"}});
        ASSERT_TRUE(server->Start());
        rfc = (*server)[0].Address();
        raw = (*server)[1].Address();
        rfcHostPort = "127.0.0.1:" + std::to_string((*server)[0].port);
    }

    std::unique_ptr<sim::VirtualConverter> rfcConverter, rawConverter;
    std::unique_ptr<Ser2net> server;
    std::string rfc, raw, rfcHostPort;
};

// Reads, then writes a configuration whose frame holds 0xFF bytes (the Telnet escape) and reads
// it back: what the converter stores is exactly the frame written.
void ReadAndVerifiedWrite(const std::string& address, sim::VirtualConverter& converter) {
    SCOPED_TRACE(address);
    CSerialComm port;
    CFileException error;
    ASSERT_TRUE(port.Open(address, 57600, 8, 0, 0, &error)) << error.what();
    SerialPortIo io(port);
    DeviceConfig config;
    ASSERT_TRUE(ReadConfig(io, config));
    const DeviceConfig written = DualStandardExample();
    const ConfigFrame frame = EncodeConfigFrame(written.serial, written.can, written.tran);
    ASSERT_NE(std::count(frame.begin(), frame.end(), 0xFF), 0);
    EXPECT_TRUE(WriteAndVerify(io, written).verified());
    EXPECT_EQ(converter.storedFrame(), frame);
}

TEST_F(NetworkPortTest, ReadAndVerifiedWriteThroughBothAcceptersAtTheModelsRate) {
    ReadAndVerifiedWrite(rfc, *rfcConverter);
    ReadAndVerifiedWrite(raw, *rawConverter);
    // ser2net starts the line at 9600: the client's SET-BAUDRATE set the model's rate.
    CSerialComm port;
    ASSERT_TRUE(port.Open(rfc, 57600, 8, 0, 0));
    EXPECT_EQ(LineBitRate(rfcConverter->devicePath()), 57600u);
    port.Close();

    CSerialComm rawPort;
    ASSERT_TRUE(rawPort.Open(raw, 19200, 8, 0, 0));
    ASSERT_EQ(rawPort.networkNotes().size(), 1u);
    EXPECT_NE(rawPort.networkNotes()[0].find("raw TCP"), std::string::npos);
    EXPECT_FALSE(rawPort.SetBaudRate(19200));  // the server's settings hold
}

TEST_F(NetworkPortTest, WrongModelThroughRfc2217GetsTheModelHint) {
    const ProgramRun run = RunProgram(LINKMATE_CLI_PATH, {"--model", "B", "--device", rfc, "read"});
    EXPECT_NE(run.status, 0);
    EXPECT_NE(run.err.find("a converter answered at 57600 bit/s: use --model A (Ternix-A)"),
              std::string::npos)
        << run.err;
}

TEST_F(NetworkPortTest, ServerStoppedMidExchangeEndsItAtOnceAsALostConnection) {
    rfcConverter->SetFault(sim::Fault::kSilence);
    CSerialComm port;
    ASSERT_TRUE(port.Open(rfc, 57600, 8, 0, 0));
    SerialPortIo io(port);
    auto read = std::async(std::launch::async, [&] {
        ExchangeTrace trace;
        DeviceConfig config;
        ReadConfig(io, config, &trace);
        return trace;
    });
    std::this_thread::sleep_for(300ms);
    const auto stopped = Clock::now();
    server->Stop();
    ASSERT_EQ(read.wait_for(3s), std::future_status::ready);
    // A silent converter holds a read for more than 4 s; a lost connection ends it at once.
    EXPECT_LT(MsSince(stopped), 1000);
    EXPECT_TRUE(read.get().deviceRemoved());
    EXPECT_EQ(io.RemovalText(), "the connection to " + rfcHostPort + " was lost");
}

TEST_F(NetworkPortTest, RefusedUnknownAndBusyServersAreSaidByName) {
    const auto failure = [](const std::string& address, uint32_t rate = 57600) {
        CSerialComm port;
        CFileException error;
        EXPECT_FALSE(port.Open(address, rate, 8, 0, 0, &error));
        EXPECT_FALSE(port.IsOpen());
        return error;
    };
    const uint16_t nobody = FreeTcpPort();
    EXPECT_EQ(failure("rfc2217://127.0.0.1:" + std::to_string(nobody)).m_strReason,
              "the server at 127.0.0.1:" + std::to_string(nobody) +
                  " refused the connection: nothing listens on that port");
    EXPECT_NE(failure("socket://no-such-host.invalid:2217")
                  .m_strReason.find("the host \"no-such-host.invalid\" is unknown"),
              std::string::npos);
    // A raw TCP port spoken to as RFC 2217 never answers the negotiation.
    EXPECT_NE(failure("rfc2217://" + raw.substr(raw.find("//") + 2)).m_strReason.find("socket://"),
              std::string::npos);

    for (const std::string& address : {rfc, raw}) {
        CSerialComm first;
        CFileException error;
        ASSERT_TRUE(first.Open(address, 57600, 8, 0, 0, &error)) << error.what();
        const CFileException busy = failure(address);
        EXPECT_EQ(busy.m_cause, CFileException::sharingViolation) << address;
        EXPECT_NE(busy.m_strReason.find("Port already in use"), std::string::npos)
            << busy.m_strReason;
    }
}

TEST_F(NetworkPortTest, CancelEndsASilentRfc2217ReadWithinASlice) {
    rfcConverter->SetFault(sim::Fault::kSilence);
    CSerialComm port;
    ASSERT_TRUE(port.Open(rfc, 57600, 8, 0, 0));
    SerialPortIo serial(port);
    ExchangeControl control;
    CancellablePortIo io(serial, port.readTimeoutMs(), control);
    auto read = std::async(std::launch::async, [&] {
        DeviceConfig config;
        return ReadConfig(io, config);
    });
    std::this_thread::sleep_for(200ms);
    const auto cancelled = Clock::now();
    control.cancelled = true;
    ASSERT_EQ(read.wait_for(2s), std::future_status::ready);
    EXPECT_FALSE(read.get());
    EXPECT_LT(MsSince(cancelled), 500);
}

TEST_F(NetworkPortTest, SegmentsSplitAndDelayedStillCarryReadsAndWrites) {
    // Every byte from the server in a segment of its own, IAC pairs and commands torn apart.
    FaultProxy proxy((*server)[0].port, 1, 1ms);
    ReadAndVerifiedWrite(proxy.Rfc(), *rfcConverter);
}

TEST_F(NetworkPortTest, ConnectionDroppedInsideAReplyIsALostConnection) {
    FaultProxy proxy((*server)[0].port, 4, 0ms);
    CSerialComm port;
    ASSERT_TRUE(port.Open(proxy.Rfc(), 57600, 8, 0, 0));
    proxy.CutAfter(12);
    SerialPortIo io(port);
    ExchangeTrace trace;
    DeviceConfig config;
    const auto start = Clock::now();
    EXPECT_FALSE(ReadConfig(io, config, &trace));
    EXPECT_TRUE(trace.deviceRemoved());
    EXPECT_LT(MsSince(start), 1000);
}

TEST(VirtualConverterListener, ServesRawAndRfc2217AtTheModelsRate) {
    sim::Options options;
    options.lineBitRate = 57600;
    sim::VirtualConverter converter(options);
    ASSERT_TRUE(converter.Start());
    sim::NetListener rfc, raw;
    std::string error;
    ASSERT_TRUE(rfc.Start("0", true, converter.devicePath(), 9600, &error)) << error;
    ASSERT_TRUE(raw.Start("127.0.0.1:0", false, converter.devicePath(), 57600, &error)) << error;
    ReadAndVerifiedWrite(rfc.address(), converter);
    ReadAndVerifiedWrite(raw.address(), converter);

    // Set to the other model's rate, the converter hears garbage and answers nothing.
    CSerialComm port;
    ASSERT_TRUE(port.Open(rfc.address(), 19200, 8, 0, 0));
    SerialPortIo io(port);
    DeviceConfig config;
    EXPECT_FALSE(ReadConfig(io, config));
    EXPECT_TRUE(port.SetBaudRate(57600));
    EXPECT_TRUE(ReadConfig(io, config));

    CSerialComm second;
    CFileException busy;
    EXPECT_FALSE(second.Open(rfc.address(), 57600, 8, 0, 0, &busy));
    EXPECT_EQ(busy.m_cause, CFileException::sharingViolation);
    port.Close();

    // This server answers with the rate its line really has (ser2net repeats any rate asked for).
    CFileException refused;
    EXPECT_FALSE(second.Open(rfc.address(), 250000, 8, 0, 0, &refused));
    EXPECT_EQ(refused.m_strReason,
              "the server at " + rfc.address().substr(10) + " did not take 250000 bit/s");
}

}  // namespace
}  // namespace linkmate
