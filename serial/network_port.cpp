#include "serial/network_port.h"

#include <algorithm>
#include <thread>

#include "protocol/text.h"
#include "serial/file_exception.h"

namespace linkmate {
namespace {

using namespace std::chrono;

// A round trip longer than this is no network to configure a converter over.
constexpr milliseconds kMostAllowance{2000};
// A server that has just let a client go may not have noticed yet (ser2net sees the close on its
// next turn, and our own last connection may be that client): a port turned away as busy is
// asked again, a little later each time.
constexpr int kBusyRetries = 3;
constexpr milliseconds kBusyRetryGap{150};

std::string ConnectFailureText(const PortAddress& a, const NetSocket::ConnectResult& r) {
    switch (r.failure) {
        case NetSocket::Failure::kUnknownHost:
            return text::Arg(text::translate("NetworkPort", "the host \"%1\" is unknown (%2)"),
                             {a.host, r.systemText});
        case NetSocket::Failure::kRefused:
            return text::Arg(text::translate("NetworkPort",
                                             "the server at %1 refused the connection: nothing "
                                             "listens on that port"),
                             {a.HostPort()});
        case NetSocket::Failure::kTimedOut:
            return text::Arg(
                text::translate("NetworkPort", "the server at %1 did not answer within %2 s"),
                {a.HostPort(), std::to_string(NetworkPort::kConnectTimeout.count() / 1000)});
        case NetSocket::Failure::kUnreachable:
            return text::Arg(
                text::translate("NetworkPort", "the server at %1 cannot be reached (%2)"),
                {a.HostPort(), r.systemText});
        default:
            return text::Arg(text::translate("NetworkPort", "the connection to %1 failed (%2)"),
                             {a.HostPort(), r.systemText});
    }
}

// Printable text a server sent before it closed, on one line, for the message.
std::string Printable(const std::deque<uint8_t>& bytes) {
    std::string out;
    for (uint8_t b : bytes) {
        if (b >= 0x20 && b < 0x7F) {
            out += static_cast<char>(b);
        } else if (!out.empty() && out.back() != ' ') {
            out += ' ';
        }
        if (out.size() >= 80) break;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

}  // namespace

std::unique_ptr<NetworkPort> NetworkPort::Make(const PortAddress& address) {
    return address.scheme == PortAddress::Scheme::kRfc2217 ? MakeRfc2217Port(address)
                                                           : MakeRawTcpPort(address);
}

NetworkPort::Failure NetworkPort::Open(const LineSettings& line) {
    for (int attempt = 0;; ++attempt) {
        Failure failure = OpenOnce(line);
        if (failure.osError != CFileException::InUseError() || attempt == kBusyRetries)
            return failure;
        std::this_thread::sleep_for(kBusyRetryGap * (attempt + 1));
    }
}

NetworkPort::Failure NetworkPort::OpenOnce(const LineSettings& line) {
    Close();
    const NetSocket::ConnectResult r =
        m_socket.Connect(m_address.host, m_address.port, kConnectTimeout);
    if (r.failure != NetSocket::Failure::kNone) {
        return {r.osError != 0 ? r.osError : CFileException::ProtocolError(),
                ConnectFailureText(m_address, r)};
    }
    m_roundTrip = r.connectTime;
    Failure failure = SetUp(line);
    if (failure.osError != 0) Close();
    return failure;
}

void NetworkPort::Close() {
    m_socket.Close();
    m_lost = false;
    m_data.clear();
    m_notes.clear();
}

milliseconds NetworkPort::ReadAllowance() const {
    return std::min(ceil<milliseconds>(2 * m_roundTrip) + kServerDelay, kMostAllowance);
}

std::string NetworkPort::LostText() const {
    return text::Arg(text::translate("NetworkPort", "the connection to %1 was lost"),
                     {m_address.HostPort()});
}

bool NetworkPort::Pump(Clock::time_point deadline) {
    if (m_lost) return false;
    uint8_t buffer[4096];
    const auto wait = std::max(ceil<milliseconds>(deadline - Clock::now()), milliseconds(0));
    const long n = m_socket.Receive(buffer, sizeof buffer, wait);
    if (n < 0) m_lost = true;
    if (n <= 0) return false;
    Take(buffer, static_cast<size_t>(n));
    return true;
}

bool NetworkPort::SendRaw(const std::vector<uint8_t>& bytes, milliseconds wait) {
    if (m_lost) return false;
    if (m_socket.Send(bytes.data(), bytes.size(), wait)) return true;
    m_lost = m_socket.closed();
    return false;
}

NetworkPort::Failure NetworkPort::TurnedAway(milliseconds wait) {
    const auto deadline = Clock::now() + wait;
    while (!m_lost && Clock::now() < deadline) Pump(deadline);
    if (!m_lost) return {};
    // A send that failed on the closed connection may have ended the wait before the server's
    // words were read.
    uint8_t buffer[512];
    for (long n; (n = m_socket.Receive(buffer, sizeof buffer, milliseconds(0))) > 0;) {
        Take(buffer, static_cast<size_t>(n));
    }
    const std::string said = Printable(m_data);
    return {
        CFileException::InUseError(),
        said.empty()
            ? text::Arg(text::translate("NetworkPort",
                                        "the server at %1 closed the connection at once: it may "
                                        "serve another client (a serial device server takes one "
                                        "client per port)"),
                        {m_address.HostPort()})
            : text::Arg(text::translate("NetworkPort",
                                        "the server at %1 turned the connection away (\"%2\"): "
                                        "another program is connected to it (a serial device "
                                        "server takes one client per port)"),
                        {m_address.HostPort(), said})};
}

uint32_t NetworkPort::Read(void* buffer, uint32_t count, uint32_t timeoutMs) {
    if (m_data.empty()) {
        const auto deadline = Clock::now() + milliseconds(timeoutMs) + ReadAllowance();
        // A chunk may hold nothing but Telnet commands: wait on for data.
        while (m_data.empty() && Pump(deadline)) {
        }
    }
    const uint32_t n = static_cast<uint32_t>(std::min<size_t>(count, m_data.size()));
    std::copy_n(m_data.begin(), n, static_cast<uint8_t*>(buffer));
    m_data.erase(m_data.begin(), m_data.begin() + n);
    return n;
}

void NetworkPort::Write(const void* buffer, uint32_t count, uint32_t timeoutMs) {
    std::vector<uint8_t> bytes;
    Encode(static_cast<const uint8_t*>(buffer), count, bytes);
    SendRaw(bytes, timeoutMs != 0 ? milliseconds(timeoutMs) : kUnboundedWrite);
}

}  // namespace linkmate
