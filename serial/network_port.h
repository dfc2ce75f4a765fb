// A COM port on a serial device server, reached over TCP: the transport behind CSerialComm when
// the port's name is an address (port_address.h). One file per kind: rfc2217_port.cpp (the client
// sets the line) and raw_tcp_port.cpp (the server's line settings hold). Reads and writes keep the
// serial port's policy: a read returns at once with what has arrived, else with the first bytes
// to arrive within its time-out, else with nothing.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "serial/net_socket.h"
#include "serial/port_address.h"

namespace linkmate {

struct LineSettings;

class NetworkPort {
public:
    using Clock = std::chrono::steady_clock;

    // Looking the host up and making the connection.
    static constexpr std::chrono::milliseconds kConnectTimeout{5000};
    // A serial device server holds bytes from the line back until the line pauses (ser2net's
    // character delay, at most 20 ms by default) before it sends them on.
    static constexpr std::chrono::milliseconds kServerDelay{20};
    // A write without a time-out of its own still ends when the network takes nothing more.
    static constexpr std::chrono::milliseconds kUnboundedWrite{5000};

    static std::unique_ptr<NetworkPort> Make(const PortAddress& address);
    virtual ~NetworkPort() = default;
    NetworkPort(const NetworkPort&) = delete;
    NetworkPort& operator=(const NetworkPort&) = delete;

    struct Failure {
        long osError = 0;    // 0: opened
        std::string reason;  // in words, naming the server
    };
    // Connects and sets the line up; on failure nothing is left open.
    Failure Open(const LineSettings& line);
    void Close();

    // The read time-out is stretched by ReadAllowance(), so that a converter's answer still fits
    // in it after its trip across the network.
    uint32_t Read(void* buffer, uint32_t count, uint32_t timeoutMs);
    // `timeoutMs` 0: within kUnboundedWrite.
    void Write(const void* buffer, uint32_t count, uint32_t timeoutMs);
    // False when the server did not take the rate (a raw TCP port never does).
    virtual bool SetBaudRate(uint32_t baudRate) = 0;

    // Takes what has arrived, without waiting: notices a connection that dropped while idle.
    void Poll() { Pump(Clock::now()); }
    // The connection dropped; every later read and write fails at once.
    bool lost() const { return m_lost; }
    NetSocket::Handle handle() const { return m_socket.handle(); }
    const PortAddress& address() const { return m_address; }
    std::chrono::microseconds roundTrip() const { return m_roundTrip; }
    // Twice the round trip measured at connect, plus the server's delay.
    std::chrono::milliseconds ReadAllowance() const;
    // What the set-up could not do or confirm, for the status line and the trace.
    const std::vector<std::string>& notes() const { return m_notes; }

    // "the connection to HOST:PORT was lost"
    std::string LostText() const;

protected:
    explicit NetworkPort(PortAddress address) : m_address(std::move(address)) {}

    Failure OpenOnce(const LineSettings& line);

    // After the connection is made: whatever the kind needs before the port can be used.
    virtual Failure SetUp(const LineSettings& line) = 0;
    // Bytes from the connection, to be turned into data for Read.
    virtual void Take(const uint8_t* bytes, size_t count) = 0;
    // Data as it goes on the connection.
    virtual void Encode(const uint8_t* bytes, size_t count, std::vector<uint8_t>& out) = 0;

    // Receives what comes within `deadline` (at least one look, also when it has passed); false
    // when nothing came or the connection is lost.
    bool Pump(Clock::time_point deadline);
    bool SendRaw(const std::vector<uint8_t>& bytes, std::chrono::milliseconds wait);
    // Waits until the server turns a new connection away (ser2net closes it at once with a line
    // of text when another client has the port), up to `wait`; the failure, or nothing.
    Failure TurnedAway(std::chrono::milliseconds wait);

    std::deque<uint8_t> m_data;  // received data not yet read
    std::vector<std::string> m_notes;
    PortAddress m_address;

private:
    NetSocket m_socket;
    std::chrono::microseconds m_roundTrip{0};
    bool m_lost = false;
};

std::unique_ptr<NetworkPort> MakeRfc2217Port(const PortAddress& address);
std::unique_ptr<NetworkPort> MakeRawTcpPort(const PortAddress& address);

}  // namespace linkmate
