// Winsock backend of NetSocket: non-blocking sockets, select for every wait (WSAPoll does not
// report a refused connection on every Windows version).
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <memory>

#include "serial/file_exception.h"
#include "serial/call_with_deadline.h"
#include "serial/net_socket.h"

namespace linkmate {
namespace {

using Clock = std::chrono::steady_clock;

// Winsock is started once for the process and left running until it ends.
bool StartWinsock() {
    static const bool started = [] {
        WSADATA data{};
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    return started;
}

SOCKET AsSocket(NetSocket::Handle handle) { return static_cast<SOCKET>(handle); }

struct AddrInfoDeleter {
    void operator()(addrinfo* list) const { freeaddrinfo(list); }
};
using AddrInfoList = std::unique_ptr<addrinfo, AddrInfoDeleter>;

int LookUp(const std::string& host, uint16_t port, Clock::time_point deadline, AddrInfoList& out) {
    auto found = CallWithDeadline(
        [host, service = std::to_string(port)] {
            addrinfo hints{};
            hints.ai_family = AF_UNSPEC;
            hints.ai_socktype = SOCK_STREAM;
            hints.ai_protocol = IPPROTO_TCP;
            hints.ai_flags = AI_NUMERICSERV;
            addrinfo* list = nullptr;
            const int result = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
            return std::make_pair(result, AddrInfoList(list));
        },
        deadline);
    if (!found) return WSATRY_AGAIN;
    out = std::move(found->second);
    return found->first;
}

enum class Ready { kYes, kFailed, kTimedOut };

// Waits until `s` can be read (or written) or has failed, at most until `deadline`.
Ready WaitFor(SOCKET s, bool write, Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::microseconds>(deadline - Clock::now());
    const long long us = std::max<long long>(left.count(), 0);
    timeval tv{static_cast<long>(us / 1'000'000), static_cast<long>(us % 1'000'000)};
    fd_set ready, failed;
    FD_ZERO(&ready);
    FD_ZERO(&failed);
    FD_SET(s, &ready);
    FD_SET(s, &failed);
    const int rc = select(0, write ? nullptr : &ready, write ? &ready : nullptr, &failed, &tv);
    if (rc == 0) return Ready::kTimedOut;
    if (rc < 0 || FD_ISSET(s, &failed)) return Ready::kFailed;
    return Ready::kYes;
}

NetSocket::Failure Classify(int error) {
    switch (error) {
        case WSAECONNREFUSED:
        case WSAECONNRESET: return NetSocket::Failure::kRefused;
        case WSAETIMEDOUT: return NetSocket::Failure::kTimedOut;
        case WSAEHOSTUNREACH:
        case WSAENETUNREACH:
        case WSAEADDRNOTAVAIL: return NetSocket::Failure::kUnreachable;
        case WSAHOST_NOT_FOUND:
        case WSANO_DATA:
        case WSATRY_AGAIN: return NetSocket::Failure::kUnknownHost;
        default: return NetSocket::Failure::kOther;
    }
}

// A connection attempt to one address; 0 with `s` connected, or the error.
int ConnectOne(const addrinfo& ai, Clock::time_point deadline, SOCKET& s) {
    s = socket(ai.ai_family, ai.ai_socktype, ai.ai_protocol);
    if (s == INVALID_SOCKET) return WSAGetLastError();
    u_long nonBlocking = 1;
    ioctlsocket(s, FIONBIO, &nonBlocking);
    int error = 0;
    if (connect(s, ai.ai_addr, static_cast<int>(ai.ai_addrlen)) != 0) {
        error = WSAGetLastError();
        if (error == WSAEWOULDBLOCK) {
            const Ready ready = WaitFor(s, true, deadline);
            int size = sizeof error;
            error =
                ready == Ready::kTimedOut ? WSAETIMEDOUT
                : getsockopt(s, SOL_SOCKET, SO_ERROR, reinterpret_cast<char*>(&error), &size) != 0
                    ? WSAGetLastError()
                    : error;
            if (ready == Ready::kFailed && error == 0) error = WSAECONNREFUSED;
        }
    }
    if (error != 0) {
        closesocket(s);
        s = INVALID_SOCKET;
    }
    return error;
}

}  // namespace

NetSocket::ConnectResult NetSocket::Connect(const std::string& host, uint16_t port,
                                            std::chrono::milliseconds limit) {
    Close();
    m_closed = false;
    ConnectResult r;
    const auto fail = [&](int error) {
        r.failure = Classify(error);
        r.osError = error;
        r.systemText = CFileException::SystemErrorText(error);
        return r;
    };
    if (!StartWinsock()) return fail(WSASYSNOTREADY);
    const auto deadline = Clock::now() + limit;
    AddrInfoList list;
    if (const int lookup = LookUp(host, port, deadline, list); lookup != 0) {
        fail(lookup);
        r.failure = Failure::kUnknownHost;
        return r;
    }
    int error = WSAETIMEDOUT;
    for (const addrinfo* ai = list.get(); ai != nullptr && Clock::now() < deadline;
         ai = ai->ai_next) {
        SOCKET s = INVALID_SOCKET;
        const auto start = Clock::now();
        error = ConnectOne(*ai, deadline, s);
        if (error != 0) continue;
        r.connectTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        // Requests are a few bytes each and the reply is awaited: never hold one back.
        const BOOL on = TRUE;
        setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&on), sizeof on);
        m_socket = static_cast<Handle>(s);
        return r;
    }
    return fail(error);
}

long NetSocket::Receive(void* buffer, size_t count, std::chrono::milliseconds wait) {
    // Also once a send has failed: what the peer said before it closed is still to be read.
    if (!IsOpen()) return -1;
    const SOCKET s = AsSocket(m_socket);
    const auto deadline = Clock::now() + wait;
    const int asked = static_cast<int>(std::min<size_t>(count, 1 << 20));
    for (;;) {
        const int n = recv(s, static_cast<char*>(buffer), asked, 0);
        if (n > 0) return n;
        if (n == 0 || WSAGetLastError() != WSAEWOULDBLOCK) {
            m_closed = true;
            return -1;
        }
        const Ready ready = WaitFor(s, false, deadline);
        if (ready == Ready::kTimedOut) return 0;
        if (ready == Ready::kFailed) {
            m_closed = true;
            return -1;
        }
    }
}

bool NetSocket::Send(const void* buffer, size_t count, std::chrono::milliseconds wait) {
    if (!IsOpen() || m_closed) return false;
    const SOCKET s = AsSocket(m_socket);
    const auto deadline = Clock::now() + wait;
    const char* bytes = static_cast<const char*>(buffer);
    size_t sent = 0;
    while (sent < count) {
        const int n =
            send(s, bytes + sent, static_cast<int>(std::min<size_t>(count - sent, 1 << 20)), 0);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (WSAGetLastError() != WSAEWOULDBLOCK) {
            m_closed = true;
            return false;
        }
        if (WaitFor(s, true, deadline) != Ready::kYes) return false;
    }
    return true;
}

void NetSocket::Close() {
    if (m_socket == kNoSocket) return;
    closesocket(AsSocket(m_socket));
    m_socket = kNoSocket;
}

}  // namespace linkmate
