// Debian's ser2net as a real serial device server on 127.0.0.1 for the tests and benchmarks: a
// configuration of its own in a temporary folder, free ports, started in the foreground and ended
// by its process id.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace linkmate::testing {

inline constexpr const char* kSer2netPath = "/usr/sbin/ser2net";

// A port nothing listens on at the moment: the system's choice, let go again.
uint16_t FreeTcpPort();

class Ser2net {
public:
    struct Connection {
        bool rfc2217 = true;       // telnet(rfc2217) accepter, else raw TCP
        std::string device;        // the pseudo-terminal behind it
        std::string lineSettings;  // ser2net's form, e.g. "9600n81"
        bool chardelay = false;    // ser2net's default holds bytes until the line pauses
        uint16_t port = 0;         // filled in by the constructor
        std::string Address() const;
    };

    explicit Ser2net(std::vector<Connection> connections);
    ~Ser2net();
    Ser2net(const Ser2net&) = delete;
    Ser2net& operator=(const Ser2net&) = delete;

    // Started and every accepter taking connections (false after 5 s).
    bool Start();
    void Stop();
    const Connection& operator[](size_t i) const { return m_connections[i]; }

private:
    std::vector<Connection> m_connections;
    std::string m_folder;
    pid_t m_pid = -1;
};

}  // namespace linkmate::testing
