#include "pty_harness.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace linkmate::testing {

PtyPair::PtyPair() {
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        throw std::runtime_error("no pseudo-terminal");
    }
    char name[128];
    if (::ptsname_r(m_master, name, sizeof name) != 0) throw std::runtime_error("ptsname");
    m_path = name;
    m_keptSlave = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC | O_NONBLOCK);
    if (m_keptSlave < 0) throw std::runtime_error("slave");
}

PtyPair::~PtyPair() { Vanish(); }

void PtyPair::Vanish() {
    if (m_keptSlave >= 0) ::close(m_keptSlave);
    if (m_master >= 0) ::close(m_master);
    m_keptSlave = m_master = -1;
}

bool PtyPair::WaitUntilQueued(size_t count, std::chrono::milliseconds limit) const {
    // The kept slave shares the line's input queue with every other descriptor of the device.
    const auto deadline = std::chrono::steady_clock::now() + limit;
    for (;;) {
        int queued = 0;
        if (::ioctl(m_keptSlave, FIONREAD, &queued) == 0 && static_cast<size_t>(queued) >= count)
            return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        pollfd none{-1, 0, 0};
        ::poll(&none, 0, 1);
    }
}

void PtyPair::WriteFromDevice(const std::vector<uint8_t>& bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
        } else {
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 100);
        }
    }
}

std::vector<uint8_t> PtyPair::ReadAtDevice(size_t count, std::chrono::milliseconds timeout) {
    std::vector<uint8_t> out;
    const auto deadline = Clock::now() + timeout;
    while (out.size() < count && Clock::now() < deadline) {
        pollfd p{m_master, POLLIN, 0};
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (::poll(&p, 1, static_cast<int>(left.count()) + 1) <= 0) continue;
        uint8_t buffer[256];
        const ssize_t n = ::read(m_master, buffer, sizeof buffer);
        if (n > 0) out.insert(out.end(), buffer, buffer + n);
    }
    return out;
}

void MakeLineDirty(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + devicePath);
    termios tio{};
    ::tcgetattr(fd, &tio);
    tio.c_iflag |= ICRNL | INLCR | IXON | IXOFF | ISTRIP | INPCK | IMAXBEL;
    tio.c_oflag |= OPOST | ONLCR;
    tio.c_lflag |= ICANON | ECHO | ECHOE | ISIG | IEXTEN;
    tio.c_cflag &= ~static_cast<tcflag_t>(CSIZE);
    tio.c_cflag |= CS7 | PARENB | PARODD | CRTSCTS | HUPCL;
    cfsetspeed(&tio, B9600);
    ::tcsetattr(fd, TCSANOW, &tio);
    ::close(fd);
}

bool IsExclusive(const std::string& devicePath) {
    const int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return true;  // EBUSY for a non-root user: exclusive
    int exclusive = 0;
    ::ioctl(fd, TIOCGEXCL, &exclusive);
    ::close(fd);
    return exclusive != 0;
}

TempConfigHome::TempConfigHome() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        m_previous = old;
        m_hadPrevious = true;
    }
    std::string pattern = std::filesystem::temp_directory_path().string() + "/linkmate-test-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
    m_path = pattern;
    ::setenv("XDG_CONFIG_HOME", m_path.c_str(), 1);
}

TempConfigHome::~TempConfigHome() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
    if (m_hadPrevious) {
        ::setenv("XDG_CONFIG_HOME", m_previous.c_str(), 1);
    } else {
        ::unsetenv("XDG_CONFIG_HOME");
    }
}

}  // namespace linkmate::testing
