// POSIX backend of CSerialComm: termios, a non-blocking descriptor, poll for every wait.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "serial/com_port_names.h"
#include "serial/serial_comm.h"

namespace linkmate {
namespace {

using Clock = std::chrono::steady_clock;

speed_t SpeedCode(uint32_t baudRate) {
    switch (baudRate) {
        case 600: return B600;
        case 1200: return B1200;
        case 2400: return B2400;
        case 4800: return B4800;
        case 9600: return B9600;
        case 19200: return B19200;
        case 38400: return B38400;
        case 57600: return B57600;
        case 115200: return B115200;
        case 230400: return B230400;
        case 460800: return B460800;
        case 921600: return B921600;
        default: return B0;
    }
}

tcflag_t SizeFlag(uint8_t byteSize) {
    switch (byteSize) {
        case 5: return CS5;
        case 6: return CS6;
        case 7: return CS7;
        default: return CS8;
    }
}

// Builds raw mode from scratch on top of whatever the line held before, so that a previous user's
// cooked mode, echo or flow control cannot leak into the data.
void ApplyLineSettings(int fd, const LineSettings& line) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return;
    tio.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR |
                                          ICRNL | IXON | IXOFF | IXANY | IMAXBEL | INPCK);
    tio.c_oflag &= ~static_cast<tcflag_t>(OPOST);
    tio.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
    tio.c_cflag &=
        ~static_cast<tcflag_t>(CSIZE | PARENB | PARODD | CMSPAR | CSTOPB | CRTSCTS | HUPCL);
    tio.c_cflag |= CLOCAL | CREAD | SizeFlag(line.byteSize);
    switch (line.parity) {
        case LineSettings::kOddParity: tio.c_cflag |= PARENB | PARODD; break;
        case LineSettings::kEvenParity: tio.c_cflag |= PARENB; break;
        case LineSettings::kMarkParity: tio.c_cflag |= PARENB | PARODD | CMSPAR; break;
        case LineSettings::kSpaceParity: tio.c_cflag |= PARENB | CMSPAR; break;
        default: break;
    }
    // POSIX has no 1.5 stop bits; two is the nearest the receiver still accepts.
    if (line.stopBits != LineSettings::kOneStopBit) tio.c_cflag |= CSTOPB;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    if (const speed_t speed = SpeedCode(line.baudRate); speed != B0) cfsetspeed(&tio, speed);
    // A driver that refuses part of this still gives a usable port.
    tcsetattr(fd, TCSANOW, &tio);
}

// Waits for `events` on `fd` until `deadline`; false when the time ran out first.
bool WaitFor(int fd, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = deadline - Clock::now();
        if (left <= Clock::duration::zero()) return false;
        const auto ns = std::chrono::duration_cast<std::chrono::nanoseconds>(left).count();
        timespec ts{static_cast<time_t>(ns / 1'000'000'000), static_cast<long>(ns % 1'000'000'000)};
        pollfd pfd{fd, events, 0};
        const int rc = ppoll(&pfd, 1, &ts, nullptr);
        if (rc > 0) return true;  // ready, or hung up: the next read or write tells which
        if (rc == 0) continue;    // re-check the deadline; ppoll may wake a little early
        if (errno != EINTR) return false;
    }
}

// The device has gone away: unplugged, its driver removed, or (a pseudo-terminal) the other end
// closed.
bool Vanished(int error) { return error == EIO || error == ENXIO || error == ENODEV; }

}  // namespace

bool CSerialComm::OpenPort(const std::string& portName, CFileException& failure) {
    const std::string path = ResolvePortName(portName);
    const auto fail = [&](int error) {
        m_lineLock.Release();
        failure.Set(error, portName);
        return false;
    };
    if (path.empty()) return fail(ENOENT);
    // The lock file first: a program that honours it may have the port open without a flock.
    if (!m_lineLock.Acquire(path)) return fail(EBUSY);
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return fail(errno);
    // No sharing: flock holds against every process that asks, TIOCEXCL also against those that
    // don't (except root).
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        m_lineLock.Release();  // before the close: see ClosePort
        ::close(fd);
        return fail(error);
    }
    ::ioctl(fd, TIOCEXCL);

    ApplyLineSettings(fd, m_line);
    // Linux raises DTR and RTS inside open(); drop them at once. A pty refuses: ignored.
    int lines = TIOCM_DTR | TIOCM_RTS;
    ::ioctl(fd, TIOCMBIC, &lines);

    // A line left in the break state sends nothing; clearing it is a set-up step like the rest.
    if (::ioctl(fd, TIOCCBRK) == 0 && ::tcflush(fd, TCIOFLUSH) == 0 && ::tcdrain(fd) == 0) {
        m_handle = fd;
        return true;
    }
    const int error = errno;
    // The open has failed already; that is what the caller hears about.
    ClosePort(fd, portName, nullptr);
    return fail(error);
}

bool CSerialComm::ClosePort(NativeHandle handle, const std::string& portName,
                            CFileException* failure) {
    const int fd = static_cast<int>(handle);
    // Discard unsent output first: close() would otherwise wait for it on a stuck line. The
    // exclusive flag outlives the descriptor on a pty, so clear it by hand.
    ::tcflush(fd, TCOFLUSH);
    ::ioctl(fd, TIOCNXCL);
    // The lock file goes first. Closing the last descriptor of a pseudo-terminal frees its name
    // (/dev/pts/N) for the next one made, whose owner would otherwise find the name still locked
    // by a live process and be refused. Meanwhile the flock still keeps the device ours.
    m_lineLock.Release();
    // On Linux the descriptor is released even when close() reports EINTR.
    if (::close(fd) == 0 || errno == EINTR) return true;
    if (failure != nullptr) failure->Set(errno, portName);
    return false;
}

uint32_t CSerialComm::ReadPort(void* buffer, uint32_t count, uint32_t) {
    const int fd = static_cast<int>(m_handle);
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_readTimeoutMs);
    for (;;) {
        const ssize_t n = ::read(fd, buffer, count);
        if (n > 0) return static_cast<uint32_t>(n);
        // VMIN=1 on a non-blocking descriptor gives 0 only on hang-up.
        if (n == 0 || Vanished(errno)) {
            m_removed = true;
            return 0;
        }
        if (errno == EINTR) continue;
        if (errno != EAGAIN) return 0;
        if (!WaitFor(fd, POLLIN, deadline)) return 0;
    }
}

void CSerialComm::WritePort(const void* buffer, uint32_t count, uint32_t) {
    const int fd = static_cast<int>(m_handle);
    const bool bounded = m_writeTimeoutMs != 0;
    const auto deadline = bounded ? Clock::now() + std::chrono::milliseconds(m_writeTimeoutMs)
                                  : Clock::time_point::max();
    const auto* bytes = static_cast<const uint8_t*>(buffer);
    uint32_t written = 0;
    while (written < count) {
        const ssize_t n = ::write(fd, bytes + written, count - written);
        if (n > 0) {
            written += static_cast<uint32_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && Vanished(errno)) {
            m_removed = true;
            return;
        }
        if (n < 0 && errno != EAGAIN) return;
        if (!WaitFor(fd, POLLOUT, deadline)) return;
    }
}

bool CSerialComm::SetPortBaudRate(uint32_t baudRate) {
    const int fd = static_cast<int>(m_handle);
    const speed_t speed = SpeedCode(baudRate);
    termios tio{};
    if (speed == B0 || tcgetattr(fd, &tio) != 0 || cfsetspeed(&tio, speed) != 0) return false;
    // tcsetattr succeeds when any part was taken, so the rate is read back.
    if (tcsetattr(fd, TCSANOW, &tio) != 0 || tcgetattr(fd, &tio) != 0) return false;
    return cfgetospeed(&tio) == speed;
}

}  // namespace linkmate
