#include "ser2net_harness.h"

#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
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

bool Accepts(uint16_t port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_in a = Loopback(port);
    const bool ok = ::connect(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) == 0;
    ::close(fd);
    return ok;
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
        c.port = FreeTcpPort();
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
        while (!Accepts(c.port)) {
            if (Clock::now() > limit) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
    return true;
}

void Ser2net::Stop() {
    if (m_pid <= 0) return;
    ::kill(m_pid, SIGTERM);
    ::waitpid(m_pid, nullptr, 0);
    m_pid = -1;
}

}  // namespace linkmate::testing
