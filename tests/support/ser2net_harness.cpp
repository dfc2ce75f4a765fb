#include "ser2net_harness.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

namespace linkmate::testing {
namespace {

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = htons(port);
    return a;
}

// Whether something listens on 127.0.0.1:`port`, from the kernel's table rather than by
// connecting: a trial connection would make ser2net open the device behind the port and close it
// again, and the test's own connection, coming right after, could find the port still closing.
bool Listens(uint16_t port) {
    std::ifstream table("/proc/net/tcp");
    char want[16];
    std::snprintf(want, sizeof want, "0100007F:%04X", port);
    std::string line;
    std::getline(table, line);  // the heading
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string slot, local, remote, state;
        fields >> slot >> local >> remote >> state;
        if (local == want && state == "0A") return true;  // TCP_LISTEN
    }
    return false;
}

}  // namespace

uint16_t FreeTcpPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a = Loopback(0);
    socklen_t size = sizeof a;
    ::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &size);
    ::close(fd);
    return ntohs(a.sin_port);
}

std::string Ser2net::Connection::Address() const {
    return (rfc2217 ? "rfc2217://127.0.0.1:" : "socket://127.0.0.1:") + std::to_string(port);
}

Ser2net::Ser2net(std::vector<Connection> connections) : m_connections(std::move(connections)) {
    char folder[] = "/tmp/linkmate-ser2net-XXXXXX";
    if (::mkdtemp(folder) != nullptr) m_folder = folder;
    std::ofstream config(m_folder + "/ser2net.yaml");
    for (size_t i = 0; i < m_connections.size(); ++i) {
        Connection& c = m_connections[i];
        // The kernel may hand the same free port out twice in a row; two accepters on one port
        // would send a second client to the first one's device ("Port already in use").
        do {
            c.port = FreeTcpPort();
        } while (std::any_of(m_connections.begin(), m_connections.begin() + i,
                             [&](const Connection& other) { return other.port == c.port; }));
        config << "connection: &c" << i
               << "\n  accepter: " << (c.rfc2217 ? "telnet(rfc2217),tcp" : "tcp") << ",127.0.0.1,"
               << c.port << "\n  connector: serialdev," << c.device << "," << c.lineSettings
               << ",local\n";
        if (!c.chardelay) config << "  options:\n    chardelay: false\n";
    }
}

Ser2net::~Ser2net() {
    Stop();
    if (!m_folder.empty()) std::filesystem::remove_all(m_folder);
}

bool Ser2net::Start() {
    Stop();
    m_pid = ::fork();
    if (m_pid == 0) {
        // "Unable to start mdns" and the like: not the test's business.
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, 1);
        ::dup2(null, 2);
        const std::string config = m_folder + "/ser2net.yaml", pidFile = m_folder + "/ser2net.pid";
        ::execl(kSer2netPath, kSer2netPath, "-n", "-c", config.c_str(), "-P", pidFile.c_str(),
                nullptr);
        ::_exit(127);
    }
    using Clock = std::chrono::steady_clock;
    const auto limit = Clock::now() + std::chrono::seconds(5);
    for (const Connection& c : m_connections) {
        while (!Listens(c.port)) {
            if (Clock::now() > limit) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return true;
}

void Ser2net::Stop() {
    if (m_pid <= 0) return;
    // ser2net closes its ports in order on SIGTERM; now and then, with many ports, that close never
    // ends (seen with 32 ports on one server), so it gets three seconds, then SIGKILL.
    ::kill(m_pid, SIGTERM);
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (::waitpid(m_pid, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > limit) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    m_pid = -1;
}

}  // namespace linkmate::testing
