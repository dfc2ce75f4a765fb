#include "tools/sim/net_listener.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <vector>

#include "serial/telnet_codec.h"

namespace linkmate::sim {
namespace {

using namespace telnet;

constexpr char kBusyText[] = "Port already in use\r\n";

struct Rate {
    uint32_t bitRate;
    speed_t code;
};
constexpr std::array<Rate, 12> kRates = {{{600, B600},
                                          {1200, B1200},
                                          {2400, B2400},
                                          {4800, B4800},
                                          {9600, B9600},
                                          {19200, B19200},
                                          {38400, B38400},
                                          {57600, B57600},
                                          {115200, B115200},
                                          {230400, B230400},
                                          {460800, B460800},
                                          {921600, B921600}}};

// Sends all of `bytes`, waiting a little for room; a client that takes nothing for a second is
// given up on by the caller when its next read fails.
void SendAll(int fd, const std::vector<uint8_t>& bytes) {
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0) return;
        } else {
            return;
        }
    }
}

void WriteAll(int fd, const uint8_t* bytes, size_t count) {
    size_t done = 0;
    while (done < count) {
        const ssize_t n = ::write(fd, bytes + done, count - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            pollfd p{fd, POLLOUT, 0};
            if (::poll(&p, 1, 1000) <= 0) return;
        } else {
            return;
        }
    }
}

// One client's session: the pseudo-terminal opened as a serial device server opens its port, and
// for RFC 2217 the Telnet side.
class Session {
public:
    Session(int client, int line, bool rfc2217)
        : m_client(client), m_line(line), m_rfc2217(rfc2217) {
        if (!m_rfc2217) return;
        std::vector<uint8_t> offer;
        for (const auto& [verb, option] : {std::pair{kWill, kBinary},
                                           {kDo, kBinary},
                                           {kWill, kSuppressGoAhead},
                                           {kDo, kSuppressGoAhead},
                                           {kDo, kComPortOption}}) {
            const auto bytes = Negotiation(verb, option);
            offer.insert(offer.end(), bytes.begin(), bytes.end());
            m_said[verb - kWill][option] = true;
        }
        SendAll(m_client, offer);
    }
    ~Session() {
        ::close(m_client);
        ::close(m_line);
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    int client() const { return m_client; }
    int line() const { return m_line; }

    void FromClient(const uint8_t* bytes, size_t count) {
        if (!m_rfc2217) {
            WriteAll(m_line, bytes, count);
            return;
        }
        std::vector<uint8_t> data;
        std::vector<Command> commands;
        m_decoder.Feed(bytes, count, data, commands);
        WriteAll(m_line, data.data(), data.size());
        std::vector<uint8_t> answer;
        for (const Command& c : commands) Handle(c, answer);
        if (!answer.empty()) SendAll(m_client, answer);
    }

    void FromLine(const uint8_t* bytes, size_t count) {
        if (!m_rfc2217) {
            SendAll(m_client, std::vector<uint8_t>(bytes, bytes + count));
            return;
        }
        std::vector<uint8_t> out;
        AppendData(out, bytes, count);
        SendAll(m_client, out);
    }

private:
    void Handle(const Command& c, std::vector<uint8_t>& answer) {
        const bool own =
            c.option == kBinary || c.option == kSuppressGoAhead || c.option == kComPortOption;
        const auto say = [&](uint8_t verb) {
            if (m_said[verb - kWill][c.option]) return;
            m_said[verb - kWill][c.option] = true;
            const auto bytes = Negotiation(verb, c.option);
            answer.insert(answer.end(), bytes.begin(), bytes.end());
        };
        switch (c.verb) {
            case kDo: say(own && c.option != kComPortOption ? kWill : kWont); break;
            case kWill: say(own ? kDo : kDont); break;
            case kSb:
                if (c.option == kComPortOption && !c.payload.empty()) ComPort(c.payload, answer);
                break;
            default: break;
        }
    }

    // A COM-PORT request: applied to the pseudo-terminal, answered with what it now holds.
    void ComPort(const std::vector<uint8_t>& payload, std::vector<uint8_t>& answer) {
        const uint8_t command = payload[0];
        const std::vector<uint8_t> value(payload.begin() + 1, payload.end());
        termios tio{};
        ::tcgetattr(m_line, &tio);
        std::vector<uint8_t> reply;
        switch (command) {
            case kSetBaudRate: {
                if (value.size() != 4) return;
                const uint32_t asked = uint32_t{value[0]} << 24 | uint32_t{value[1]} << 16 |
                                       uint32_t{value[2]} << 8 | value[3];
                for (const Rate& r : kRates) {
                    if (r.bitRate == asked) {
                        cfsetspeed(&tio, r.code);
                        ::tcsetattr(m_line, TCSANOW, &tio);
                    }
                }
                ::tcgetattr(m_line, &tio);
                uint32_t now = 0;
                for (const Rate& r : kRates) {
                    if (r.code == cfgetospeed(&tio)) now = r.bitRate;
                }
                reply = {static_cast<uint8_t>(now >> 24), static_cast<uint8_t>(now >> 16),
                         static_cast<uint8_t>(now >> 8), static_cast<uint8_t>(now)};
                break;
            }
            case kSetDataSize: {
                if (value.size() != 1) return;
                const std::array<tcflag_t, 4> sizes = {CS5, CS6, CS7, CS8};
                if (value[0] >= 5 && value[0] <= 8) {
                    tio.c_cflag =
                        (tio.c_cflag & ~static_cast<tcflag_t>(CSIZE)) | sizes[value[0] - 5u];
                    ::tcsetattr(m_line, TCSANOW, &tio);
                }
                ::tcgetattr(m_line, &tio);
                const tcflag_t size = tio.c_cflag & CSIZE;
                reply = {static_cast<uint8_t>(size == CS5   ? 5
                                              : size == CS6 ? 6
                                              : size == CS7 ? 7
                                                            : 8)};
                break;
            }
            case kSetParity: {
                if (value.size() != 1) return;
                const tcflag_t bits = value[0] == 2   ? (PARENB | PARODD)
                                      : value[0] == 3 ? PARENB
                                      : value[0] == 4 ? (PARENB | PARODD | CMSPAR)
                                      : value[0] == 5 ? (PARENB | CMSPAR)
                                                      : 0;
                if (value[0] >= 1 && value[0] <= 5) {
                    tio.c_cflag =
                        (tio.c_cflag & ~static_cast<tcflag_t>(PARENB | PARODD | CMSPAR)) | bits;
                    ::tcsetattr(m_line, TCSANOW, &tio);
                }
                reply = value;
                break;
            }
            case kSetStopSize:
                if (value.size() != 1) return;
                if (value[0] >= 1 && value[0] <= 3) {
                    tio.c_cflag = value[0] == 1 ? tio.c_cflag & ~static_cast<tcflag_t>(CSTOPB)
                                                : tio.c_cflag | CSTOPB;
                    ::tcsetattr(m_line, TCSANOW, &tio);
                }
                reply = value;
                break;
            case kSetControl:
                // No flow control and no modem lines here: every request is taken as asked.
                reply = value;
                break;
            case kPurgeData:
                if (value.size() != 1) return;
                ::tcflush(m_line, value[0] == 1 ? TCIFLUSH : value[0] == 2 ? TCOFLUSH : TCIOFLUSH);
                reply = value;
                break;
            default: return;  // notifications and masks: nothing to do, nothing to say
        }
        const auto bytes = ComPortRequest(static_cast<uint8_t>(command + kServerReply), reply);
        answer.insert(answer.end(), bytes.begin(), bytes.end());
    }

    int m_client;
    int m_line;
    bool m_rfc2217;
    Decoder m_decoder;
    std::array<std::array<bool, 256>, 4> m_said{};  // WILL, WONT, DO, DONT by option
};

// The pseudo-terminal opened raw at `bitRate`, as a server opens its serial port; -1 on failure.
int OpenLine(const std::string& path, uint32_t bitRate) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return -1;
    termios tio{};
    if (::tcgetattr(fd, &tio) == 0) {
        cfmakeraw(&tio);
        tio.c_cflag |= CLOCAL | CREAD;
        for (const Rate& r : kRates) {
            if (r.bitRate == bitRate) cfsetspeed(&tio, r.code);
        }
        ::tcsetattr(fd, TCSANOW, &tio);
    }
    return fd;
}

}  // namespace

bool NetListener::Start(const std::string& hostPort, bool rfc2217, const std::string& devicePath,
                        uint32_t startBitRate, std::string* error) {
    const auto fail = [&](const std::string& why) {
        if (error != nullptr) *error = why;
        Stop();
        return false;
    };
    m_rfc2217 = rfc2217;
    m_devicePath = devicePath;
    m_startBitRate = startBitRate;
    std::string host = "127.0.0.1";
    std::string port = hostPort;
    if (const size_t colon = hostPort.rfind(':'); colon != std::string::npos) {
        host = hostPort.substr(0, colon);
        port = hostPort.substr(colon + 1);
        if (host.size() >= 2 && host.front() == '[' && host.back() == ']')
            host = host.substr(1, host.size() - 2);
    }
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_PASSIVE | AI_NUMERICSERV;
    addrinfo* list = nullptr;
    if (const int rc = getaddrinfo(host.c_str(), port.c_str(), &hints, &list); rc != 0) {
        return fail(hostPort + ": " + gai_strerror(rc));
    }
    m_listen = ::socket(list->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int on = 1;
    if (m_listen >= 0) ::setsockopt(m_listen, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    const bool bound = m_listen >= 0 && ::bind(m_listen, list->ai_addr, list->ai_addrlen) == 0 &&
                       ::listen(m_listen, 4) == 0;
    freeaddrinfo(list);
    if (!bound) return fail(hostPort + ": " + std::strerror(errno));
    sockaddr_storage bound_address{};
    socklen_t size = sizeof bound_address;
    ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&bound_address), &size);
    const uint16_t taken = ntohs(bound_address.ss_family == AF_INET6
                                     ? reinterpret_cast<sockaddr_in6*>(&bound_address)->sin6_port
                                     : reinterpret_cast<sockaddr_in*>(&bound_address)->sin_port);
    const bool v6 = host.find(':') != std::string::npos;
    m_address = std::string(rfc2217 ? "rfc2217://" : "socket://") + (v6 ? "[" + host + "]" : host) +
                ":" + std::to_string(taken);
    m_stopEvent = ::eventfd(0, EFD_CLOEXEC);
    if (m_stopEvent < 0) return fail(std::strerror(errno));
    m_thread = std::thread([this] { Serve(); });
    return true;
}

void NetListener::Stop() {
    if (m_thread.joinable()) {
        const uint64_t one = 1;
        if (::write(m_stopEvent, &one, sizeof one) < 0) {
            // The thread then ends with the process.
        }
        m_thread.join();
    }
    for (int* fd : {&m_listen, &m_stopEvent}) {
        if (*fd >= 0) ::close(*fd);
        *fd = -1;
    }
}

void NetListener::Serve() {
    std::unique_ptr<Session> session;
    uint8_t buffer[4096];
    for (;;) {
        std::vector<pollfd> fds = {{m_stopEvent, POLLIN, 0}, {m_listen, POLLIN, 0}};
        if (session) {
            fds.push_back({session->client(), POLLIN, 0});
            fds.push_back({session->line(), POLLIN, 0});
        }
        if (::poll(fds.data(), fds.size(), -1) < 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (fds[0].revents != 0) return;
        if (fds[1].revents & POLLIN) {
            const int client = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC);
            // A client that has just closed, unnoticed yet, makes room for the next.
            uint8_t peek = 0;
            if (session && ::recv(session->client(), &peek, 1, MSG_PEEK | MSG_DONTWAIT) == 0)
                session.reset();
            if (client >= 0 && session) {
                SendAll(client, std::vector<uint8_t>(kBusyText, kBusyText + sizeof kBusyText - 1));
                ::close(client);
            } else if (client >= 0) {
                const int on = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                const int line = OpenLine(m_devicePath, m_startBitRate);
                if (line < 0) {
                    ::close(client);
                } else {
                    session = std::make_unique<Session>(client, line, m_rfc2217);
                }
            }
        }
        if (!session || fds.size() < 4) continue;
        if (fds[2].revents != 0) {
            const ssize_t n = ::recv(session->client(), buffer, sizeof buffer, 0);
            if (n <= 0 && !(n < 0 && (errno == EAGAIN || errno == EINTR))) {
                session.reset();
                continue;
            }
            if (n > 0) session->FromClient(buffer, static_cast<size_t>(n));
        }
        if (fds[3].revents != 0) {
            const ssize_t n = ::read(session->line(), buffer, sizeof buffer);
            if (n > 0) {
                session->FromLine(buffer, static_cast<size_t>(n));
            } else if (n == 0 || (errno != EAGAIN && errno != EINTR)) {
                // The converter has gone: so has the line behind the port.
                session.reset();
            }
        }
    }
}

}  // namespace linkmate::sim
