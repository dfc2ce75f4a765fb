// The virtual converter on the network: a TCP port whose client talks to the converter's
// pseudo-terminal, as a serial device server would with a converter on its serial port. Raw TCP
// passes the bytes as they are; RFC 2217 also takes the client's line settings and applies them
// to the pseudo-terminal, so a converter that answers only at its model's bit rate answers only
// once the client has set that rate. One client at a time; a second is turned away with a line of
// text, as ser2net does.
#pragma once

#include <cstdint>
#include <string>
#include <thread>

namespace linkmate::sim {

class NetListener {
public:
    NetListener() = default;
    ~NetListener() { Stop(); }
    NetListener(const NetListener&) = delete;
    NetListener& operator=(const NetListener&) = delete;

    // Listens on `hostPort` ("PORT" on 127.0.0.1, or "HOST:PORT"; port 0 takes a free one) and
    // serves the pseudo-terminal `devicePath`, whose line starts at `startBitRate`.
    bool Start(const std::string& hostPort, bool rfc2217, const std::string& devicePath,
               uint32_t startBitRate, std::string* error);
    void Stop();

    // "rfc2217://127.0.0.1:40123", with the port it took.
    const std::string& address() const { return m_address; }

private:
    void Serve();

    bool m_rfc2217 = false;
    std::string m_devicePath;
    uint32_t m_startBitRate = 9600;
    std::string m_address;
    int m_listen = -1;
    int m_stopEvent = -1;
    std::thread m_thread;
};

}  // namespace linkmate::sim
