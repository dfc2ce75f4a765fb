// One TCP connection with every wait bounded: the name looked up and the connection made within
// a time limit, each receive and send within its own. POSIX sockets and Winsock each have a file
// of their own behind this front.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <string>

namespace linkmate {

class NetSocket {
public:
    using Handle = intptr_t;
    static constexpr Handle kNoSocket = -1;

    enum class Failure {
        kNone,
        kUnknownHost,  // the name has no address (or no name server answered in time)
        kRefused,      // nothing listens on that port, or the server turned us away
        kTimedOut,     // no answer from the host within the limit
        kUnreachable,  // no route to the host or its network
        kOther,
    };

    struct ConnectResult {
        Failure failure = Failure::kNone;
        long osError = 0;        // the system's code (errno, a WSA code or a look-up code)
        std::string systemText;  // the system's own words for it
        std::chrono::microseconds connectTime{0};  // the TCP handshake: one round trip
    };

    NetSocket() = default;
    ~NetSocket() { Close(); }
    NetSocket(const NetSocket&) = delete;
    NetSocket& operator=(const NetSocket&) = delete;

    // Looks `host` up and connects to the first of its addresses that takes the connection,
    // all within `limit`. Replaces a connection this object had.
    ConnectResult Connect(const std::string& host, uint16_t port, std::chrono::milliseconds limit);

    bool IsOpen() const { return m_socket != kNoSocket; }
    Handle handle() const { return m_socket; }

    // Up to `count` bytes: at once when some have arrived, otherwise the first to arrive within
    // `wait`. 0 on time-out; -1 once the peer has closed the connection or it failed (then
    // closed() is true and every later send fails at once; what arrived before can still be
    // received).
    long Receive(void* buffer, size_t count, std::chrono::milliseconds wait);

    // All `count` bytes within `wait`; false when the connection failed or the time ran out.
    bool Send(const void* buffer, size_t count, std::chrono::milliseconds wait);

    bool closed() const { return m_closed; }
    void Close();

private:
    Handle m_socket = kNoSocket;
    bool m_closed = false;
};

}  // namespace linkmate
