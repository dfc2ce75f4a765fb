// POSIX backend of NetSocket: non-blocking sockets, poll for every wait.
#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

#include "serial/call_with_deadline.h"
#include "serial/net_socket.h"

namespace linkmate {
namespace {

using Clock = std::chrono::steady_clock;

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
            hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
            addrinfo* list = nullptr;
            const int result = getaddrinfo(host.c_str(), service.c_str(), &hints, &list);
            return std::make_pair(result, AddrInfoList(list));
        },
        deadline);
    if (!found) return EAI_AGAIN;
    out = std::move(found->second);
    return found->first;
}

// A server that sends the converter's answer byte by byte as the line delivers it, with Nagle's
// algorithm on (ser2net does), holds each byte until the one before is acknowledged, and Linux
// delays acknowledgements by up to 40 ms: a read would take several times its line time. Linux
// turns quick acknowledgement off again by itself, so it is asked for after every receive.
void AcknowledgeAtOnce(int fd) {
    const int on = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_QUICKACK, &on, sizeof on);
}

// Waits for `events` until `deadline`; false when the time ran out first.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) return false;
        pollfd pfd{fd, events, 0};
        const int rc =
            ::poll(&pfd, 1, static_cast<int>(std::min<long long>(left.count(), 1 << 30)));
        if (rc > 0) return true;  // ready, or failed: the next call tells which
        if (rc < 0 && errno != EINTR) return false;
    }
}

NetSocket::Failure Classify(int error) {
    switch (error) {
        case ECONNREFUSED:
        case ECONNRESET: return NetSocket::Failure::kRefused;
        case ETIMEDOUT: return NetSocket::Failure::kTimedOut;
        case EHOSTUNREACH:
        case ENETUNREACH:
        case EADDRNOTAVAIL: return NetSocket::Failure::kUnreachable;
        default: return NetSocket::Failure::kOther;
    }
}

// A connection attempt to one address; 0 with `fd` connected, or the error.
int ConnectOne(const addrinfo& ai, Clock::time_point deadline, int& fd) {
    fd = ::socket(ai.ai_family, ai.ai_socktype | SOCK_NONBLOCK | SOCK_CLOEXEC, ai.ai_protocol);
    if (fd < 0) return errno;
    int error = 0;
    if (::connect(fd, ai.ai_addr, ai.ai_addrlen) != 0) {
        error = errno;
        if (error == EINPROGRESS) {
            socklen_t size = sizeof error;
            error = !WaitFor(fd, POLLOUT, deadline)                              ? ETIMEDOUT
                    : ::getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) != 0 ? errno
                                                                                 : error;
        }
    }
    if (error != 0) {
        ::close(fd);
        fd = -1;
    }
    return error;
}

}  // namespace

NetSocket::ConnectResult NetSocket::Connect(const std::string& host, uint16_t port,
                                            std::chrono::milliseconds limit) {
    Close();
    m_closed = false;
    ConnectResult r;
    const auto deadline = Clock::now() + limit;
    AddrInfoList list;
    if (const int lookup = LookUp(host, port, deadline, list); lookup != 0) {
        r.failure = lookup == EAI_SYSTEM ? Classify(errno) : Failure::kUnknownHost;
        r.osError = lookup == EAI_SYSTEM ? errno : lookup;
        r.systemText = lookup == EAI_SYSTEM ? std::strerror(errno) : gai_strerror(lookup);
        return r;
    }
    int error = ETIMEDOUT;
    for (const addrinfo* ai = list.get(); ai != nullptr && Clock::now() < deadline;
         ai = ai->ai_next) {
        int fd = -1;
        const auto start = Clock::now();
        error = ConnectOne(*ai, deadline, fd);
        if (error != 0) continue;
        r.connectTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - start);
        // Requests are a few bytes each and the reply is awaited: never hold one back.
        const int on = 1;
        ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
        AcknowledgeAtOnce(fd);
        m_socket = fd;
        return r;
    }
    r.failure = Classify(error);
    r.osError = error;
    r.systemText = std::strerror(error);
    return r;
}

long NetSocket::Receive(void* buffer, size_t count, std::chrono::milliseconds wait) {
    // Also once a send has failed: what the peer said before it closed is still to be read.
    if (!IsOpen()) return -1;
    const int fd = static_cast<int>(m_socket);
    const auto deadline = Clock::now() + wait;
    for (;;) {
        const ssize_t n = ::recv(fd, buffer, count, 0);
        if (n > 0) {
            AcknowledgeAtOnce(fd);
            return static_cast<long>(n);
        }
        if (n < 0 && errno == EINTR) continue;
        if (n == 0 || (errno != EAGAIN && errno != EWOULDBLOCK)) {
            m_closed = true;
            return -1;
        }
        if (!WaitFor(fd, POLLIN, deadline)) return 0;
    }
}

bool NetSocket::Send(const void* buffer, size_t count, std::chrono::milliseconds wait) {
    if (!IsOpen() || m_closed) return false;
    const int fd = static_cast<int>(m_socket);
    const auto deadline = Clock::now() + wait;
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    size_t sent = 0;
    while (sent < count) {
        // MSG_NOSIGNAL: a peer that has gone must not end the program with SIGPIPE.
        const ssize_t n = ::send(fd, bytes + sent, count - sent, MSG_NOSIGNAL);
        if (n > 0) {
            sent += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            m_closed = true;
            return false;
        }
        if (!WaitFor(fd, POLLOUT, deadline)) return false;
    }
    return true;
}

void NetSocket::Close() {
    if (m_socket == kNoSocket) return;
    ::close(static_cast<int>(m_socket));
    m_socket = kNoSocket;
}

}  // namespace linkmate
