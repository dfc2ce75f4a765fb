// The Linux side of the Windows serial tests: three pseudo-terminals linked into the Wine prefix
// as COM<n>, COM<n+1> and COM<n+2>, each with one behaviour, around a command run under Wine.
//   COM<n>    echo: every byte that arrives goes back
//   COM<n+1>  settings: every byte that arrives is answered with one line saying how the line is
//             set, as the device side sees it: "baud=9600 stop=2 rtscts=0 xon=0". A pseudo-terminal
//             always carries 8 bits without parity (the kernel forces CS8 and clears PARENB), so
//             those two cannot be seen here.
//   COM<n+2>  vanish: the first byte that arrives unplugs the device
// The command gets LINKMATE_TEST_COM=<n>; the peer exits with its status.
#include <poll.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pty_harness.h"

namespace {

using linkmate::testing::PtyPair;

enum class Role { kEcho, kSettings, kVanish };

std::string Describe(int fd) {
    termios tio{};
    if (::tcgetattr(fd, &tio) != 0) return "unreadable";
    const auto speed = cfgetospeed(&tio);
    const int baud = speed == B9600     ? 9600
                     : speed == B19200  ? 19200
                     : speed == B57600  ? 57600
                     : speed == B115200 ? 115200
                                        : 0;
    char line[160];
    std::snprintf(line, sizeof line, "baud=%d stop=%d rtscts=%d xon=%d\n", baud,
                  (tio.c_cflag & CSTOPB) ? 2 : 1, (tio.c_cflag & CRTSCTS) ? 1 : 0,
                  (tio.c_iflag & (IXON | IXOFF)) ? 1 : 0);
    return line;
}

// Answers what arrived on one port; false once the port has vanished.
bool Serve(PtyPair& pty, Role role) {
    uint8_t buffer[512];
    const ssize_t n = ::read(pty.master(), buffer, sizeof buffer);
    if (n <= 0) return true;
    switch (role) {
        case Role::kEcho: pty.WriteFromDevice({buffer, buffer + n}); return true;
        case Role::kSettings: {
            const std::string line = Describe(pty.keptSlave());
            pty.WriteFromDevice({line.begin(), line.end()});
            return true;
        }
        case Role::kVanish: pty.Vanish(); return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4 || std::strcmp(argv[1], "--first-com") != 0 || std::strcmp(argv[3], "--") != 0) {
        std::fprintf(stderr, "usage: com_peer --first-com N -- command [argument...]\n");
        return 2;
    }
    const int first = std::atoi(argv[2]);
    const char* prefix = std::getenv("WINEPREFIX");
    if (first < 1 || prefix == nullptr) {
        std::fprintf(stderr, "com_peer: needs a port number and WINEPREFIX\n");
        return 2;
    }
    const Role roles[] = {Role::kEcho, Role::kSettings, Role::kVanish};
    std::vector<std::unique_ptr<PtyPair>> ports;
    std::vector<std::string> links;
    for (int i = 0; i < 3; ++i) {
        ports.push_back(std::make_unique<PtyPair>());
        termios raw{};
        ::tcgetattr(ports.back()->keptSlave(), &raw);
        cfmakeraw(&raw);
        ::tcsetattr(ports.back()->keptSlave(), TCSANOW, &raw);
        links.push_back(std::string(prefix) + "/dosdevices/com" + std::to_string(first + i));
        std::error_code ignored;
        std::filesystem::remove(links.back(), ignored);
        std::filesystem::create_symlink(ports.back()->path(), links.back());
    }

    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("LINKMATE_TEST_COM", std::to_string(first).c_str(), 1);
        ::execvp(argv[4], argv + 4);
        std::perror("com_peer: cannot run the command");
        ::_exit(127);
    }
    bool vanished = false;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        std::vector<pollfd> wanted;
        for (size_t i = 0; i < ports.size(); ++i) {
            if (i == 2 && vanished) continue;
            wanted.push_back({ports[i]->master(), POLLIN, 0});
        }
        if (::poll(wanted.data(), wanted.size(), 50) <= 0) continue;
        for (size_t i = 0, w = 0; i < ports.size(); ++i) {
            if (i == 2 && vanished) continue;
            if (wanted[w++].revents & POLLIN) vanished |= !Serve(*ports[i], roles[i]);
        }
    }
    for (const std::string& link : links) ::unlink(link.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
